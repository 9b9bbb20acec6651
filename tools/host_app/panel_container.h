#pragma once

#include "plugin/com/com.h"

#include <string>

#include "plugin/com/com_ptr.h"

namespace ramulet::win32 {

// The panel in a real ActiveX container: the AtlAxWin window of atl.dll
// hosting the control "Korvex.Ramulet", driven through IConfigPlugin.
class PanelContainer {
 public:
  PanelContainer() = default;
  PanelContainer(const PanelContainer&) = delete;
  PanelContainer& operator=(const PanelContainer&) = delete;
  ~PanelContainer() { Close(); }

  // Creates the container window in `parent` at `area` and the control in
  // it, then calls Init with `configurator`; `title` gets its answer.
  HRESULT Create(HWND parent, const RECT& area, IHostConfigurator* configurator, std::wstring& title);
  // Done, then lets go of the control.
  void Close();

  // Offers a keyboard message meant for a window inside the container to
  // the control's in-place active object before it is dispatched, as a
  // container's message loop does; true when the control used it.
  bool TranslateAccelerator(MSG& message) const;

  HWND frame() const { return frame_; }
  // The control's own window.
  HWND panel() const;
  IUnknown* control() const { return control_.get(); }
  IConfigPlugin* plugin() const { return plugin_.get(); }

 private:
  HWND frame_ = nullptr;
  ComPtr<IUnknown> container_;
  ComPtr<IUnknown> control_;
  ComPtr<IConfigPlugin> plugin_;
};

}  // namespace ramulet::win32
