#include "config/resolve_texts.h"

#include <algorithm>
#include <numeric>

#include "platform/text.h"

namespace ramulet {

int32_t ResolveTexts::Add(std::u16string_view text) {
  const auto next = static_cast<int32_t>(texts_.size());
  const int32_t known = index_.Insert(text, next);
  if (known >= 0) return known;
  texts_.push_back(Utf16ToUtf8(text));
  return next;
}

int32_t ResolveTexts::Add(std::string_view utf8) { return Add(std::u16string_view(Utf8ToUtf16(utf8))); }

void ResolveTexts::Flush(CallGraph& graph) { Flush(graph, graph.edges, graph.unresolved); }

void ResolveTexts::Flush(CallGraph& graph, std::span<Edge> edges, std::span<Unresolved> unresolved) {
  std::vector<int32_t> order(texts_.size());
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](int32_t a, int32_t b) { return texts_[a] < texts_[b]; });
  std::vector<int32_t> graph_id(texts_.size());
  for (int32_t local : order) graph_id[static_cast<size_t>(local)] = graph.Intern(texts_[static_cast<size_t>(local)]);
  auto map = [&](int32_t& id) {
    if (id >= 0) id = graph_id[static_cast<size_t>(id)];
  };
  for (Edge& edge : edges) {
    map(edge.via);
    map(edge.target);
  }
  for (Unresolved& entry : unresolved) map(entry.text);
}

}  // namespace ramulet
