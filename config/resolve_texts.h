#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "config/call_graph.h"

namespace ramulet {

// The texts of a graph (via, target, unresolved text) as the resolution
// meets them, numbered in meeting order; Flush interns them into the graph
// in sorted order, which CallGraph::Intern takes at the cost of an append,
// and renumbers the edges.
class ResolveTexts {
 public:
  int32_t Add(std::string_view text);
  int32_t Add(std::u16string_view text);
  void Flush(CallGraph& graph);

 private:
  std::unordered_map<std::string, int32_t> ids_;
  std::vector<std::string> texts_;
  std::string scratch_;
};

}  // namespace ramulet
