#include "config/cross_module_tree.h"

#include <string>
#include <unordered_map>
#include <vector>

#include "config/configuration.h"
#include "platform/text.h"

namespace ramulet {

namespace {

// Methods numbered across the configuration, and each one's resolved calls.
class MethodCalls {
 public:
  explicit MethodCalls(const Configuration& configuration) : configuration_(configuration) {
    int64_t next = 0;
    first_.reserve(configuration.modules.size() + 1);
    for (const ConfigModule& module : configuration.modules) {
      first_.push_back(next);
      next += module.analysis.MethodCount();
    }
    first_.push_back(next);
    by_method_.resize(configuration.modules.size());
  }

  int64_t Id(int32_t module, int32_t method) const { return first_[static_cast<size_t>(module)] + method; }

  // The edges made by `method` of `module` that reach a method, in order.
  const std::vector<const Edge*>& CallsOf(int32_t module, int32_t method) {
    auto& methods = by_method_[static_cast<size_t>(module)];
    if (methods.empty()) {
      methods.resize(static_cast<size_t>(configuration_.modules[static_cast<size_t>(module)].analysis.MethodCount()) + 1);
      for (const Edge& edge : configuration_.graph.EdgesFrom(module)) {
        if (edge.from.named_caller != kNone || edge.from.method < 0 || edge.to_method < 0 || edge.to_module < 0) continue;
        methods[static_cast<size_t>(edge.from.method)].push_back(&edge);
      }
    }
    return methods[static_cast<size_t>(method)];
  }

 private:
  const Configuration& configuration_;
  std::vector<int64_t> first_;
  std::vector<std::vector<std::vector<const Edge*>>> by_method_;
};

class CrossTreeBuilder {
 public:
  CrossTreeBuilder(const Configuration& configuration, CallTree& tree, int32_t ceiling)
      : configuration_(configuration), calls_(configuration), tree_(tree), ceiling_(ceiling) {}

  Status Build(int32_t module, int32_t method) {
    int32_t top = 0;
    RAMULET_RETURN_IF_ERROR(tree_.nodes.AddRoot(NameOf(module, method), top));
    node_method_.push_back({module, method});
    tree_.RootCount = 1;
    int32_t begin = 1;
    int32_t end = tree_.nodes.Count() + 1;
    while (end > begin && tree_.TreeDepth < kMaxTreeDepth && !tree_.truncated) {
      ++tree_.TreeDepth;
      for (int32_t node = begin; node < end && !tree_.truncated; ++node) RAMULET_RETURN_IF_ERROR(AddCallees(node));
      begin = end;
      end = tree_.nodes.Count() + 1;
    }
    return Status::Ok();
  }

 private:
  struct Place {
    int32_t module;
    int32_t method;
  };

  // The index of the name "Module.Method" in the tree's names, added once.
  int32_t NameOf(int32_t module, int32_t method) {
    const int64_t id = calls_.Id(module, method);
    auto [at, added] = name_of_.try_emplace(id, static_cast<int32_t>(tree_.names.size()));
    if (added) {
      const ConfigModule& owner = configuration_.modules[static_cast<size_t>(module)];
      tree_.names.push_back(Utf8ToUtf16(owner.name) + u"." + owner.analysis.methods[static_cast<size_t>(method)].name);
    }
    return at->second;
  }

  bool OnPath(int32_t node, int64_t id) const {
    for (; node != NodeStore::kNoNode; node = tree_.nodes.Parent(node)) {
      const Place& place = node_method_[static_cast<size_t>(node - 1)];
      if (calls_.Id(place.module, place.method) == id) return true;
    }
    return false;
  }

  Status AddCallees(int32_t node) {
    const Place place = node_method_[static_cast<size_t>(node - 1)];
    for (const Edge* edge : calls_.CallsOf(place.module, place.method)) {
      if (OnPath(node, calls_.Id(edge->to_module, edge->to_method))) continue;
      if (tree_.nodes.Count() >= ceiling_) {
        tree_.truncated = true;
        return Status::Ok();
      }
      int32_t child = 0;
      RAMULET_RETURN_IF_ERROR(tree_.nodes.AddChild(node, NameOf(edge->to_module, edge->to_method), child));
      node_method_.push_back({edge->to_module, edge->to_method});
    }
    return Status::Ok();
  }

  const Configuration& configuration_;
  MethodCalls calls_;
  CallTree& tree_;
  int32_t ceiling_;
  std::unordered_map<int64_t, int32_t> name_of_;
  std::vector<Place> node_method_;  // by node index - 1
};

}  // namespace

Status BuildCrossModuleTree(const Configuration& configuration, int32_t module, int32_t method, CallTree& tree,
                            int32_t ceiling) {
  ClearCallTree(tree);
  if (module < 0 || static_cast<size_t>(module) >= configuration.modules.size() || method < 0 ||
      method >= configuration.modules[static_cast<size_t>(module)].analysis.MethodCount()) {
    return Status::Error(Status::kInvalidArgument, "no such method to build a tree from");
  }
  if (ceiling <= 0) return Status::Ok();
  CrossTreeBuilder builder(configuration, tree, ceiling);
  return builder.Build(module, method);
}

}  // namespace ramulet
