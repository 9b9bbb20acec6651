#include <map>
#include <string>
#include <utility>
#include <vector>

#include "cli/config_output.h"
#include "cli/dot_output.h"
#include "platform/text.h"

namespace ramulet {

namespace {

// Nodes are numbered: modules first, then callers that are no module.
int32_t CallerNode(const Configuration& configuration, const CallSite& site) {
  if (site.module >= 0) return site.module;
  return static_cast<int32_t>(configuration.modules.size()) + site.named_caller;
}

void WriteLabel(std::string_view utf8, std::ostream& out) { WriteDotString(Utf8ToUtf16(utf8), out); }

void WriteWeightedEdges(const std::map<std::pair<int32_t, int32_t>, int32_t>& weights, const char* prefix,
                        std::ostream& out) {
  for (const auto& [pair, weight] : weights) {
    out << "  " << prefix << pair.first << " -> " << prefix << pair.second << " [weight=" << weight << ", label=\""
        << weight << "\"];\n";
  }
}

}  // namespace

void WriteConfigDot(const Configuration& configuration, std::ostream& out) {
  std::map<std::pair<int32_t, int32_t>, int32_t> weights;
  std::map<int32_t, std::string> outside;  // callers that are no module, by node
  for (const Edge& edge : configuration.graph.edges) {
    if (edge.to_module < 0) continue;
    const int32_t from = CallerNode(configuration, edge.from);
    if (from == edge.to_module || from < 0) continue;
    ++weights[{from, edge.to_module}];
    if (edge.from.module < 0) outside.emplace(from, configuration.named_callers[static_cast<size_t>(edge.from.named_caller)].caller);
  }
  out << "digraph modules {\n  rankdir=LR;\n  node [shape=box, fontname=\"sans-serif\"];\n";
  for (size_t m = 0; m < configuration.modules.size(); ++m) {
    const ConfigModule& module = configuration.modules[m];
    out << "  n" << m << " [label=";
    WriteLabel(module.name, out);
    out << (module.global ? ", style=bold" : "") << (module.error.ok() ? "" : ", color=red") << "];\n";
  }
  for (const auto& [node, name] : outside) {
    out << "  n" << node << " [label=";
    WriteLabel(name, out);
    out << ", shape=ellipse];\n";
  }
  WriteWeightedEdges(weights, "n", out);
  out << "}\n";
}

void WriteConfigMethodDot(const Configuration& configuration, int32_t module, std::ostream& out) {
  // Methods are numbered by their place in `nodes`, this module's first.
  std::map<std::pair<int32_t, int32_t>, int32_t> number;
  std::vector<std::pair<int32_t, int32_t>> nodes;
  auto node_of = [&](int32_t m, int32_t method) {
    auto [at, added] = number.try_emplace({m, method}, static_cast<int32_t>(nodes.size()));
    if (added) nodes.emplace_back(m, method);
    return at->second;
  };
  const ConfigModule& owner = configuration.modules[static_cast<size_t>(module)];
  for (int32_t method = 0; method < owner.analysis.MethodCount(); ++method) node_of(module, method);
  std::map<std::pair<int32_t, int32_t>, int32_t> weights;
  for (const Edge& edge : configuration.graph.EdgesFrom(module)) {
    if (edge.from.named_caller != kNone || edge.from.method < 0 || edge.to_module < 0 || edge.to_method < 0) continue;
    ++weights[{node_of(module, edge.from.method), node_of(edge.to_module, edge.to_method)}];
  }
  for (int32_t method = 0; method < owner.analysis.MethodCount(); ++method) {
    for (int32_t index : configuration.graph.EdgesTo(module, method)) {
      const Edge& edge = configuration.graph.edges[static_cast<size_t>(index)];
      if (edge.from.module < 0 || edge.from.method < 0 || edge.from.module == module) continue;
      ++weights[{node_of(edge.from.module, edge.from.method), node_of(module, method)}];
    }
  }
  out << "digraph methods {\n  rankdir=LR;\n  node [shape=box, fontname=\"sans-serif\"];\n";
  for (size_t i = 0; i < nodes.size(); ++i) {
    const auto [m, method] = nodes[i];
    const ConfigModule& at = configuration.modules[static_cast<size_t>(m)];
    std::u16string label = at.analysis.methods[static_cast<size_t>(method)].name;
    if (m != module) label = Utf8ToUtf16(at.name) + u"." + label;
    out << "  m" << i << " [label=";
    WriteDotString(label, out);
    out << (m == module ? ", style=filled, fillcolor=\"#e8f0ff\"" : "") << "];\n";
  }
  WriteWeightedEdges(weights, "m", out);
  out << "}\n";
}

}  // namespace ramulet
