#include "tests/e2e/e2e_context.h"
#include "tests/e2e/ui_actions.h"

namespace e2e {

// The example module refreshed, its tree shown, ЦенаНоменклатуры chosen
// (its calls and callers both fill their lists) with its first callee
// expanded, and its first call chosen.
void PrepareScreenshot(Context& context) {
  PressButton(context.view.button);
  HWND tree = context.view.tree;
  HTREEITEM callee = ShowPath(tree, {L"ЦенаНоменклатуры", L"СтоимостьКомплекта"});
  if (callee) ExpandTreeItem(tree, callee);
  HTREEITEM chosen = ShowPath(tree, {L"ЦенаНоменклатуры"});
  if (!chosen) return;
  ClickTreeItem(tree, chosen);
  ClickListEntry(context.view.list1, 0);
}

}  // namespace e2e
