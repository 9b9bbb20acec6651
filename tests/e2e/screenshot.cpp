#include "tests/e2e/e2e_context.h"
#include "tests/e2e/ui_actions.h"

namespace e2e {

HTREEITEM ShowModelNode(Context& context, int32_t node);

// The example module (the editor's text, analysed afresh) refreshed, its
// tree shown, a method chosen whose calls and callers both fill their
// lists, and its first call chosen.
void PrepareScreenshot(Context& context) {
  if (!context.Reanalyse()) return;
  PressButton(context.view.button);
  const ramulet::MethodTables& tables = context.model->tables;
  const ramulet::NodeStore& nodes = context.model->tree.nodes;
  int32_t chosen = -1;
  for (int32_t m = 0; m <= tables.LastMeth && chosen < 0; ++m) {
    if (tables.CallCount(m) >= 2 && tables.CallerCount(m) >= 1) chosen = m;
  }
  if (chosen < 0) return;
  for (int32_t node = nodes.FirstRoot(); node; node = nodes.NextSibling(node)) {
    if (nodes.Method(node) != chosen) continue;
    int32_t child = nodes.FirstChild(node);
    HTREEITEM item = ShowModelNode(context, child ? child : node);
    if (child) ExpandTreeItem(context.view.tree, item);
    ClickTreeItem(context.view.tree, ShowModelNode(context, node));
    break;
  }
  ClickListEntry(context.view.list1, 0);
}

}  // namespace e2e
