#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "analysis/module_analysis.h"
#include "platform/message_box.h"
#include "platform/object.h"
#include "platform/status.h"
#include "platform/variant.h"
#include "tree/node_store.h"

namespace ramulet {

inline constexpr int32_t kNodeCeiling = 16777216;
inline constexpr int32_t kMaxTreeDepth = 7;

// The tree of calls shown by the panel, and the builder's counters. The tree
// keeps its own copy of the method names that its nodes show, so that a node
// reads the same text for as long as the tree lives, whatever a later
// analysis does to the method tables.
struct CallTree {
  CallTree() = default;
  // The node store points at `names`: a tree stays where it was made.
  CallTree(const CallTree&) = delete;
  CallTree& operator=(const CallTree&) = delete;

  std::vector<std::u16string> names;
  NodeStore nodes;
  int32_t RootCount = 0;
  int32_t TreeDepth = 0;
  // True when the tree reached the node ceiling and holds only its first
  // nodes in order of addition.
  bool truncated = false;
  // Raised by every build, so that node references from an earlier tree
  // are recognised as stale.
  uint64_t generation = 0;
};

// A node of a particular build of a tree, as a value a Variant can hold
// (the `Node` argument of RodEst, the node of a NodeClick).
class TreeNode : public Object {
 public:
  TreeNode(std::shared_ptr<const CallTree> tree, int32_t index);
  const std::shared_ptr<const CallTree>& tree() const { return tree_; }
  int32_t index() const { return index_; }
  uint64_t generation() const { return generation_; }

 private:
  std::shared_ptr<const CallTree> tree_;
  int32_t index_;
  uint64_t generation_;
};

// Clears `tree` and builds it breadth first from the module's calls: every
// method a top-level node, then at most kMaxTreeDepth levels of callees,
// cut where a method would repeat a name on its path. Stops adding nodes at
// `ceiling` nodes and marks the tree truncated. After a failure the tree
// keeps the nodes added before it.
Status BuildCallTree(const ModuleAnalysis& module, CallTree& tree, int32_t ceiling = kNodeCeiling);

// Whether the module can be made into a tree: every call to a method that
// exists.
Status CheckTreeTables(const ModuleAnalysis& module);

// Empties `tree` (no nodes, no names) as a new build would; node references
// from before are recognised as stale.
void ClearCallTree(CallTree& tree);

// 1 (a 16-bit integer) in `result` when `met` equals the text of `Node` or
// of one of its ancestors, else 0. With `viv` equal to 1 shows every node
// on the way, from `Node` up to its top-level node, in a box with a single
// OK button and no title of its own. None of the arguments is changed.
Status RodEst(const Variant& Node, const Variant& met, const Variant& viv, MessageBoxes& boxes, Variant& result);

}  // namespace ramulet
