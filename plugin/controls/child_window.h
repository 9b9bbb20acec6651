#pragma once

#include <windows.h>

#include "panel/layout.h"
#include "platform/status.h"
#include "plugin/controls/screen_units.h"

namespace ramulet::win32 {

// The control identifier of a designed child: its tab index above a base.
inline int ControlIdOf(const ControlDesign& design) { return 1000 + design.tab_index; }

// One child control of the panel placed from its design: position and size
// in twips converted to the screen's pixels.
class ChildWindow {
 public:
  ChildWindow(const ControlDesign& design, const ScreenUnits& units) : design_(design), units_(units) {}
  ChildWindow(const ChildWindow&) = delete;
  ChildWindow& operator=(const ChildWindow&) = delete;
  virtual ~ChildWindow() = default;

  Status Create(HWND parent, const wchar_t* window_class, DWORD style);
  HWND hwnd() const { return hwnd_; }
  const ControlDesign& design() const { return design_; }
  void SetFont(HFONT font);

 protected:
  // Resizes the window to `twips` wide, keeping its left, top and height.
  Status SetWidthTwips(float twips);
  float WidthTwips() const;
  // Height of the window as created; a drop-down list adds its list's room.
  virtual int CreationHeight() const;
  const ScreenUnits& units() const { return units_; }

 private:
  const ControlDesign& design_;
  ScreenUnits units_;
  HWND hwnd_ = nullptr;
};

}  // namespace ramulet::win32
