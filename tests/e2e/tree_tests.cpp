#include <cstring>
#include <vector>

#include "tests/e2e/e2e_check.h"
#include "tests/e2e/e2e_context.h"
#include "tests/e2e/ui_actions.h"
#include "tree/call_tree.h"

namespace e2e {

namespace {

using ramulet::NodeStore;

std::vector<int32_t> ModelChildren(const NodeStore& nodes, int32_t parent) {
  std::vector<int32_t> children;
  int32_t first = parent == NodeStore::kNoNode ? nodes.FirstRoot() : nodes.FirstChild(parent);
  for (int32_t node = first; node != NodeStore::kNoNode; node = nodes.NextSibling(node)) children.push_back(node);
  return children;
}

std::wstring ModelText(const NodeStore& nodes, int32_t node) {
  std::u16string_view text = nodes.Text(node);
  return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

int DepthOf(const NodeStore& nodes, int32_t node) {
  int depth = 0;
  for (int32_t up = nodes.Parent(node); up != NodeStore::kNoNode; up = nodes.Parent(up)) ++depth;
  return depth;
}

bool HasChildButton(HWND tree, HTREEITEM item) {
  TVITEMW data = {};
  data.mask = TVIF_CHILDREN | TVIF_HANDLE;
  data.hItem = item;
  SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
  return data.cChildren != 0;
}

// The node deepest in the model tree (the first of that depth).
int32_t DeepestNode(const NodeStore& nodes) {
  int32_t deepest = NodeStore::kNoNode;
  int depth = -1;
  for (int32_t node = 1; node <= nodes.Count(); ++node) {
    int d = DepthOf(nodes, node);
    if (d > depth) {
      depth = d;
      deepest = node;
    }
  }
  return deepest;
}

}  // namespace

// Expands the view along the model's path to `node`, comparing each level;
// the item of `node`, or null when the view differs.
HTREEITEM ShowModelNode(Context& context, int32_t node) {
  const NodeStore& nodes = context.model->tree.nodes;
  std::vector<int32_t> path;
  for (int32_t up = node; up != NodeStore::kNoNode; up = nodes.Parent(up)) path.insert(path.begin(), up);
  HWND tree = context.view.tree;
  HTREEITEM parent_item = TVI_ROOT;
  int32_t parent_node = NodeStore::kNoNode;
  for (int32_t step : path) {
    if (parent_item != TVI_ROOT) ExpandTreeItem(tree, parent_item);
    std::vector<int32_t> model = ModelChildren(nodes, parent_node);
    std::vector<HTREEITEM> items = TreeChildren(tree, parent_item);
    if (items.size() != model.size()) return nullptr;
    size_t position = 0;
    while (model[position] != step) ++position;
    if (TreeItemText(tree, items[position]) != ModelText(nodes, step)) return nullptr;
    parent_item = items[position];
    parent_node = step;
  }
  return parent_item;
}

void TestTree(Context& context) {
  PressButton(context.view.button);
  const NodeStore& nodes = context.model->tree.nodes;
  HWND tree = context.view.tree;
  std::vector<HTREEITEM> roots = TreeChildren(tree, TVI_ROOT);
  std::vector<std::wstring> texts;
  for (HTREEITEM root : roots) texts.push_back(TreeItemText(tree, root));
  std::vector<std::wstring> names;
  for (const std::u16string& name : context.model->tables.MethName) {
    names.emplace_back(reinterpret_cast<const wchar_t*>(name.data()), name.size());
  }
  Check("the top level holds every method in module order", texts == names,
        std::to_string(texts.size()) + " items, " + std::to_string(names.size()) + " methods");

  bool buttons = roots.size() == ModelChildren(nodes, NodeStore::kNoNode).size();
  bool lazy = true;
  std::vector<int32_t> model_roots = ModelChildren(nodes, NodeStore::kNoNode);
  for (size_t i = 0; buttons && i < roots.size(); ++i) {
    buttons = HasChildButton(tree, roots[i]) == (nodes.FirstChild(model_roots[i]) != NodeStore::kNoNode);
    lazy = lazy && TreeChildren(tree, roots[i]).empty();
  }
  Check("a top-level node shows an expand button exactly when it has callees", buttons);
  Check("no child item exists before its node is expanded", lazy);

  int32_t deepest = DeepestNode(nodes);
  Check("the example's tree is several levels deep", DepthOf(nodes, deepest) >= 3,
        "depth " + std::to_string(DepthOf(nodes, deepest)));
  HTREEITEM item = ShowModelNode(context, deepest);
  Check("expanding down to the deepest node shows every level as built", item != nullptr,
        Utf8(ModelText(nodes, deepest)));

  PressButton(context.view.button);
  std::vector<HTREEITEM> again = TreeChildren(tree, TVI_ROOT);
  bool collapsed = again.size() == roots.size();
  for (HTREEITEM root : again) collapsed = collapsed && TreeChildren(tree, root).empty();
  Check("a second refresh shows the new tree from its top level", collapsed);

  // The user opens a node with its expand button: its callees appear, and
  // the button is no click on the node.
  size_t with_children = 0;
  while (with_children < again.size() && !HasChildButton(tree, again[with_children])) ++with_children;
  if (!Check("the example has a method with callees", with_children < again.size())) return;
  HTREEITEM opened = again[with_children];
  int chosen = ComboSelection(context.view.modul);
  RECT text = {};
  memcpy(&text, &opened, sizeof(opened));
  SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&text));
  int indent = static_cast<int>(SendMessageW(tree, TVM_GETINDENT, 0, 0));
  ClickAt(tree, POINT{text.left - indent / 2, (text.top + text.bottom) / 2});
  size_t shown = TreeChildren(tree, opened).size();
  size_t built = ModelChildren(nodes, model_roots[with_children]).size();
  Check("the expand button shows the node's callees", shown == built && shown > 0,
        std::to_string(shown) + " of " + std::to_string(built));
  Check("the expand button is no click on the node", ComboSelection(context.view.modul) == chosen);
}

}  // namespace e2e
