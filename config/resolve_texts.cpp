#include "config/resolve_texts.h"

#include <algorithm>
#include <numeric>

#include "platform/text.h"

namespace ramulet {

int32_t ResolveTexts::Add(std::string_view text) {
  scratch_.assign(text);
  auto [at, added] = ids_.try_emplace(scratch_, static_cast<int32_t>(texts_.size()));
  if (added) texts_.push_back(scratch_);
  return at->second;
}

int32_t ResolveTexts::Add(std::u16string_view text) {
  std::string utf8;
  AppendUtf16AsUtf8(text, utf8);
  return Add(std::string_view(utf8));
}

void ResolveTexts::Flush(CallGraph& graph) {
  std::vector<int32_t> order(texts_.size());
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](int32_t a, int32_t b) { return texts_[a] < texts_[b]; });
  std::vector<int32_t> graph_id(texts_.size());
  for (int32_t local : order) graph_id[static_cast<size_t>(local)] = graph.Intern(texts_[static_cast<size_t>(local)]);
  auto map = [&](int32_t& id) {
    if (id >= 0) id = graph_id[static_cast<size_t>(id)];
  };
  for (Edge& edge : graph.edges) {
    map(edge.via);
    map(edge.target);
  }
  for (Unresolved& entry : graph.unresolved) map(entry.text);
}

}  // namespace ramulet
