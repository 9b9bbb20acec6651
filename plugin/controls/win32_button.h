#pragma once

#include "panel/controls.h"
#include "plugin/controls/child_window.h"

namespace ramulet::win32 {

// CommandButton1: a push button; BN_CLICKED runs the click handler.
class Win32Button : public PushButton, public ChildWindow {
 public:
  explicit Win32Button(const ScreenUnits& units) : ChildWindow(DesignOf("CommandButton1"), units) {}
  Status Create(HWND parent) { return ChildWindow::Create(parent, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP); }

  Status SetWidth(float twips) override { return SetWidthTwips(twips); }
  float Width() const override { return WidthTwips(); }
  void OnClick(EventHandler handler) override { on_click_ = std::move(handler); }
  void HandleCommand(WORD code);

 private:
  EventHandler on_click_;
};

// Label1 and Label2: static text that never takes the focus, drawn on one
// line (a wrapped caption would lose its last words below the label).
class Win32Label : public Label, public ChildWindow {
 public:
  Win32Label(const char* name, const ScreenUnits& units) : ChildWindow(DesignOf(name), units) {}
  Status Create(HWND parent) { return ChildWindow::Create(parent, L"STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX); }
  // Widens the label to its whole caption in its current font, never below
  // its design width; only the panel's edge then cuts the caption.
  void FitCaption();
};

}  // namespace ramulet::win32
