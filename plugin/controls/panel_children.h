#pragma once

#include <windows.h>

#include "panel/controls.h"
#include "plugin/controls/screen_units.h"
#include "plugin/controls/win32_button.h"
#include "plugin/controls/win32_combo_box.h"
#include "plugin/controls/win32_list_box.h"
#include "plugin/controls/win32_surface.h"
#include "plugin/controls/win32_tree_view.h"

namespace ramulet::win32 {

// The seven child controls of one panel window and its surface, created
// in tab order, and the routing of the panel window's notifications to the
// control that sent them.
class PanelChildren {
 public:
  explicit PanelChildren(const ScreenUnits& units);

  // Creates the controls as children of `panel`.
  Status Create(HWND panel);
  void SetFont(HFONT font);
  PanelControls controls();

  void RouteCommand(HWND sender, WORD code);
  LRESULT RouteNotify(const NMHDR& header);
  void HandleSize() { surface_.HandleSize(); }

 private:
  Win32Button button_;
  Win32TreeView tree_;
  Win32Label label1_;
  Win32ListBox list1_;
  Win32Label label2_;
  Win32ListBox list2_;
  Win32ComboBox modul_;
  Win32Surface surface_;
};

}  // namespace ramulet::win32
