#include "panel/plugin_operations.h"

#include "host/host_configurator.h"
#include "platform/message_box.h"

namespace ramulet {

Status PluginInit(const Variant& configurator, std::u16string& title) {
  bool nothing = configurator.IsEmpty() || configurator.type() == Variant::Type::Null ||
                 (configurator.type() == Variant::Type::Object && !configurator.AsObject());
  if (nothing) {
    HostConfigurator::Clear();
    title = kRamuletTitle;
    return Status::Ok();
  }
  if (configurator.type() != Variant::Type::Object) {
    return Status::Error(Status::kTypeMismatch, "the configurator argument is not an object");
  }
  auto host = configurator.AsObjectOf<Configurator>();
  if (!host) return Status::Error(Status::kNoInterface, "the object passed to Init is not the host's configurator");
  HostConfigurator::Set(std::move(host));
  title = kRamuletTitle;
  return Status::Ok();
}

void PluginDone() { HostConfigurator::Clear(); }

Variant PluginCaps(int32_t cap_number) {
  if (cap_number == 0) return Variant::Int16(1);
  if (cap_number == 1) return Variant::Bool(true);
  return Variant();
}

Variant PluginAction(int32_t, const Variant&) { return Variant(); }

}  // namespace ramulet
