#include <string>
#include <vector>

#include "tests/e2e/e2e_check.h"
#include "tests/e2e/e2e_context.h"
#include "tests/e2e/example_module.h"
#include "tests/e2e/ui_actions.h"

namespace e2e {

namespace {

int LineLength(HWND editor, int line) {
  LRESULT start = SendMessageW(editor, EM_LINEINDEX, line, 0);
  return static_cast<int>(SendMessageW(editor, EM_LINELENGTH, start, 0));
}

// The method named `name` is the chosen one: Modul, both lists and the
// header line.
void CheckChosen(Context& context, const std::wstring& name, const std::string& how) {
  const PanelView& view = context.view;
  int method = MethodIndex(name);
  std::string text = Utf8(name);
  if (!Check(how + ": " + text + " is a method of the example", method >= 0)) return;
  Check(how + ": Modul selects " + text, ComboSelection(view.modul) == method,
        "selection " + std::to_string(ComboSelection(view.modul)));
  Check(how + ": ListBox1 lists the calls of " + text, ListEntries(view.list1) == CalleeNames(method));
  Check(how + ": ListBox2 lists the callers of " + text, ListEntries(view.list2) == CallerNames(method));
  EditorSelection selection = SelectionOf(context.editor());
  int header = ExampleMethods()[method].header_line;
  Check(how + ": the editor selects the header line of " + text,
        selection.start_line == header && selection.start_column == 0 && selection.end_line == header &&
            selection.end_column == LineLength(context.editor(), header),
        "line " + std::to_string(selection.start_line) + " col " + std::to_string(selection.start_column) + " to line " +
            std::to_string(selection.end_line) + " col " + std::to_string(selection.end_column) + ", header " +
            std::to_string(header));
}

}  // namespace

// ЦенаНоменклатуры is the first method with two calls and a caller: both
// lists have entries. Below it: СтоимостьКомплекта, then ЗаписатьВЖурнал.
void TestNavigation(Context& context) {
  const PanelView& view = context.view;
  const std::wstring busy = L"ЦенаНоменклатуры";
  HTREEITEM busy_item = ShowPath(view.tree, {busy});
  if (!Check("the tree shows ЦенаНоменклатуры at its top level", busy_item != nullptr)) return;
  ClickTreeItem(view.tree, busy_item);
  CheckChosen(context, busy, "click on a top-level node");

  HTREEITEM deep_item = ShowPath(view.tree, {busy, L"СтоимостьКомплекта", L"ЗаписатьВЖурнал"});
  if (!Check("the tree shows ЗаписатьВЖурнал two levels below ЦенаНоменклатуры", deep_item != nullptr)) return;
  ClickTreeItem(view.tree, deep_item);
  CheckChosen(context, L"ЗаписатьВЖурнал", "click on a node two levels down");

  ClickListEntry(view.list2, 0);
  CheckChosen(context, L"СтоимостьКомплекта", "click on the first caller");
  // The tree's selection is still the deep node: a click on it must count.
  ClickTreeItem(view.tree, deep_item);
  CheckChosen(context, L"ЗаписатьВЖурнал", "click on the node that is already selected");

  // The last call of ЦенаНоменклатуры: ОкруглитьСумму on line 28.
  ClickTreeItem(view.tree, busy_item);
  const int position = 1;
  ClickListEntry(view.list1, position);
  const int call_line = 28;
  EditorSelection selection = SelectionOf(context.editor());
  Check("click on a call selects the whole line of that call",
        selection.start_line == call_line && selection.start_column == 0 && selection.end_line == call_line + 1 &&
            selection.end_column == 0,
        "line " + std::to_string(selection.start_line) + " to " + std::to_string(selection.end_line) + ", call on " +
            std::to_string(call_line));
  int busy_index = MethodIndex(busy);
  Check("click on a call keeps Modul and both lists",
        ComboSelection(view.modul) == busy_index && ListEntries(view.list1) == CalleeNames(busy_index) &&
            ListEntries(view.list2) == CallerNames(busy_index) && ListSelection(view.list1) == position);

  // The keyboard: the item below the top-level node is its first child.
  PressKey(view.tree, VK_DOWN);
  CheckChosen(context, L"СтоимостьКомплекта", "arrow key down in the tree");

  // A pick in Modul itself: the arrow key on the closed drop-down list
  // moves from СтоимостьКомплекта to the next method, ПроцентСкидки.
  PressKey(view.modul, VK_DOWN);
  CheckChosen(context, L"ПроцентСкидки", "a pick in Modul");
}

}  // namespace e2e
