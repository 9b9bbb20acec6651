#include "tree/call_tree.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace ramulet {

TreeNode::TreeNode(std::shared_ptr<const CallTree> tree, int32_t index)
    : tree_(std::move(tree)), index_(index), generation_(tree_ ? tree_->generation : 0) {}

namespace {

// Marks the methods on the path from a node up to its top-level node, the
// node's own method included. Method names are unique within a module, so
// an equal index is exactly an equal (case-sensitive) name.
//
// Nodes are marked in the order they are expanded, a level at a time, and
// the nodes expanded one after another mostly share their upper path
// (siblings all of it but themselves). So marking a node rewrites the path
// only below the deepest node it shares with the path marked before, rather
// than walking up to the top every time: a walk goes from node to parent
// through the node blocks, and that chain of reads was most of the build.
class PathMarks {
 public:
  explicit PathMarks(int32_t methods) : depth_of_(methods, kUnmarked) {}

  // `node` lies `depth` levels below the top (0 for a top-level node).
  void MarkPath(const NodeStore& nodes, int32_t node, int32_t depth) {
    length_ = depth + 1;
    for (int32_t d = depth; d >= 0 && path_node_[d] != node; --d) {
      const int32_t method = nodes.Method(node);
      if (method < 0) break;  // not a node: the path ends above
      path_node_[d] = node;
      path_method_[d] = method;
      depth_of_[static_cast<uint32_t>(method)] = d;
      node = nodes.Parent(node);
    }
  }

  // A method's recorded depth may be left over from an earlier path; it
  // counts only while the present path holds the method there. (A method
  // on the shared upper part is never recorded deeper afterwards: a node's
  // callees on its path get no nodes, so no node below repeats it.)
  bool OnPath(int32_t method) const {
    const int32_t d = depth_of_[static_cast<uint32_t>(method)];
    return d < length_ && path_method_[d] == method;
  }

 private:
  static constexpr int32_t kUnmarked = kMaxTreeDepth;
  std::vector<int32_t> depth_of_;
  // The path marked last, from the top-level node down.
  std::array<int32_t, kMaxTreeDepth> path_node_{};  // kNoNode: none yet
  std::array<int32_t, kMaxTreeDepth> path_method_{};
  int32_t length_ = 0;
};

}  // namespace

Status CheckTreeTables(const ModuleAnalysis& module) {
  for (int32_t m = 0; m < module.MethodCount(); ++m) {
    for (const MethodCall& call : module.CallsFrom(m)) {
      if (call.callee < 0 || call.callee >= module.MethodCount()) {
        return Status::Error(Status::kOutOfRange, "Call tree: method " + std::to_string(m) +
                                                      " calls method " + std::to_string(call.callee) +
                                                      ", which does not exist");
      }
    }
  }
  return Status::Ok();
}

namespace {

// The nodes of one build, added until the tree holds `ceiling` nodes.
class TreeBuilder {
 public:
  TreeBuilder(const ModuleAnalysis& module, CallTree& tree, int32_t ceiling)
      : module_(module), tree_(tree), ceiling_(ceiling), path_(module.MethodCount()) {}

  Status AddTopLevel() {
    for (int32_t m = 0; m < module_.MethodCount(); ++m) {
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
      // The level's nodes lie TreeDepth - 1 levels below the top.
      for (int32_t node = begin; node < end && !tree_.truncated; ++node) {
        RAMULET_RETURN_IF_ERROR(AddCallees(node, tree_.TreeDepth - 1));
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
  Status AddCallees(int32_t node, int32_t depth) {
    std::span<const MethodCall> calls = module_.CallsFrom(tree_.nodes.Method(node));
    if (calls.empty()) return Status::Ok();
    path_.MarkPath(tree_.nodes, node, depth);
    for (const MethodCall& call : calls) {
      if (path_.OnPath(call.callee)) continue;
      if (!HasRoom()) return Status::Ok();
      int32_t child = 0;
      RAMULET_RETURN_IF_ERROR(tree_.nodes.AddChild(node, call.callee, child));
    }
    return Status::Ok();
  }

  const ModuleAnalysis& module_;
  CallTree& tree_;
  int32_t ceiling_;
  PathMarks path_;
};

Status Build(const ModuleAnalysis& module, CallTree& tree, int32_t ceiling) {
  if (ceiling < 0) {
    return Status::Error(Status::kInvalidArgument, "Call tree: the node ceiling must not be negative");
  }
  if (module.MethodCount() == 0) return Status::Ok();
  RAMULET_RETURN_IF_ERROR(CheckTreeTables(module));
  TreeBuilder builder(module, tree, ceiling);
  RAMULET_RETURN_IF_ERROR(builder.AddTopLevel());
  return builder.AddLevels();
}

}  // namespace

void ClearCallTree(CallTree& tree) {
  ++tree.generation;
  tree.nodes.Reset(&tree.names);
  tree.names.clear();
  tree.RootCount = 0;
  tree.TreeDepth = 0;
  tree.truncated = false;
}

Status BuildCallTree(const ModuleAnalysis& module, CallTree& tree, int32_t ceiling) {
  ClearCallTree(tree);
  tree.names.reserve(module.methods.size());
  for (const MethodInfo& method : module.methods) tree.names.push_back(method.name);
  Status status = Build(module, tree, ceiling);
  tree.nodes.ReleaseUnused();
  return status;
}

}  // namespace ramulet
