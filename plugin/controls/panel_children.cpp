#include "plugin/controls/panel_children.h"

namespace ramulet::win32 {

PanelChildren::PanelChildren(const ScreenUnits& units)
    : button_(units),
      tree_(units),
      label1_("Label1", units),
      list1_("ListBox1", units),
      label2_("Label2", units),
      list2_("ListBox2", units),
      modul_(units),
      surface_(units) {}

// Creation order is the tab order: Modul, CommandButton1, Label1, Label2,
// ListBox1, ListBox2, TreeView1.
Status PanelChildren::Create(HWND panel) {
  surface_.Attach(panel);
  RAMULET_RETURN_IF_ERROR(modul_.Create(panel));
  RAMULET_RETURN_IF_ERROR(button_.Create(panel));
  RAMULET_RETURN_IF_ERROR(label1_.Create(panel));
  RAMULET_RETURN_IF_ERROR(label2_.Create(panel));
  RAMULET_RETURN_IF_ERROR(list1_.Create(panel));
  RAMULET_RETURN_IF_ERROR(list2_.Create(panel));
  return tree_.Create(panel);
}

void PanelChildren::SetFont(HFONT font) {
  ChildWindow* children[] = {&modul_, &button_, &label1_, &label2_, &list1_, &list2_, &tree_};
  for (ChildWindow* child : children) child->SetFont(font);
  label1_.FitCaption();
  label2_.FitCaption();
}

PanelControls PanelChildren::controls() {
  return PanelControls{&button_, &tree_, &label1_, &list1_, &label2_, &list2_, &modul_, &surface_};
}

void PanelChildren::RouteCommand(HWND sender, WORD code) {
  if (!sender) return;
  if (sender == button_.hwnd()) button_.HandleCommand(code);
  else if (sender == list1_.hwnd()) list1_.HandleCommand(code);
  else if (sender == list2_.hwnd()) list2_.HandleCommand(code);
  else if (sender == modul_.hwnd()) modul_.HandleCommand(code);
}

LRESULT PanelChildren::RouteNotify(const NMHDR& header) {
  return header.hwndFrom == tree_.hwnd() ? tree_.HandleNotify(header) : 0;
}

}  // namespace ramulet::win32
