#include <vector>

#include "tests/e2e/e2e_check.h"
#include "tests/e2e/e2e_context.h"
#include "tests/e2e/ui_actions.h"

namespace e2e {

HTREEITEM ShowModelNode(Context& context, int32_t node);

namespace {

using ramulet::MethodTables;

std::wstring NameOf(const MethodTables& tables, int32_t method) {
  const std::u16string& name = tables.MethName[method];
  return std::wstring(reinterpret_cast<const wchar_t*>(name.data()), name.size());
}

std::vector<std::wstring> CalleesOf(const MethodTables& tables, int32_t method) {
  std::vector<std::wstring> names;
  for (int32_t k = 1; k <= tables.CallCount(method); ++k) names.push_back(NameOf(tables, tables.CallTarget(method, k)));
  return names;
}

std::vector<std::wstring> CallersOf(const MethodTables& tables, int32_t method) {
  std::vector<std::wstring> names;
  for (int32_t k = 1; k <= tables.CallerCount(method); ++k) names.push_back(NameOf(tables, tables.CallerList(method, k)));
  return names;
}

int LineLength(HWND editor, int line) {
  LRESULT start = SendMessageW(editor, EM_LINEINDEX, line, 0);
  return static_cast<int>(SendMessageW(editor, EM_LINELENGTH, start, 0));
}

// `method` is the chosen one: Modul, both lists and the header line.
void CheckChosen(Context& context, int32_t method, const std::string& how) {
  const MethodTables& tables = context.model->tables;
  const PanelView& view = context.view;
  std::string name = Utf8(NameOf(tables, method));
  Check(how + ": Modul selects " + name, ComboSelection(view.modul) == method,
        "selection " + std::to_string(ComboSelection(view.modul)));
  Check(how + ": ListBox1 lists the calls of " + name, ListEntries(view.list1) == CalleesOf(tables, method));
  Check(how + ": ListBox2 lists the callers of " + name, ListEntries(view.list2) == CallersOf(tables, method));
  EditorSelection selection = SelectionOf(context.editor());
  int header = tables.MethStart[method];
  Check(how + ": the editor selects the header line of " + name,
        selection.start_line == header && selection.start_column == 0 && selection.end_line == header &&
            selection.end_column == LineLength(context.editor(), header),
        "line " + std::to_string(selection.start_line) + " col " + std::to_string(selection.start_column) + " to line " +
            std::to_string(selection.end_line) + " col " + std::to_string(selection.end_column) + ", header " +
            std::to_string(header));
}

// A method with at least two calls and a caller: every list has entries.
int32_t BusyMethod(const MethodTables& tables) {
  for (int32_t m = 0; m <= tables.LastMeth; ++m) {
    if (tables.CallCount(m) >= 2 && tables.CallerCount(m) >= 1) return m;
  }
  return -1;
}

int32_t TopLevelNodeOf(const ramulet::NodeStore& nodes, int32_t method) {
  for (int32_t node = nodes.FirstRoot(); node != ramulet::NodeStore::kNoNode; node = nodes.NextSibling(node)) {
    if (nodes.Method(node) == method) return node;
  }
  return ramulet::NodeStore::kNoNode;
}

}  // namespace

void TestNavigation(Context& context) {
  const MethodTables& tables = context.model->tables;
  const ramulet::NodeStore& nodes = context.model->tree.nodes;
  const PanelView& view = context.view;
  int32_t busy = BusyMethod(tables);
  if (!Check("the example has a method with calls and callers", busy >= 0)) return;

  HTREEITEM busy_item = ShowModelNode(context, TopLevelNodeOf(nodes, busy));
  ClickTreeItem(view.tree, busy_item);
  CheckChosen(context, busy, "click on a top-level node");

  // A node below: its first child's first child, when there is one.
  int32_t child = nodes.FirstChild(TopLevelNodeOf(nodes, busy));
  int32_t grandchild = child ? nodes.FirstChild(child) : 0;
  int32_t deep = grandchild ? grandchild : child;
  HTREEITEM deep_item = ShowModelNode(context, deep);
  ClickTreeItem(view.tree, deep_item);
  CheckChosen(context, nodes.Method(deep), "click on a node two levels down");

  int32_t caller = tables.CallerList(nodes.Method(deep), 1);
  if (tables.CallerCount(nodes.Method(deep)) > 0) {
    ClickListEntry(view.list2, 0);
    CheckChosen(context, caller, "click on the first caller");
  }
  // The tree's selection is still the deep node: a click on it must count.
  ClickTreeItem(view.tree, deep_item);
  CheckChosen(context, nodes.Method(deep), "click on the node that is already selected");

  ClickTreeItem(view.tree, busy_item);
  int32_t position = tables.CallCount(busy) - 1;
  ClickListEntry(view.list1, position);
  int call_line = tables.CallLine(busy, position + 1);
  EditorSelection selection = SelectionOf(context.editor());
  Check("click on a call selects the whole line of that call",
        selection.start_line == call_line && selection.start_column == 0 && selection.end_line == call_line + 1 &&
            selection.end_column == 0,
        "line " + std::to_string(selection.start_line) + " to " + std::to_string(selection.end_line) + ", call on " +
            std::to_string(call_line));
  Check("click on a call keeps Modul and both lists",
        ComboSelection(view.modul) == busy && ListEntries(view.list1) == CalleesOf(tables, busy) &&
            ListEntries(view.list2) == CallersOf(tables, busy) && ListSelection(view.list1) == position);

  // The keyboard: the item below the top-level node is its first child.
  PressKey(view.tree, VK_DOWN);
  int32_t next = nodes.FirstChild(TopLevelNodeOf(nodes, busy));
  CheckChosen(context, nodes.Method(next), "arrow key down in the tree");

  // A pick in Modul itself: the arrow key on the closed drop-down list.
  int32_t picked = ComboSelection(view.modul) < tables.LastMeth ? ComboSelection(view.modul) + 1 : 0;
  PressKey(view.modul, picked == 0 ? VK_HOME : VK_DOWN);
  CheckChosen(context, picked, "a pick in Modul");
}

}  // namespace e2e
