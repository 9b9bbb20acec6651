#include "tree/tree_count.h"

#include <algorithm>
#include <vector>

namespace ramulet {

namespace {

// One method a method calls (or is called by), with the number of
// references between the two.
struct Callee {
  int32_t method;
  int64_t references;
};

// Counts paths from the top: a node at depth d stands for a path of d + 1
// distinct methods, and has one child per reference of its method to a
// method not on that path. Three things keep it cheaper than a build:
// references to the same callee have equal subtrees, so each callee is
// counted once and multiplied; the two deepest levels are not walked, their
// sizes following from the references of their methods; and the references
// of every method to the methods on the path are kept up to date as the
// path grows and shrinks, so that those sizes take no search.
class TreeCounter {
 public:
  TreeCounter(const MethodTables& tables, int64_t ceiling)
      : ceiling_(ceiling), on_path_(tables.MethodCount(), false), callees_(tables.MethodCount()),
        callers_(tables.MethodCount()), reference_counts_(tables.MethodCount(), 0),
        self_references_(tables.MethodCount(), 0), path_references_(tables.MethodCount(), 0) {
    for (int32_t m = 0; m < tables.MethodCount(); ++m) {
      std::vector<int32_t> targets;
      for (const CallRef& call : tables.Calls[m]) targets.push_back(call.target);
      std::sort(targets.begin(), targets.end());
      for (int32_t target : targets) {
        if (callees_[m].empty() || callees_[m].back().method != target) callees_[m].push_back({target, 0});
        ++callees_[m].back().references;
      }
      reference_counts_[m] = static_cast<int64_t>(tables.Calls[m].size());
      for (const Callee& callee : callees_[m]) {
        callers_[callee.method].push_back({m, callee.references});
        if (callee.method == m) self_references_[m] = callee.references;
      }
    }
  }

  // Nodes of the whole tree, or some number above the ceiling once it is
  // clear that the tree reaches past it.
  int64_t Count() {
    total_ = static_cast<int64_t>(on_path_.size());
    for (int32_t m = 0; m < static_cast<int32_t>(on_path_.size()) && total_ <= ceiling_; ++m) {
      Enter(m);
      Expand(m, 0);
      Leave(m);
    }
    return total_;
  }

 private:
  // Adds the descendants of a node of `method` at `depth`, the path up to
  // it entered.
  void Expand(int32_t method, int depth) {
    if (depth + 1 == kMaxTreeDepth) {
      total_ += LeafChildren(method);
      return;
    }
    const bool children_are_last = depth + 2 == kMaxTreeDepth;
    for (const Callee& callee : callees_[method]) {
      if (on_path_[callee.method]) continue;
      if (children_are_last) {
        // The callee's node and its children: each of its references
        // except those to the path and to itself.
        total_ += callee.references * (1 + LeafChildren(callee.method) - self_references_[callee.method]);
      } else {
        const int64_t before = total_;
        ++total_;
        Enter(callee.method);
        Expand(callee.method, depth + 1);
        Leave(callee.method);
        total_ += (callee.references - 1) * (total_ - before);
      }
      if (total_ > ceiling_) return;
    }
  }

  // The children of a node of `method` on the deepest level: its references
  // to methods off the path.
  int64_t LeafChildren(int32_t method) const { return reference_counts_[method] - path_references_[method]; }

  void Enter(int32_t method) {
    on_path_[method] = true;
    for (const Callee& caller : callers_[method]) path_references_[caller.method] += caller.references;
  }
  void Leave(int32_t method) {
    on_path_[method] = false;
    for (const Callee& caller : callers_[method]) path_references_[caller.method] -= caller.references;
  }

  const int64_t ceiling_;
  std::vector<bool> on_path_;
  std::vector<std::vector<Callee>> callees_;
  // callers_[m]: the methods that call m, each once, with their number of
  // references to m.
  std::vector<std::vector<Callee>> callers_;
  std::vector<int64_t> reference_counts_;
  std::vector<int64_t> self_references_;
  // For each method, its references to the methods on the path.
  std::vector<int64_t> path_references_;
  int64_t total_ = 0;
};

}  // namespace

Status CountCallTree(const MethodTables& tables, TreeCount& count, int32_t ceiling) {
  count = TreeCount();
  if (ceiling < 0) return Status::Error(Status::kInvalidArgument, "Call tree: the node ceiling must not be negative");
  if (!tables.analyzed || tables.LastMeth < 0) return Status::Ok();
  RAMULET_RETURN_IF_ERROR(CheckTreeTables(tables));
  const int64_t total = TreeCounter(tables, ceiling).Count();
  count.nodes = static_cast<int32_t>(std::min<int64_t>(total, ceiling));
  count.truncated = total > ceiling;
  return Status::Ok();
}

}  // namespace ramulet
