#include "tree/tree_count.h"

#include <algorithm>
#include <vector>

namespace ramulet {

namespace {

// The callees of one method, each once, with the number of references to it.
struct Callee {
  int32_t method;
  int64_t references;
};

// Counts paths from the top: a node at depth d stands for a path of d + 1
// distinct methods, and has one child per reference of its method to a
// method not on that path. Two things keep it cheaper than a build:
// references to the same callee have equal subtrees, so each callee is
// counted once and multiplied; and the two deepest levels are not walked,
// their sizes following from the references of their methods, read off
// each method's callees against a flag per method on the path (a sum
// without branches: the callee lists are short in real modules, and a
// search per method on the path cost more even in a dense one).
class TreeCounter {
 public:
  TreeCounter(const ModuleAnalysis& module, int64_t ceiling)
      : ceiling_(ceiling), on_path_(module.MethodCount(), 0), callees_(module.MethodCount()),
        reference_counts_(module.MethodCount(), 0) {
    std::vector<int32_t> targets;
    for (int32_t m = 0; m < module.MethodCount(); ++m) {
      targets.clear();
      for (const MethodCall& call : module.CallsFrom(m)) targets.push_back(call.callee);
      std::sort(targets.begin(), targets.end());
      for (int32_t target : targets) {
        if (callees_[m].empty() || callees_[m].back().method != target) callees_[m].push_back({target, 0});
        ++callees_[m].back().references;
      }
      reference_counts_[m] = static_cast<int64_t>(module.CallsFrom(m).size());
    }
  }

  // Nodes of the whole tree, or some number above the ceiling once it is
  // clear that the tree reaches past it.
  int64_t Count() {
    total_ = static_cast<int64_t>(on_path_.size());
    for (int32_t m = 0; m < static_cast<int32_t>(on_path_.size()) && total_ <= ceiling_; ++m) {
      on_path_[m] = 1;
      Expand(m, 0);
      on_path_[m] = 0;
    }
    return total_;
  }

 private:
  // Adds the descendants of a node of `method` at `depth`, the path up to
  // it marked.
  void Expand(int32_t method, int depth) {
    if (depth + 1 == kMaxTreeDepth) {
      total_ += LeafChildren(method);
      return;
    }
    const bool children_are_last = depth + 2 == kMaxTreeDepth;
    for (const Callee& callee : callees_[method]) {
      if (on_path_[callee.method]) continue;
      const int64_t before = total_;
      ++total_;
      on_path_[callee.method] = 1;
      if (children_are_last) {
        total_ += LeafChildren(callee.method);
      } else {
        Expand(callee.method, depth + 1);
      }
      on_path_[callee.method] = 0;
      total_ += (callee.references - 1) * (total_ - before);
      if (total_ > ceiling_) return;
    }
  }

  // The children of a node of `method` on the deepest level, the path down
  // to it marked: its references to methods off the path.
  int64_t LeafChildren(int32_t method) const {
    int64_t to_path = 0;
    for (const Callee& callee : callees_[method]) to_path += on_path_[callee.method] * callee.references;
    return reference_counts_[method] - to_path;
  }

  const int64_t ceiling_;
  std::vector<uint8_t> on_path_;
  std::vector<std::vector<Callee>> callees_;
  std::vector<int64_t> reference_counts_;
  int64_t total_ = 0;
};

}  // namespace

Status CountCallTree(const ModuleAnalysis& module, TreeCount& count, int32_t ceiling) {
  count = TreeCount();
  if (ceiling < 0) return Status::Error(Status::kInvalidArgument, "Call tree: the node ceiling must not be negative");
  if (module.MethodCount() == 0) return Status::Ok();
  RAMULET_RETURN_IF_ERROR(CheckTreeTables(module));
  const int64_t total = TreeCounter(module, ceiling).Count();
  count.nodes = static_cast<int32_t>(std::min<int64_t>(total, ceiling));
  count.truncated = total > ceiling;
  return Status::Ok();
}

}  // namespace ramulet
