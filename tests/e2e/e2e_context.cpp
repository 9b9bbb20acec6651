#include "tests/e2e/e2e_context.h"

#include <vector>

#include "panel/layout.h"
#include "plugin/controls/child_window.h"
#include "tests/e2e/box_watcher.h"
#include "tests/e2e/ui_actions.h"

namespace e2e {

namespace {

HWND ChildNamed(HWND panel, const char* name) {
  return GetDlgItem(panel, ramulet::win32::ControlIdOf(ramulet::DesignOf(name)));
}

}  // namespace

PanelView PanelView::Find(HWND panel) {
  PanelView view;
  view.panel = panel;
  view.modul = ChildNamed(panel, "Modul");
  view.button = ChildNamed(panel, "CommandButton1");
  view.label1 = ChildNamed(panel, "Label1");
  view.label2 = ChildNamed(panel, "Label2");
  view.list1 = ChildNamed(panel, "ListBox1");
  view.list2 = ChildNamed(panel, "ListBox2");
  view.tree = ChildNamed(panel, "TreeView1");
  return view;
}

bool PanelView::Complete() const { return panel && modul && button && label1 && label2 && list1 && list2 && tree; }

std::string Context::TakeBoxLog() {
  std::string log;
  for (const ShownBox& box : TakeShownBoxes()) log += BoxLine(box);
  return log;
}

}  // namespace e2e
