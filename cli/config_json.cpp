#include <string_view>

#include "cli/config_output.h"
#include "cli/json_output.h"
#include "cli/json_writer.h"
#include "platform/text.h"

namespace ramulet {

namespace {

// The caller's name: its module's, or that of a caller that is no module.
std::string_view CallerName(const Configuration& configuration, const CallSite& site) {
  if (site.module >= 0) return configuration.modules[static_cast<size_t>(site.module)].name;
  if (site.named_caller >= 0) return configuration.named_callers[static_cast<size_t>(site.named_caller)].caller;
  return {};
}

void WriteMethodName(const Configuration& configuration, int32_t module, int32_t method, JsonWriter& out) {
  if (module < 0 || method < 0) {
    out << "null";
    return;
  }
  out.String(configuration.modules[static_cast<size_t>(module)].analysis.methods[static_cast<size_t>(method)].name);
}

void WriteSite(const Configuration& configuration, const CallSite& site, JsonWriter& out) {
  out << "{\"module\": ";
  out.Utf8(CallerName(configuration, site)) << ", \"method\": ";
  WriteMethodName(configuration, site.module, site.method, out);
  out << ", \"line\": " << site.line << ", \"column\": " << site.column << "}";
}

void WriteText(const CallGraph& graph, int32_t text, JsonWriter& out) {
  if (text < 0) {
    out << "null";
    return;
  }
  out.Utf8(graph.Text(text));
}

// The callee: a module of the configuration, or for an absent module the
// name it was asked by; a method, or null when the module lacks it (the
// name asked for is then "member").
void WriteCallee(const Configuration& configuration, const Edge& edge, JsonWriter& out) {
  const CallGraph& graph = configuration.graph;
  out << "{\"module\": ";
  if (edge.to_module >= 0) {
    out.Utf8(configuration.modules[static_cast<size_t>(edge.to_module)].name);
  } else {
    WriteText(graph, edge.target, out);
  }
  out << ", \"method\": ";
  WriteMethodName(configuration, edge.to_module, edge.to_method, out);
  if (edge.to_module >= 0 && edge.to_method < 0 && edge.target >= 0) {
    out << ", \"member\": ";
    WriteText(graph, edge.target, out);
  }
  out << "}";
}

void WriteModuleError(const ConfigModule& module, JsonWriter& out) {
  const std::optional<AnalysisError>& error = module.analysis.error;
  if (error && error->kind == AnalysisError::Kind::kDuplicateMethod) {
    out << ", \"error\": {\"kind\": \"duplicate-method\", \"name\": ";
    out.String(error->name) << ", \"line\": " << error->line << "}";
    return;
  }
  out << ", \"error\": {\"kind\": \"" << (error ? "analysis-failed" : "unreadable") << "\", \"message\": ";
  out.Utf8(module.error.message()) << "}";
}

void WriteModules(const Configuration& configuration, JsonWriter& out) {
  for (size_t i = 0; i < configuration.modules.size(); ++i) {
    const ConfigModule& module = configuration.modules[i];
    if (i > 0) out << ",\n";
    out << "{\"index\": " << static_cast<int32_t>(i) << ", \"name\": ";
    out.Utf8(module.name) << ", \"path\": ";
    out.Utf8(module.path) << ", \"kind\": ";
    out.Utf8(module.kind) << ", \"global\": " << (module.global ? "true" : "false");
    if (module.external_text) out << ", \"externalText\": true";
    out << ", \"lineCount\": " << module.analysis.line_count << ", \"methods\": [";
    WriteJsonMethods(module.analysis, out);
    out << "]";
    if (!module.error.ok()) WriteModuleError(module, out);
    out << "}";
  }
}

void WriteEdges(const Configuration& configuration, JsonWriter& out) {
  const CallGraph& graph = configuration.graph;
  for (size_t i = 0; i < graph.edges.size(); ++i) {
    const Edge& edge = graph.edges[i];
    if (i > 0) out << ",\n";
    out << "{\"from\": ";
    WriteSite(configuration, edge.from, out);
    out << ", \"to\": ";
    WriteCallee(configuration, edge, out);
    out << ", \"kind\": \"" << EdgeKindName(edge.kind) << "\", \"via\": ";
    WriteText(graph, edge.via, out);
    out << "}";
  }
}

void WriteUnresolved(const Configuration& configuration, JsonWriter& out) {
  const CallGraph& graph = configuration.graph;
  for (size_t i = 0; i < graph.unresolved.size(); ++i) {
    const Unresolved& entry = graph.unresolved[i];
    if (i > 0) out << ",\n";
    out << "{\"from\": ";
    WriteSite(configuration, entry.from, out);
    out << ", \"kind\": \"" << UnresolvedKindName(entry.kind) << "\", \"text\": ";
    WriteText(graph, entry.text, out);
    out << "}";
  }
}

void WriteCounts(const CallGraph& graph, JsonWriter& out) {
  const auto edges = graph.EdgeCounts();
  const auto unresolved = graph.UnresolvedCounts();
  out << "{";
  for (size_t k = 0; k < kEdgeKindCount; ++k) {
    if (k > 0) out << ", ";
    out << "\"" << EdgeKindName(static_cast<EdgeKind>(k)) << "\": " << static_cast<int32_t>(edges[k]);
  }
  for (size_t k = 0; k < kUnresolvedKindCount; ++k) {
    out << ", \"" << UnresolvedKindName(static_cast<UnresolvedKind>(k)) << "\": " << static_cast<int32_t>(unresolved[k]);
  }
  out << "}";
}

}  // namespace

void WriteConfigJson(const Configuration& configuration, std::ostream& stream) {
  JsonWriter out(stream);
  out << "{\"layout\": \"" << LayoutName(configuration.layout) << "\", \"root\": ";
  out.Utf8(configuration.root) << ",\n\"modules\": [\n";
  WriteModules(configuration, out);
  out << "],\n\"edges\": [\n";
  WriteEdges(configuration, out);
  out << "],\n\"unresolved\": [\n";
  WriteUnresolved(configuration, out);
  out << "],\n\"counts\": ";
  WriteCounts(configuration.graph, out);
  out << "}\n";
}

}  // namespace ramulet
