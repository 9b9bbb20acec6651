#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/name_index.h"
#include "config/call_graph.h"

namespace ramulet {

// The texts of a graph (via, target, unresolved text) as the resolution
// meets them, numbered in meeting order and found again by their UTF-16
// form, so that a text met before costs one look-up and no conversion.
// Flush interns them into the graph in sorted order, which
// CallGraph::Intern takes at the cost of an append, and renumbers the edges.
class ResolveTexts {
 public:
  int32_t Add(std::u16string_view text);
  int32_t Add(std::string_view utf8);
  // Interns the texts into `graph` and renumbers those of `edges` and
  // `unresolved` (the graph's own by default).
  void Flush(CallGraph& graph);
  void Flush(CallGraph& graph, std::span<Edge> edges, std::span<Unresolved> unresolved);

 private:
  NameIndex index_;
  std::vector<std::string> texts_;  // UTF-8
};

}  // namespace ramulet
