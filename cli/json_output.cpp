#include "cli/json_output.h"

#include <charconv>
#include <string>
#include <string_view>

#include "cli/json_string.h"
#include "cli/json_writer.h"
#include "platform/text.h"

namespace ramulet {

namespace {

void WriteCallList(const ModuleAnalysis& module, int32_t m, JsonWriter& out) {
  out << "[";
  bool first = true;
  for (const MethodCall& call : module.CallsFrom(m)) {
    if (!first) out << ", ";
    first = false;
    out << "{\"target\": " << call.callee << ", \"line\": " << call.line << "}";
  }
  out << "]";
}

void WriteCallerList(const ModuleAnalysis& module, int32_t m, JsonWriter& out) {
  out << "[";
  bool first = true;
  for (int32_t call : module.CallsTo(m)) {
    if (!first) out << ", ";
    first = false;
    out << module.CallerOf(call);
  }
  out << "]";
}

void WriteMethodHead(int32_t index, std::u16string_view name, int32_t header_line, JsonWriter& out) {
  out << "{\"index\": " << index << ", \"name\": ";
  out.String(name) << ", \"headerLine\": " << header_line << ", \"endLine\": ";
}

// What the language's rules know of a method beyond the panel's.
void WriteLanguageFacts(const MethodInfo& method, JsonWriter& out) {
  out << ", \"kind\": " << (method.kind == MethodKind::kFunction ? "\"function\"" : "\"procedure\"")
      << ", \"export\": " << (method.exported ? "true" : "false") << ", \"async\": " << (method.async ? "true" : "false");
}

// Calls made from the module body, which belong to no method.
void WriteBodyCalls(const ModuleAnalysis& module, JsonWriter& out) {
  out << ", \"bodyCalls\": [";
  bool first = true;
  for (const MethodCall& call : module.body_calls) {
    if (!first) out << ", ";
    first = false;
    out << "{\"target\": " << call.callee << ", \"line\": " << call.line << "}";
  }
  out << "]";
}

}  // namespace

void WriteJsonMethods(const ModuleAnalysis& module, JsonWriter& out) {
  for (int32_t m = 0; m < module.MethodCount(); ++m) {
    const MethodInfo& method = module.methods[static_cast<size_t>(m)];
    if (m > 0) out << ", ";
    WriteMethodHead(m, method.name, method.header_line, out);
    out << method.end_line;
    if (module.rules == RuleSet::kLanguage) WriteLanguageFacts(method, out);
    out << ", \"calls\": ";
    WriteCallList(module, m, out);
    out << ", \"callers\": ";
    WriteCallerList(module, m, out);
    out << "}";
  }
}

namespace {

void WriteNode(const NodeStore& nodes, int32_t node, JsonWriter& out) {
  out << "{\"name\": ";
  out.String(nodes.Text(node)) << ", \"children\": [";
  bool first = true;
  for (int32_t child = nodes.FirstChild(node); child != NodeStore::kNoNode; child = nodes.NextSibling(child)) {
    if (!first) out << ", ";
    first = false;
    WriteNode(nodes, child, out);
  }
  out << "]}";
}

void WriteTopLevel(const NodeStore& nodes, JsonWriter& out) {
  for (int32_t node = 1; node <= nodes.Count() && nodes.Parent(node) == NodeStore::kNoNode; ++node) {
    if (node > 1) out << ", ";
    WriteNode(nodes, node, out);
  }
}

void WriteError(const ModuleRun& result, const Status& analysis, JsonWriter& out) {
  const std::optional<AnalysisError>& error = result.analysis.error;
  if (error && error->kind == AnalysisError::Kind::kDuplicateMethod) {
    out << ", \"error\": {\"kind\": \"duplicate-method\", \"name\": ";
    out.String(error->name) << ", \"line\": " << error->line << "}";
    return;
  }
  out << ", \"error\": {\"kind\": \"analysis-failed\", \"message\": ";
  out.String(Utf8ToUtf16(analysis.message())) << "}";
}

}  // namespace

void WriteJson(const ModuleRun& result, const Status& analysis, bool include_tree, std::ostream& stream) {
  JsonWriter out(stream);
  bool analysed = analysis.ok();
  out << "{\"lineCount\": " << result.analysis.line_count;
  const bool language = result.analysis.rules == RuleSet::kLanguage;
  if (language) out << ", \"rules\": \"language\"";
  out << ", \"methods\": [";
  WriteJsonMethods(result.analysis, out);
  out << "]";
  if (language) WriteBodyCalls(result.analysis, out);
  bool has_tree = analysed && result.tree_count;
  int32_t node_count = has_tree ? result.tree_count->nodes : 0;
  out << ", \"nodeCount\": " << node_count << ", \"tree\": [";
  if (has_tree && include_tree && result.tree_built) WriteTopLevel(result.tree.nodes, out);
  out << "], \"truncated\": " << (has_tree && result.tree_count->truncated ? "true" : "false");
  if (!analysis.ok()) WriteError(result, analysis, out);
  out << "}\n";
}

}  // namespace ramulet
