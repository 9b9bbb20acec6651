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

std::vector<std::u16string> LinesOf(const std::wstring& text) {
  std::vector<std::u16string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(L"\r\n", start);
    size_t stop = end == std::wstring::npos ? text.size() : end;
    lines.emplace_back(reinterpret_cast<const char16_t*>(text.data() + start), stop - start);
    if (end == std::wstring::npos) break;
    start = end + 2;
  }
  return lines;
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

bool Context::Reanalyse() {
  model = std::make_unique<ramulet::AnalysisResult>();
  return ramulet::AnalyzeModule(LinesOf(WindowText(editor())), true, *model).ok();
}

std::string Context::TakeBoxLog() {
  std::string log;
  for (const ShownBox& box : TakeShownBoxes()) log += BoxLine(box);
  return log;
}

}  // namespace e2e
