#include "tree/call_tree.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

namespace ramulet {

TreeNode::TreeNode(std::shared_ptr<const CallTree> tree, int32_t index)
    : tree_(std::move(tree)), index_(index), generation_(tree_ ? tree_->generation : 0) {}

namespace {

// The methods on the path from a node up to its top-level node, the node's
// own method included. Method names are unique within a module, so an
// equal index is exactly an equal (case-sensitive) name.
class PathMethods {
 public:
  PathMethods(const NodeStore& nodes, int32_t node) {
    for (; node != NodeStore::kNoNode && size_ < methods_.size(); node = nodes.Parent(node)) {
      methods_[size_++] = nodes.Method(node);
    }
  }
  bool Holds(int32_t method) const {
    return std::find(methods_.begin(), methods_.begin() + size_, method) != methods_.begin() + size_;
  }

 private:
  // A node stands at most kMaxTreeDepth levels below its top-level node.
  std::array<int32_t, kMaxTreeDepth + 1> methods_{};
  size_t size_ = 0;
};

Status CheckTables(const MethodTables& tables) {
  const size_t count = static_cast<size_t>(tables.MethodCount());
  if (tables.MethName.size() < count || tables.Calls.size() < count) {
    return Status::Error(Status::kOutOfRange, "Call tree: the method tables are shorter than the method count");
  }
  for (int32_t m = 0; m <= tables.LastMeth; ++m) {
    for (const CallRef& call : tables.Calls[m]) {
      if (call.target < 0 || call.target > tables.LastMeth) {
        return Status::Error(Status::kOutOfRange, "Call tree: method " + std::to_string(m) +
                                                      " calls method " + std::to_string(call.target) +
                                                      ", which does not exist");
      }
    }
  }
  return Status::Ok();
}

// Adds nodes until the ceiling; AddNode reports whether there was room.
class TreeBuilder {
 public:
  TreeBuilder(const MethodTables& tables, CallTree& tree, int32_t ceiling)
      : tables_(tables), tree_(tree), ceiling_(ceiling) {}

  Status AddTopLevel() {
    for (int32_t m = 0; m <= tables_.LastMeth; ++m) {
      if (!HasRoom()) return Status::Ok();
      int32_t index = 0;
      RAMULET_RETURN_IF_ERROR(tree_.nodes.AddRoot(m, index));
      ++tree_.RootCount;
    }
    return Status::Ok();
  }

  // Expands level after level, breadth first. A level is the range of
  // node indices added by the expansion before it.
  Status AddLevels() {
    int32_t begin = 1;
    int32_t end = tree_.nodes.Count() + 1;
    while (end > begin && tree_.TreeDepth < kMaxTreeDepth && !tree_.truncated) {
      ++tree_.TreeDepth;
      for (int32_t node = begin; node < end && !tree_.truncated; ++node) {
        RAMULET_RETURN_IF_ERROR(AddCallees(node));
      }
      begin = end;
      end = tree_.nodes.Count() + 1;
    }
    return Status::Ok();
  }

 private:
  bool HasRoom() {
    if (tree_.nodes.Count() < ceiling_) return true;
    tree_.truncated = true;
    return false;
  }

  // One child per call reference of the node's method, in reference order,
  // except for callees already on the node's path.
  Status AddCallees(int32_t node) {
    const std::vector<CallRef>& calls = tables_.Calls[tree_.nodes.Method(node)];
    if (calls.empty()) return Status::Ok();
    PathMethods path(tree_.nodes, node);
    for (const CallRef& call : calls) {
      if (path.Holds(call.target)) continue;
      if (!HasRoom()) return Status::Ok();
      int32_t child = 0;
      RAMULET_RETURN_IF_ERROR(tree_.nodes.AddChild(node, call.target, child));
    }
    return Status::Ok();
  }

  const MethodTables& tables_;
  CallTree& tree_;
  int32_t ceiling_;
};

Status Build(const MethodTables& tables, CallTree& tree, int32_t ceiling) {
  if (ceiling < 0) {
    return Status::Error(Status::kInvalidArgument, "Call tree: the node ceiling must not be negative");
  }
  if (!tables.analyzed || tables.LastMeth < 0) return Status::Ok();
  RAMULET_RETURN_IF_ERROR(CheckTables(tables));
  TreeBuilder builder(tables, tree, ceiling);
  RAMULET_RETURN_IF_ERROR(builder.AddTopLevel());
  return builder.AddLevels();
}

}  // namespace

Status BuildCallTree(MethodTables& tables, CallTree& tree, int32_t ceiling) {
  ++tree.generation;
  tree.nodes.Reset(&tables.MethName);
  tree.RootCount = 0;
  tree.TreeDepth = 0;
  tree.truncated = false;
  Status status = Build(tables, tree, ceiling);
  // Also after a failure: q counts the nodes that were added.
  tables.q = Variant::Int32(tree.nodes.Count());
  return status;
}

}  // namespace ramulet
