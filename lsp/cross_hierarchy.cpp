// The call hierarchy across modules: items carry their method as
// {"module", "method"} numbers, checked against the item's name on use.
#include <unordered_map>

#include "lsp/cross_common.h"
#include "lsp/cross_module.h"
#include "lsp/features.h"
#include "lsp/reference_lookup.h"

namespace ramulet::lsp {

namespace {

inline constexpr int kSymbolKindModule = 2;
inline constexpr int kSymbolKindEvent = 24;

Json MethodItem(const ConfigView& view, int32_t module, int32_t method) {
  const MethodInfo& info = MethodOf(*view.configuration, module, method);
  return Json{{"name", ToUtf8(info.name)},
              {"kind", MethodSymbolKind(info)},
              {"detail", view.configuration->modules[static_cast<size_t>(module)].name},
              {"uri", view.ModuleUri(module)},
              {"range", WholeRange(info)},
              {"selectionRange", HeaderNameRange(info)},
              {"data", Json{{"module", module}, {"method", method}}}};
}

// The module's body as a caller, shown at its first call site.
Json BodyItem(const ConfigView& view, const Edge& first_call) {
  const Json range = EdgeRange(*view.configuration, first_call);
  const int32_t module = first_call.from.module;
  return Json{{"name", view.configuration->modules[static_cast<size_t>(module)].name},
              {"kind", kSymbolKindModule},
              {"detail", "module body"},
              {"uri", view.ModuleUri(module)},
              {"range", range},
              {"selectionRange", range},
              {"data", Json{{"module", module}, {"method", kNone}}}};
}

// A caller named outside the code (a scheduled job, a form event, a dialog
// formula), at the handler's name in the file naming it.
Json NamedItem(const ConfigView& view, const Edge& edge) {
  const NamedCaller& caller = view.configuration->named_callers[static_cast<size_t>(edge.from.named_caller)];
  const Json range = EdgeRange(*view.configuration, edge);
  return Json{{"name", caller.caller},
              {"kind", kSymbolKindEvent},
              {"detail", std::string(EdgeKindName(edge.kind)) + " " + caller.via},
              {"uri", view.FileUri(caller.path)},
              {"range", range},
              {"selectionRange", range},
              {"data", Json{{"module", edge.from.module}, {"namedCaller", edge.from.named_caller}}}};
}

struct Place {
  int32_t module = kNone;
  int32_t method = kNone;  // kNone: the module's body
  bool found = false;
};

int32_t DataNumber(const Json& data, const char* name) {
  auto member = data.find(name);
  if (member == data.end() || !member->is_number_integer()) return kNone;
  return member->get<int32_t>();
}

// The method an item stands for. The numbers may be stale after an edit:
// when the method there no longer has the item's name, it is looked up by
// name in the same module.
Place ItemPlace(const Configuration& configuration, const Json& item) {
  auto data = item.find("data");
  if (data == item.end() || !data->is_object() || data->contains("namedCaller")) return {};
  Place place{DataNumber(*data, "module"), DataNumber(*data, "method"), false};
  if (place.module < 0 || static_cast<size_t>(place.module) >= configuration.modules.size()) return {};
  if (place.method == kNone) {
    place.found = true;
    return place;
  }
  const std::u16string name = ToUtf16(StringMember(item, "name"));
  const ModuleAnalysis& analysis = configuration.modules[static_cast<size_t>(place.module)].analysis;
  if (!ValidMethod(configuration, place.module, place.method) ||
      analysis.methods[static_cast<size_t>(place.method)].name != name) {
    place.method = analysis.Find(name);
  }
  place.found = place.method >= 0;
  return place;
}

// Call sites grouped by the item on the other side, in order of each
// one's first site; at most kMaxFromRanges ranges a group.
class SiteGroups {
 public:
  template <typename MakeItem>
  void Add(int64_t key, MakeItem make_item, const Json& range) {
    auto [found, added] = group_of_.try_emplace(key, groups_.size());
    if (added) groups_.push_back(Group{make_item()});
    Group& group = groups_[found->second];
    if (group.ranges.size() < kMaxFromRanges) {
      group.ranges.push_back(range);
    } else {
      ++group.omitted;
    }
  }

  Json Answer(const char* side) {
    Json answer = Json::array();
    for (Group& group : groups_) {
      Json call{{side, std::move(group.item)}, {"fromRanges", std::move(group.ranges)}};
      if (group.omitted > 0) call["fromRangesOmitted"] = group.omitted;
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
  for (const PositionTarget& target : TargetsAt(*view.configuration, module, position)) {
    if (target.module >= 0 && target.method >= 0) items.push_back(MethodItem(view, target.module, target.method));
  }
  if (items.empty()) return nullptr;
  return items;
}

Json CrossIncomingCalls(const ConfigView& view, const Json& item) {
  const Configuration& configuration = *view.configuration;
  const Place place = ItemPlace(configuration, item);
  if (!place.found || place.method == kNone) return Json::array();
  SiteGroups groups;
  for (int32_t index : configuration.graph.EdgesTo(place.module, place.method)) {
    const Edge& edge = configuration.graph.edges[static_cast<size_t>(index)];
    const Json range = EdgeRange(configuration, edge);
    if (edge.from.named_caller != kNone) {
      // Named callers are keyed apart from methods: module numbers are never negative.
      groups.Add(-1 - static_cast<int64_t>(edge.from.named_caller), [&] { return NamedItem(view, edge); }, range);
    } else if (edge.from.method == kNone) {
      groups.Add(MethodKey(edge.from.module, kNone), [&] { return BodyItem(view, edge); }, range);
    } else {
      groups.Add(MethodKey(edge.from.module, edge.from.method),
                 [&] { return MethodItem(view, edge.from.module, edge.from.method); }, range);
    }
  }
  return groups.Answer("from");
}

Json CrossOutgoingCalls(const ConfigView& view, const Json& item) {
  const Configuration& configuration = *view.configuration;
  const Place place = ItemPlace(configuration, item);
  if (!place.found) return Json::array();
  SiteGroups groups;
  // The module's code edges are in text order: the first call of each
  // callee comes first.
  for (const Edge& edge : CodeEdgesOf(configuration, place.module)) {
    if (edge.from.method != place.method || edge.to_module < 0 || edge.to_method < 0) continue;
    groups.Add(MethodKey(edge.to_module, edge.to_method),
               [&] { return MethodItem(view, edge.to_module, edge.to_method); }, EdgeRange(configuration, edge));
  }
  return groups.Answer("to");
}

}  // namespace ramulet::lsp
