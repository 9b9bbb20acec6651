#include "lsp/reference_lookup.h"

#include <algorithm>

namespace ramulet::lsp {

namespace {

// The length of a whole "Module.Method" string the module's facts read at
// the edge's position; 0 when they read none there.
int32_t NamingStringLength(const Configuration& configuration, const Edge& edge) {
  const ModuleFacts& facts = configuration.modules[static_cast<size_t>(edge.from.module)].facts;
  auto at = std::partition_point(facts.references.begin(), facts.references.end(),
                                 [&](const ModuleFacts::Reference& reference) {
                                   return reference.line < edge.from.line ||
                                          (reference.line == edge.from.line && reference.column < edge.from.column);
                                 });
  for (; at != facts.references.end() && at->line == edge.from.line && at->column == edge.from.column; ++at) {
    if (at->kind == ModuleFacts::Kind::kString) {
      return static_cast<int32_t>(facts.Written(at->receiver).size() + 1 + facts.Written(at->name).size());
    }
  }
  return 0;
}

}  // namespace

int32_t CallSiteLength(const Configuration& configuration, const Edge& edge) {
  // "Module.Method" in a string: the whole string names the method.
  if (edge.kind == EdgeKind::kByName && edge.from.module >= 0 && edge.from.named_caller == kNone &&
      configuration.graph.Text(edge.via) == "string") {
    const int32_t length = NamingStringLength(configuration, edge);
    if (length > 0) return length;
  }
  if (edge.to_module >= 0 && edge.to_method >= 0) {
    const ConfigModule& callee = configuration.modules[static_cast<size_t>(edge.to_module)];
    return static_cast<int32_t>(callee.analysis.methods[static_cast<size_t>(edge.to_method)].name.size());
  }
  // The written name is UTF-8: count its UTF-16 units.
  int32_t units = 0;
  for (unsigned char byte : configuration.graph.Text(edge.target)) {
    if ((byte & 0xC0) != 0x80) units += byte >= 0xF0 ? 2 : 1;
  }
  return units;
}

std::span<const Edge> CodeEdgesOf(const Configuration& configuration, int32_t module) {
  std::span<const Edge> edges = configuration.graph.EdgesFrom(module);
  auto end = std::partition_point(edges.begin(), edges.end(),
                                  [](const Edge& edge) { return edge.from.named_caller == kNone; });
  return edges.first(static_cast<size_t>(end - edges.begin()));
}

std::vector<PositionTarget> TargetsAt(const Configuration& configuration, int32_t module,
                                      const TextPosition& position) {
  std::vector<PositionTarget> targets;
  if (module < 0 || static_cast<size_t>(module) >= configuration.modules.size()) return targets;
  const std::vector<MethodInfo>& methods = configuration.modules[static_cast<size_t>(module)].analysis.methods;
  for (size_t m = 0; m < methods.size(); ++m) {
    const MethodInfo& method = methods[m];
    if (method.header_line == position.line && position.character >= method.name_column &&
        position.character < method.name_column + static_cast<int64_t>(method.name.size())) {
      targets.push_back({module, static_cast<int32_t>(m), nullptr});
      return targets;
    }
  }
  std::span<const Edge> edges = CodeEdgesOf(configuration, module);
  auto first = std::partition_point(edges.begin(), edges.end(),
                                    [&](const Edge& edge) { return edge.from.line < position.line; });
  for (auto edge = first; edge != edges.end() && edge->from.line == position.line; ++edge) {
    if (position.character >= edge->from.column &&
        position.character < edge->from.column + CallSiteLength(configuration, *edge)) {
      targets.push_back({edge->to_module, edge->to_method, &*edge});
    }
  }
  return targets;
}

}  // namespace ramulet::lsp
