#pragma once

#include <cstdint>
#include <string>

#include "platform/status.h"
#include "platform/variant.h"

namespace ramulet {

// The plug-in entry operations the host calls on every panel.

// Stores `configurator` (a Configurator object) in the thread's
// HostConfigurator and gives the panel's title. Empty, Null or a null object
// empties HostConfigurator and still gives the title. Anything else fails
// (kNoInterface for another object, kTypeMismatch for a non-object) and
// leaves HostConfigurator and `title` as they were.
Status PluginInit(const Variant& configurator, std::u16string& title);
// Empties HostConfigurator; nothing else.
void PluginDone();
// 0: the 16-bit integer 1; 1: the Boolean True; anything else Empty.
Variant PluginCaps(int32_t cap_number);
// Every action is ignored and answers Empty.
Variant PluginAction(int32_t action, const Variant& parameter);

}  // namespace ramulet
