// ramulet/callTree across modules, and ramulet/moduleGraph.
#include <algorithm>
#include <optional>

#include "config/cross_module_tree.h"
#include "lsp/cross_common.h"
#include "lsp/cross_module.h"
#include "lsp/features.h"
#include "lsp/reference_lookup.h"

namespace ramulet::lsp {

namespace {

inline constexpr int64_t kDefaultPageSize = 1000;
inline constexpr int64_t kMaxPageSize = 100000;

std::optional<int64_t> OptionalCount(const Json& params, const char* name) {
  if (!params.contains(name) || params[name].is_null()) return std::nullopt;
  int64_t value = IntegerMember(params, name);
  if (value < 0) throw RpcError(error_code::kInvalidParams, std::string("'") + name + "' must not be negative");
  return value;
}

struct Place {
  int32_t module = kNone;
  int32_t method = kNone;
};

// The tree's top method: "method" names one of the module's methods, or is
// a position on a header or a call (then the method called, in whichever
// module it is).
Place RootMethod(const Configuration& configuration, int32_t module, const Json& params) {
  if (module < 0 || static_cast<size_t>(module) >= configuration.modules.size()) {
    throw RpcError(error_code::kInvalidParams, "the document is no module of the configuration");
  }
  const Json& method = Member(params, "method");
  if (method.is_string()) {
    const std::string name = method.get<std::string>();
    const int32_t found = configuration.modules[static_cast<size_t>(module)].analysis.Find(ToUtf16(name));
    if (found < 0) throw RpcError(error_code::kInvalidParams, "no method named '" + name + "' in the module");
    return {module, found};
  }
  for (const PositionTarget& target : TargetsAt(configuration, module, PositionMember(params, "method"))) {
    if (target.module >= 0 && target.method >= 0) return {target.module, target.method};
  }
  throw RpcError(error_code::kInvalidParams, "no method at the position given");
}

// The methods of the tree's names ("Module.Method"), found once each.
class NamePlaces {
 public:
  NamePlaces(const Configuration& configuration, const CallTree& tree)
      : configuration_(configuration), tree_(tree), places_(tree.names.size()) {}

  std::optional<Place> Of(int32_t name) {
    std::optional<Place>& place = places_[static_cast<size_t>(name)];
    if (!place) {
      const std::u16string& text = tree_.names[static_cast<size_t>(name)];
      const size_t dot = text.rfind(u'.');
      Place found;
      if (dot != std::u16string::npos) {
        found.module = configuration_.FindModule(ToUtf8(std::u16string_view(text).substr(0, dot)));
        if (found.module >= 0) {
          found.method = configuration_.modules[static_cast<size_t>(found.module)].analysis.Find(
              std::u16string_view(text).substr(dot + 1));
        }
      }
      place = found;
    }
    if (place->method < 0) return std::nullopt;
    return place;
  }

 private:
  const Configuration& configuration_;
  const CallTree& tree_;
  std::vector<std::optional<Place>> places_;
};

// Pre-order over the one root's subtree, `depth` levels below it at most.
class SubtreeWalk {
 public:
  SubtreeWalk(const NodeStore& nodes, std::optional<int64_t> depth) : nodes_(nodes), depth_(depth) {}

  bool Expands(int32_t node, int32_t level) const {
    return (!depth_ || level < *depth_) && nodes_.FirstChild(node) != NodeStore::kNoNode;
  }

  void Next(int32_t& node, int32_t& level) const {
    if (Expands(node, level)) {
      node = nodes_.FirstChild(node);
      ++level;
      return;
    }
    while (level > 0) {
      const int32_t sibling = nodes_.NextSibling(node);
      if (sibling != NodeStore::kNoNode) {
        node = sibling;
        return;
      }
      node = nodes_.Parent(node);
      --level;
    }
    node = NodeStore::kNoNode;
  }

 private:
  const NodeStore& nodes_;
  std::optional<int64_t> depth_;
};

}  // namespace

Json CrossCallTree(const ConfigView& view, int32_t module, const Json& params) {
  const Configuration& configuration = *view.configuration;
  const Place root = RootMethod(configuration, module, params);
  const std::optional<int64_t> depth = OptionalCount(params, "depth");
  const int64_t offset = OptionalCount(params, "offset").value_or(0);
  const int64_t limit = OptionalCount(params, "limit").value_or(kDefaultPageSize);
  if (limit < 1 || limit > kMaxPageSize) {
    throw RpcError(error_code::kInvalidParams, "'limit' must be from 1 to " + std::to_string(kMaxPageSize));
  }

  CallTree tree;
  const Status built = BuildCrossModuleTree(configuration, root.module, root.method, tree);
  if (!built.ok()) throw RpcError(error_code::kRequestFailed, built.message());
  const SubtreeWalk walk(tree.nodes, depth);
  const int32_t first = tree.nodes.FirstRoot();
  int64_t total = 0;
  for (int32_t node = first, level = 0; node != NodeStore::kNoNode; walk.Next(node, level)) ++total;

  int32_t node = first, level = 0;
  int64_t position = 0;
  for (; node != NodeStore::kNoNode && position < offset; ++position) walk.Next(node, level);
  NamePlaces places(configuration, tree);
  Json page = Json::array();
  for (; node != NodeStore::kNoNode && static_cast<int64_t>(page.size()) < limit; walk.Next(node, level), ++position) {
    const int32_t name = tree.nodes.Method(node);
    Json entry{{"name", ToUtf8(tree.names[static_cast<size_t>(name)])},
               {"level", level},
               {"hasChildren", walk.Expands(node, level)}};
    if (const std::optional<Place> place = places.Of(name)) {
      const MethodInfo& method = MethodOf(configuration, place->module, place->method);
      entry["line"] = method.header_line;
      entry["uri"] = view.ModuleUri(place->module);
      entry["range"] = HeaderNameRange(method);
    }
    page.push_back(std::move(entry));
  }
  Json result{{"nodeCount", tree.nodes.Count()},
              {"truncated", tree.truncated},
              {"total", total},
              {"offset", offset},
              {"nodes", std::move(page)}};
  result["next"] = node != NodeStore::kNoNode ? Json(position) : Json(nullptr);
  return result;
}

Json ModuleGraph(const ConfigView& view) {
  const Configuration& configuration = *view.configuration;
  Json nodes = Json::array();
  for (size_t m = 0; m < configuration.modules.size(); ++m) {
    const ConfigModule& module = configuration.modules[m];
    nodes.push_back(Json{
        {"id", m}, {"name", module.name}, {"kind", module.kind}, {"uri", view.ModuleUri(static_cast<int32_t>(m))}});
  }
  // Call sites between two different modules, counted by (caller, callee).
  std::vector<uint64_t> pairs;
  for (const Edge& edge : configuration.graph.edges) {
    if (edge.from.named_caller != kNone || edge.from.module < 0 || edge.to_module < 0 ||
        edge.to_module == edge.from.module) {
      continue;
    }
    pairs.push_back((static_cast<uint64_t>(edge.from.module) << 32) | static_cast<uint32_t>(edge.to_module));
  }
  std::sort(pairs.begin(), pairs.end());
  Json edges = Json::array();
  for (size_t i = 0; i < pairs.size();) {
    size_t j = i;
    while (j < pairs.size() && pairs[j] == pairs[i]) ++j;
    edges.push_back(Json{{"from", pairs[i] >> 32}, {"to", pairs[i] & 0xFFFFFFFFu}, {"weight", j - i}});
    i = j;
  }
  return Json{{"nodes", std::move(nodes)}, {"edges", std::move(edges)}};
}

}  // namespace ramulet::lsp
