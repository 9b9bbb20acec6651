#include "host/host_configurator.h"

#include <utility>

namespace ramulet {

namespace {

struct ThreadSlot {
  std::shared_ptr<Configurator> configurator;
  HostConfigurator::Factory factory;
};

// A plain pointer per thread, made on first use and deleted only by
// ReleaseThread: a thread-local object with a destructor would release the
// host's configurator when the thread or the process ends, after the host
// (and COM) may be gone. What a thread never releases is left to the system
// at process exit.
thread_local ThreadSlot* thread_slot = nullptr;

ThreadSlot& Slot() {
  if (!thread_slot) thread_slot = new ThreadSlot();
  return *thread_slot;
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
      return Status::Error(Status::kNotRegistered, "Конфигуратор программы-хоста недоступен, и создать его не удалось");
    }
    std::shared_ptr<Configurator> made;
    RAMULET_RETURN_IF_ERROR(slot.factory(made));
    if (!made) return Status::Error(Status::kFail, "Фабрика конфигуратора не вернула объект");
    slot.configurator = std::move(made);
  }
  configurator = slot.configurator;
  return Status::Ok();
}

void HostConfigurator::ReleaseThread() {
  delete std::exchange(thread_slot, nullptr);
}

}  // namespace ramulet
