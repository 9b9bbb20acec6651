#pragma once

#include <windows.h>

#include <memory>

#include "panel/ramulet.h"
#include "plugin/controls/panel_children.h"
#include "plugin/control/win32_message_boxes.h"

namespace ramulet::win32 {

// The panel's window: its seven child controls, its message boxes and the
// portable Ramulet built on them, for the whole life of the window. It is
// created hidden on the thread's parking window, so the Ramulet exists
// before any container shows it; a container then shows it in its own
// window and may park it again.
class PanelWindow {
 public:
  static Status Create(std::unique_ptr<PanelWindow>& panel);
  // Removes the window classes of the panel and the parking window, once
  // no panel is left: a class would otherwise outlive the module that
  // holds its window procedure. Harmless while windows of them exist.
  static void UnregisterClasses();
  PanelWindow(const PanelWindow&) = delete;
  PanelWindow& operator=(const PanelWindow&) = delete;
  ~PanelWindow();

  HWND hwnd() const { return hwnd_; }
  Ramulet& ramulet() { return *ramulet_; }
  // The child controls, as the panel's handlers are installed on them.
  PanelControls controls() { return children_.controls(); }
  // The font of the child controls: the container's, or the GUI default.
  void SetFont(HFONT font);

  // Makes the panel a child of `parent` at `position` (the parent's client
  // coordinates) and shows it.
  Status ShowIn(HWND parent, const RECT& position);
  // Sets the panel's position and size. The resize handler runs for every
  // setting of the size, also when it did not change.
  void Place(const RECT& position);
  // Hides the panel and returns it to the parking window.
  void Park();
  bool Shown() const;

  // Tab and Shift+Tab pressed in one of the panel's controls move the
  // focus to the next or previous control that takes it, in tab order,
  // round from the last to the first: the container hands the keys over
  // (IOleInPlaceActiveObject::TranslateAccelerator) before they reach the
  // focused control, which would ignore them. False for any other message,
  // which then goes its usual way.
  bool MoveFocusOnTab(const MSG& message);

 private:
  PanelWindow();
  Status CreateWindows();

  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void OnSize();
  // Inside a catch block: tells the user, in the panel's error box, what
  // stopped the message; never throws.
  void ShowEscapedException() noexcept;

  ScreenUnits units_;
  PanelChildren children_;
  PanelMessageBoxes boxes_;
  std::unique_ptr<Ramulet> ramulet_;
  HWND hwnd_ = nullptr;
  HWND parking_ = nullptr;
  // Counts WM_SIZE, so that Place knows whether the resize handler ran.
  unsigned sizes_ = 0;
};

}  // namespace ramulet::win32
