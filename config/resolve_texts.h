#pragma once

#include <cstdint>
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
  void Flush(CallGraph& graph);

 private:
  NameIndex index_;
  std::vector<std::string> texts_;  // UTF-8
};

}  // namespace ramulet
