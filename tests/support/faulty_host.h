#pragma once

#include <memory>
#include <string>

#include "host/host.h"

namespace ramulet {

// One injected host failure: the n-th call (0-based) of the named operation
// fails with kHostError. Shared by the objects of one FaultyHost.
class HostFaults {
 public:
  void Fail(std::string call, int nth) {
    call_ = std::move(call);
    countdown_ = nth;
  }
  void Clear() { countdown_ = -1; }
  // Counts a call of `call`; an error when it is the one to fail.
  Status Enter(const std::string& call);

 private:
  std::string call_;
  int countdown_ = -1;
};

// The host's window chain (configurator, window set, active window) and an
// optional document made of pages, each of whose calls can be made to fail:
// "Windows", "ActiveWindow", "Document", "Paged.Kind", "ActivePage", "Page".
// The text module's own calls fail through MemoryTextModule::FailCall.
struct FaultyHost {
  std::shared_ptr<HostFaults> faults = std::make_shared<HostFaults>();
  std::shared_ptr<Configurator> configurator;

  // The active window shows `document`; with `paged`, a document made of
  // pages whose active page is `document`.
  FaultyHost(std::shared_ptr<HostDocument> document, bool paged);
};

}  // namespace ramulet
