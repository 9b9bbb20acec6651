#pragma once

namespace ramulet::win32 {

// Makes HostConfigurator, on the calling thread, create the host's
// configurator (class ConfigHost) through COM whenever it is used empty.
void InstallHostConfiguratorFactory();

}  // namespace ramulet::win32
