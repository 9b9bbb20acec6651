#include <cstring>
#include <string>
#include <vector>

#include "tests/e2e/e2e_check.h"
#include "tests/e2e/e2e_context.h"
#include "tests/e2e/example_module.h"
#include "tests/e2e/ui_actions.h"

namespace e2e {

namespace {

bool HasChildButton(HWND tree, HTREEITEM item) {
  TVITEMW data = {};
  data.mask = TVIF_CHILDREN | TVIF_HANDLE;
  data.hItem = item;
  SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
  return data.cChildren != 0;
}

std::vector<std::wstring> TextsOf(HWND tree, const std::vector<HTREEITEM>& items) {
  std::vector<std::wstring> texts;
  for (HTREEITEM item : items) texts.push_back(TreeItemText(tree, item));
  return texts;
}

std::vector<std::wstring> Names(const std::vector<const wchar_t*>& names) {
  return std::vector<std::wstring>(names.begin(), names.end());
}

std::string Joined(const std::vector<std::wstring>& texts) {
  std::string joined;
  for (const std::wstring& text : texts) joined += (joined.empty() ? "" : ", ") + Utf8(text);
  return joined;
}

}  // namespace

HTREEITEM ShowPath(HWND tree, const std::vector<std::wstring>& path) {
  HTREEITEM parent = TVI_ROOT;
  for (const std::wstring& name : path) {
    if (parent != TVI_ROOT) ExpandTreeItem(tree, parent);
    HTREEITEM found = nullptr;
    for (HTREEITEM item : TreeChildren(tree, parent)) {
      if (TreeItemText(tree, item) == name) {
        found = item;
        break;
      }
    }
    if (!found) return nullptr;
    parent = found;
  }
  return parent;
}

void TestTree(Context& context) {
  PressButton(context.view.button);
  HWND tree = context.view.tree;
  const std::vector<ExpectedMethod>& methods = ExampleMethods();
  std::vector<HTREEITEM> roots = TreeChildren(tree, TVI_ROOT);
  std::vector<std::wstring> texts = TextsOf(tree, roots);
  std::vector<std::wstring> names;
  for (const ExpectedMethod& method : methods) names.emplace_back(method.name);
  Check("the top level holds every method in module order", texts == names, Joined(texts));

  bool buttons = roots.size() == methods.size();
  bool lazy = true;
  for (size_t i = 0; buttons && i < roots.size(); ++i) {
    buttons = HasChildButton(tree, roots[i]) == !methods[i].calls.empty();
    lazy = lazy && TreeChildren(tree, roots[i]).empty();
  }
  Check("a top-level node shows an expand button exactly when it has callees", buttons);
  Check("no child item exists before its node is expanded", lazy);

  // Down the deepest path, each level shows the calls of its method in
  // order, and stops where a method would call itself again.
  std::vector<std::wstring> path;
  for (const ExpectedLevel& level : DeepestPath()) {
    path.emplace_back(level.node);
    HTREEITEM item = ShowPath(tree, path);
    if (!Check("the tree shows the path " + Joined(path), item != nullptr)) break;
    ExpandTreeItem(tree, item);
    std::vector<std::wstring> children = TextsOf(tree, TreeChildren(tree, item));
    Check("below " + Utf8(level.node) + " the tree shows its calls", children == Names(level.children),
          Joined(children));
  }

  PressButton(context.view.button);
  std::vector<HTREEITEM> again = TreeChildren(tree, TVI_ROOT);
  bool collapsed = again.size() == roots.size();
  for (HTREEITEM root : again) collapsed = collapsed && TreeChildren(tree, root).empty();
  Check("a second refresh shows the new tree from its top level", collapsed);

  // The user opens a node with its expand button: its callees appear, and
  // the button is no click on the node. The first method with calls is
  // ЦенаНоменклатуры.
  size_t with_children = 0;
  while (with_children < again.size() && !HasChildButton(tree, again[with_children])) ++with_children;
  if (!Check("the first node with an expand button is ЦенаНоменклатуры",
             with_children < again.size() && TreeItemText(tree, again[with_children]) == L"ЦенаНоменклатуры")) {
    return;
  }
  HTREEITEM opened = again[with_children];
  int chosen = ComboSelection(context.view.modul);
  RECT text = {};
  memcpy(&text, &opened, sizeof(opened));
  SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&text));
  int indent = static_cast<int>(SendMessageW(tree, TVM_GETINDENT, 0, 0));
  ClickAt(tree, POINT{text.left - indent / 2, (text.top + text.bottom) / 2});
  std::vector<std::wstring> shown = TextsOf(tree, TreeChildren(tree, opened));
  Check("the expand button shows the node's callees",
        shown == std::vector<std::wstring>{L"СтоимостьКомплекта", L"ОкруглитьСумму"}, Joined(shown));
  Check("the expand button is no click on the node", ComboSelection(context.view.modul) == chosen);
}

}  // namespace e2e
