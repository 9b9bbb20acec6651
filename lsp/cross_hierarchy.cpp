// The call hierarchy across modules: items carry their method as
// {"module", "method"} numbers, checked against the item's name on use.
#include <unordered_map>

#include "lsp/cross_common.h"
#include "lsp/cross_module.h"
#include "lsp/features.h"
#include "lsp/reference_lookup.h"

namespace ramulet::lsp {

namespace {

// Module URIs, made once for each module an answer names.
class ModuleUris {
 public:
  explicit ModuleUris(const ConfigView& view) : view_(view) {}
  const std::string& Of(int32_t module) {
    auto [uri, added] = uris_.try_emplace(module);
    if (added) uri->second = view_.ModuleUri(module);
    return uri->second;
  }

 private:
  const ConfigView& view_;
  std::unordered_map<int32_t, std::string> uris_;
};

Json MethodItem(const ConfigView& view, ModuleUris& uris, int32_t module, int32_t method) {
  const MethodInfo& info = MethodOf(*view.configuration, module, method);
  Json item = NewObject();
  Json::object_t& members = Members(item);
  members.emplace("name", ToUtf8(info.name));
  members.emplace("kind", MethodSymbolKind(info));
  members.emplace("detail", view.configuration->modules[static_cast<size_t>(module)].name);
  members.emplace("uri", uris.Of(module));
  members.emplace("range", WholeRange(info));
  members.emplace("selectionRange", HeaderNameRange(info));
  Json data = NewObject();
  Members(data).emplace("module", module);
  Members(data).emplace("method", method);
  // The configuration the item belongs to, for the calls asked of it.
  Members(data).emplace("root", view.root);
  members.emplace("data", std::move(data));
  return item;
}

// Call sites grouped by the item on the other side, in order of each
// one's first site; at most kMaxFromRanges ranges a group.
class SiteGroups {
 public:
  // Room for `sites` groups at most, taken at once: growing by steps costs
  // the allocator a pass over every small block freed meanwhile.
  explicit SiteGroups(size_t sites) {
    groups_.reserve(sites);
    group_of_.reserve(sites);
  }

  template <typename MakeItem>
  void Add(int64_t key, MakeItem make_item, Json range) {
    auto [found, added] = group_of_.try_emplace(key, groups_.size());
    if (added) groups_.push_back(Group{make_item()});
    Group& group = groups_[found->second];
    if (group.ranges.size() < kMaxFromRanges) {
      group.ranges.push_back(std::move(range));
    } else {
      ++group.omitted;
    }
  }

  Json Answer(const char* side) {
    Json answer = Json::array();
    answer.get_ptr<Json::array_t*>()->reserve(groups_.size());
    for (Group& group : groups_) {
      Json call = NewObject();
      Members(call).emplace(side, std::move(group.item));
      Members(call).emplace("fromRanges", std::move(group.ranges));
      if (group.omitted > 0) Members(call).emplace("fromRangesOmitted", group.omitted);
      answer.push_back(std::move(call));
    }
    return answer;
  }

 private:
  struct Group {
    Json item;
    Json ranges = Json::array();
    int64_t omitted = 0;
  };
  std::vector<Group> groups_;
  std::unordered_map<int64_t, size_t> group_of_;
};

int64_t MethodKey(int32_t module, int32_t method) {
  return (static_cast<int64_t>(module) << 32) | static_cast<uint32_t>(method);
}

}  // namespace

Json CrossPrepareCallHierarchy(const ConfigView& view, int32_t module, const TextPosition& position) {
  Json items = Json::array();
  ModuleUris uris(view);
  for (const PositionTarget& target : TargetsAt(*view.configuration, module, position)) {
    if (target.module >= 0 && target.method >= 0) items.push_back(MethodItem(view, uris, target.module, target.method));
  }
  if (items.empty()) return nullptr;
  return items;
}

Json CrossOutgoingCalls(const ConfigView& view, const Json& item) {
  const Configuration& configuration = *view.configuration;
  const ItemPlace place = PlaceOfItem(configuration, item);
  if (!place.found) return Json::array();
  const std::span<const Edge> edges = CodeEdgesOf(configuration, place.module);
  SiteGroups groups(edges.size());
  ModuleUris uris(view);
  // The module's code edges are in text order: the first call of each
  // callee comes first.
  for (const Edge& edge : edges) {
    if (edge.from.method != place.method || edge.to_module < 0 || edge.to_method < 0) continue;
    groups.Add(
        MethodKey(edge.to_module, edge.to_method),
        [&] { return MethodItem(view, uris, edge.to_module, edge.to_method); }, EdgeRange(configuration, edge));
  }
  return groups.Answer("to");
}

}  // namespace ramulet::lsp
