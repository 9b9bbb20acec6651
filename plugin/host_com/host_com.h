#pragma once

#include "plugin/com/com.h"

#include <memory>

#include "host/host.h"
#include "plugin/com/com_object_ref.h"
#include "plugin/com/com_ptr.h"

namespace ramulet::win32 {

// The host's configurator, window set and active window behind the panel's
// host interfaces, each called through the function-table slot the host
// gives it.

class ComConfigurator : public Configurator, public ComIdentity {
 public:
  explicit ComConfigurator(ComPtr<IHostConfigurator> host) : host_(std::move(host)) {}
  // Slot 21.
  Status Windows(std::shared_ptr<HostWindowSet>& windows) override;
  IUnknown* ComUnknown() const override { return host_.unknown(); }
  bool IsDispatch() const override { return true; }

 private:
  ComPtr<IHostConfigurator> host_;
};

class ComWindowSet : public HostWindowSet {
 public:
  explicit ComWindowSet(ComPtr<IHostWindowSet> windows) : windows_(std::move(windows)) {}
  // Slot 8; null when no window is active.
  Status ActiveWindow(std::shared_ptr<HostWindow>& window) override;

 private:
  ComPtr<IHostWindowSet> windows_;
};

class ComWindow : public HostWindow {
 public:
  explicit ComWindow(ComPtr<IHostWindow> window) : window_(std::move(window)) {}
  // Slot 10.
  Status Document(std::shared_ptr<HostDocument>& document) override;

 private:
  ComPtr<IHostWindow> window_;
};

}  // namespace ramulet::win32
