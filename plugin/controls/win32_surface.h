#pragma once

#include <windows.h>

#include "panel/controls.h"
#include "plugin/controls/screen_units.h"

namespace ramulet::win32 {

// The panel's own window as the panel's code sees it: its client width in
// twips, and WM_SIZE, every one of them, as the resize event.
class Win32Surface : public PanelSurface {
 public:
  explicit Win32Surface(const ScreenUnits& units) : units_(units) {}
  void Attach(HWND panel) { panel_ = panel; }

  float Width() const override;
  void OnResize(EventHandler handler) override { on_resize_ = std::move(handler); }
  void HandleSize();

 private:
  ScreenUnits units_;
  HWND panel_ = nullptr;
  EventHandler on_resize_;
};

}  // namespace ramulet::win32
