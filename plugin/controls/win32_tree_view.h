#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <memory>

#include "panel/controls.h"
#include "plugin/controls/child_window.h"

namespace ramulet::win32 {

// TreeView1: a SysTreeView32 over the call tree's node store. Shows only
// the top-level nodes at first; the children of a node are inserted when
// it is first expanded, so a large tree costs the window nothing until the
// user opens it. Every item keeps its node's 1-based index in lParam.
//
// Every click on a node reaches the node-click handler: NM_CLICK with a hit
// test catches clicks on the node that is already selected, which
// TVN_SELCHANGED does not report; selections by keyboard come through
// TVN_SELCHANGED.
class Win32TreeView : public TreeView, public ChildWindow {
 public:
  explicit Win32TreeView(const ScreenUnits& units) : ChildWindow(DesignOf("TreeView1"), units) {}
  Status Create(HWND parent);

  Status SetWidth(float twips) override { return SetWidthTwips(twips); }
  float Width() const override { return WidthTwips(); }
  Status ShowTree(std::shared_ptr<const CallTree> tree) override;
  void OnNodeClick(std::function<Status(int32_t node)> handler) override { on_node_click_ = std::move(handler); }
  LRESULT HandleNotify(const NMHDR& header);

 private:
  // False when the tree was rebuilt after it was shown: the items then name
  // nodes of an earlier build.
  bool ShowsCurrentBuild() const;
  // Inserts `first_node` and its following siblings under `parent`.
  Status InsertChildren(HTREEITEM parent, int32_t first_node);
  void ExpandOnce(const NMTREEVIEWW& change);
  void ClickAtCursor();
  void ReportNode(HTREEITEM item);

  std::shared_ptr<const CallTree> tree_;
  uint64_t shown_generation_ = 0;
  std::function<Status(int32_t)> on_node_click_;
};

}  // namespace ramulet::win32
