#include "config/call_graph.h"

#include <algorithm>

namespace ramulet {

const char* EdgeKindName(EdgeKind kind) {
  static constexpr const char* kNames[kEdgeKindCount] = {
      "in-module",      "global",        "ambiguous", "common",  "inaccessible", "unknown-member",
      "common-var",     "absent-module", "manager",   "by-name", "metadata",     "dialog",
  };
  return kNames[static_cast<size_t>(kind)];
}

const char* UnresolvedKindName(UnresolvedKind kind) {
  return kind == UnresolvedKind::kDynamic ? "dynamic" : "missing-handler";
}

int32_t CallGraph::Intern(std::string_view text) {
  auto at = std::lower_bound(interned_.begin(), interned_.end(), text,
                             [](const auto& entry, std::string_view key) { return entry.first < key; });
  if (at != interned_.end() && at->first == text) return at->second;
  const auto index = static_cast<int32_t>(texts.size());
  texts.emplace_back(text);
  interned_.insert(at, {std::string(text), index});
  return index;
}

std::array<size_t, kEdgeKindCount> CallGraph::EdgeCounts() const {
  std::array<size_t, kEdgeKindCount> counts{};
  for (const auto& edge : edges) ++counts[static_cast<size_t>(edge.kind)];
  return counts;
}

std::array<size_t, kUnresolvedKindCount> CallGraph::UnresolvedCounts() const {
  std::array<size_t, kUnresolvedKindCount> counts{};
  for (const auto& entry : unresolved) ++counts[static_cast<size_t>(entry.kind)];
  return counts;
}

namespace {

// Modules and methods are numbered from 0; kNone sorts first.
uint64_t CalleeKey(int32_t module, int32_t method) {
  return (static_cast<uint64_t>(static_cast<uint32_t>(module + 1)) << 32) | static_cast<uint32_t>(method + 1);
}

}  // namespace

void CallGraph::IndexCallees(size_t module_count) {
  // Edges are grouped by calling module in module order, then callers that
  // are no module.
  from_begin_.assign(module_count + 2, edges.size());
  size_t at = 0;
  for (size_t m = 0; m <= module_count; ++m) {
    from_begin_[m] = at;
    while (at < edges.size() && edges[at].from.module == static_cast<int32_t>(m)) ++at;
  }
  from_begin_[module_count + 1] = edges.size();
  // Sorted as (key, edge) pairs: sorting the numbers alone through the
  // edges would fetch an edge from anywhere at every comparison.
  std::vector<std::pair<uint64_t, int32_t>> keyed(edges.size());
  for (size_t i = 0; i < edges.size(); ++i) {
    keyed[i] = {CalleeKey(edges[i].to_module, edges[i].to_method), static_cast<int32_t>(i)};
  }
  std::sort(keyed.begin(), keyed.end());
  by_callee_.resize(keyed.size());
  callee_keys_.resize(keyed.size());
  for (size_t i = 0; i < keyed.size(); ++i) {
    callee_keys_[i] = keyed[i].first;
    by_callee_[i] = keyed[i].second;
  }
}

std::span<const int32_t> CallGraph::EdgesTo(int32_t module, int32_t method) const {
  if (module < 0) return {};
  const uint64_t key = CalleeKey(module, method);
  const auto range = std::equal_range(callee_keys_.begin(), callee_keys_.end(), key);
  return std::span<const int32_t>(by_callee_).subspan(static_cast<size_t>(range.first - callee_keys_.begin()),
                                                       static_cast<size_t>(range.second - range.first));
}

std::span<const Edge> CallGraph::EdgesFrom(int32_t module) const {
  if (from_begin_.empty()) return {};
  const size_t last = from_begin_.size() - 2;  // the slot of callers that are no module
  if (module >= 0 && static_cast<size_t>(module) >= last) return {};
  const size_t slot = module < 0 ? last : static_cast<size_t>(module);
  return std::span<const Edge>(edges).subspan(from_begin_[slot], from_begin_[slot + 1] - from_begin_[slot]);
}

}  // namespace ramulet
