#pragma once

#include <functional>
#include <memory>

#include "platform/status.h"
#include "host/host.h"

namespace ramulet {

// The configurator reference shared by every panel on the calling thread.
// It starts empty; when it is empty at the moment of use, a new configurator
// is made through the factory that the host side installed.
class HostConfigurator {
 public:
  using Factory = std::function<Status(std::shared_ptr<Configurator>&)>;

  static std::shared_ptr<Configurator> Get();
  static void Set(std::shared_ptr<Configurator> configurator);
  static void Clear() { Set(nullptr); }
  // Installs the factory for this thread (nullptr removes it).
  static void SetFactory(Factory factory);
  // The current configurator, made through the factory first when empty.
  static Status Acquire(std::shared_ptr<Configurator>& configurator);
  // Lets go of this thread's configurator and factory. The owner calls it
  // while the host is still there (its last panel on the thread goes);
  // nothing is released at thread or process exit.
  static void ReleaseThread();
};

}  // namespace ramulet
