#include <string_view>

#include "cli/config_output.h"
#include "cli/json_output.h"
#include "cli/json_writer.h"
#include "platform/text.h"

namespace ramulet {

namespace {

void WriteIndex(int32_t index, JsonWriter& out) {
  if (index < 0) {
    out << "null";
  } else {
    out << index;
  }
}

void WriteText(const CallGraph& graph, int32_t text, JsonWriter& out) {
  if (text < 0) {
    out << "null";
    return;
  }
  out.Utf8(graph.Text(text));
}

// Modules and methods by their indices in "modules" and its "methods". A
// caller named outside the code adds the file naming it ("file") and, when
// it is no module, its name ("caller").
void WriteSite(const Configuration& configuration, const CallSite& site, JsonWriter& out) {
  out << "{\"module\": ";
  WriteIndex(site.module, out);
  out << ", \"method\": ";
  WriteIndex(site.module < 0 ? kNone : site.method, out);
  out << ", \"line\": " << site.line << ", \"column\": " << site.column;
  if (site.named_caller >= 0) {
    const NamedCaller& named = configuration.named_callers[static_cast<size_t>(site.named_caller)];
    if (site.module < 0) {
      out << ", \"caller\": ";
      out.Utf8(named.caller);
    }
    out << ", \"file\": ";
    out.Utf8(named.path);
  }
  out << "}";
}

// The callee; for a module that is not there the name it was asked by
// ("name"), for a method its module lacks the name asked for ("member").
void WriteCallee(const Configuration& configuration, const Edge& edge, JsonWriter& out) {
  (void)configuration;
  out << "{\"module\": ";
  WriteIndex(edge.to_module, out);
  out << ", \"method\": ";
  WriteIndex(edge.to_module < 0 ? kNone : edge.to_method, out);
  if (edge.target >= 0) {
    out << (edge.to_module < 0 ? ", \"name\": " : ", \"member\": ");
    WriteText(configuration.graph, edge.target, out);
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
