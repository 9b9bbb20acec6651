#include "plugin/host_configurator.h"

namespace ramulet {

namespace {

struct ThreadSlot {
  std::shared_ptr<Configurator> configurator;
  HostConfigurator::Factory factory;
};

ThreadSlot& Slot() {
  thread_local ThreadSlot slot;
  return slot;
}

}  // namespace

std::shared_ptr<Configurator> HostConfigurator::Get() { return Slot().configurator; }

void HostConfigurator::Set(std::shared_ptr<Configurator> configurator) {
  Slot().configurator = std::move(configurator);
}

void HostConfigurator::SetFactory(Factory factory) { Slot().factory = std::move(factory); }

Status HostConfigurator::Acquire(std::shared_ptr<Configurator>& configurator) {
  ThreadSlot& slot = Slot();
  if (!slot.configurator) {
    if (!slot.factory) {
      return Status::Error(Status::kNotRegistered, "no configurator is available and none can be created");
    }
    std::shared_ptr<Configurator> made;
    RAMULET_RETURN_IF_ERROR(slot.factory(made));
    if (!made) return Status::Error(Status::kFail, "the configurator factory returned no object");
    slot.configurator = std::move(made);
  }
  configurator = slot.configurator;
  return Status::Ok();
}

}  // namespace ramulet
