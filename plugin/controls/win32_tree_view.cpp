#include "plugin/controls/win32_tree_view.h"

#include <string>

#include "plugin/controls/wide_text.h"
#include "tree/call_tree.h"

namespace ramulet::win32 {

namespace {

// Turns the window's redrawing off for the life of the guard.
class NoRedraw {
 public:
  explicit NoRedraw(HWND window) : window_(window) { SendMessageW(window_, WM_SETREDRAW, FALSE, 0); }
  ~NoRedraw() {
    SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(window_, nullptr, TRUE);
  }

 private:
  HWND window_;
};

int32_t NodeOf(HWND tree, HTREEITEM item) {
  TVITEMW data = {};
  data.mask = TVIF_PARAM | TVIF_HANDLE;
  data.hItem = item;
  if (!SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data))) return NodeStore::kNoNode;
  return static_cast<int32_t>(data.lParam);
}

}  // namespace

Status Win32TreeView::Create(HWND parent) {
  return ChildWindow::Create(parent, WC_TREEVIEWW,
                             TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS | WS_BORDER |
                                 WS_TABSTOP);
}

bool Win32TreeView::ShowsCurrentBuild() const { return tree_ && tree_->generation == shown_generation_; }

Status Win32TreeView::ShowTree(std::shared_ptr<const CallTree> tree) {
  NoRedraw quiet(hwnd());
  tree_ = nullptr;  // the items deleted below must not be reported as clicks
  SendMessageW(hwnd(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  tree_ = std::move(tree);
  if (!tree_) return Status::Ok();
  shown_generation_ = tree_->generation;
  return InsertChildren(TVI_ROOT, tree_->nodes.FirstRoot());
}

Status Win32TreeView::InsertChildren(HTREEITEM parent, int32_t first_node) {
  const NodeStore& nodes = tree_->nodes;
  for (int32_t node = first_node; node != NodeStore::kNoNode; node = nodes.NextSibling(node)) {
    std::wstring text = ToWide(nodes.Text(node));
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN;
    insert.item.pszText = text.data();
    insert.item.lParam = node;
    insert.item.cChildren = nodes.FirstChild(node) != NodeStore::kNoNode ? 1 : 0;
    if (!SendMessageW(hwnd(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert))) {
      return Status::Error(Status::kOutOfMemory, "Дерево вызовов не приняло узел " + std::to_string(node));
    }
  }
  return Status::Ok();
}

void Win32TreeView::ExpandOnce(const NMTREEVIEWW& change) {
  if ((change.action & TVE_EXPAND) == 0 || !ShowsCurrentBuild()) return;
  HTREEITEM item = change.itemNew.hItem;
  HTREEITEM first = reinterpret_cast<HTREEITEM>(
      SendMessageW(hwnd(), TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
  if (first) return;
  int32_t node = static_cast<int32_t>(change.itemNew.lParam);
  (void)InsertChildren(item, tree_->nodes.FirstChild(node));
}

void Win32TreeView::ClickAtCursor() {
  DWORD position = GetMessagePos();
  TVHITTESTINFO hit = {};
  hit.pt.x = static_cast<short>(LOWORD(position));
  hit.pt.y = static_cast<short>(HIWORD(position));
  ScreenToClient(hwnd(), &hit.pt);
  SendMessageW(hwnd(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  if (hit.hItem && (hit.flags & TVHT_ONITEM)) ReportNode(hit.hItem);
}

void Win32TreeView::ReportNode(HTREEITEM item) {
  if (!on_node_click_ || !ShowsCurrentBuild()) return;
  int32_t node = NodeOf(hwnd(), item);
  if (node != NodeStore::kNoNode) (void)on_node_click_(node);
}

LRESULT Win32TreeView::HandleNotify(const NMHDR& header) {
  switch (header.code) {
    case TVN_ITEMEXPANDINGW:
      ExpandOnce(reinterpret_cast<const NMTREEVIEWW&>(header));
      return FALSE;  // let it expand
    case NM_CLICK:
      ClickAtCursor();
      return 0;
    case TVN_SELCHANGEDW: {
      const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
      if (change.action == TVC_BYKEYBOARD) ReportNode(change.itemNew.hItem);
      return 0;
    }
    default:
      return 0;
  }
}

}  // namespace ramulet::win32
