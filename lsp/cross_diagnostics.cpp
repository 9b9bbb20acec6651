// The diagnostics only a whole configuration can give: calls that reach
// into other modules and find nothing callable there, and a duplicate
// method (where the module's analysis stopped).
#include "lsp/cross_common.h"
#include "lsp/cross_module.h"
#include "lsp/reference_lookup.h"

namespace ramulet::lsp {

namespace {

inline constexpr int kSeverityError = 1;
inline constexpr int kSeverityWarning = 2;

Json Diagnostic(const Json& range, int severity, const char* code, const std::string& message) {
  return Json{{"range", range}, {"severity", severity}, {"code", code}, {"source", "ramulet"}, {"message", message}};
}

std::string EdgeMessage(const Configuration& configuration, const Edge& edge) {
  const std::string target(configuration.graph.Text(edge.target));
  switch (edge.kind) {
    case EdgeKind::kInaccessible: {
      const ConfigModule& callee = configuration.modules[static_cast<size_t>(edge.to_module)];
      return "'" + ToUtf8(MethodOf(configuration, edge.to_module, edge.to_method).name) + "' of " + callee.name +
             " is not exported";
    }
    case EdgeKind::kUnknownMember:
      return configuration.modules[static_cast<size_t>(edge.to_module)].name + " has no method '" + target + "'";
    case EdgeKind::kAbsentModule:
      return "no module '" + target + "' in the configuration";
    default:
      return {};
  }
}

const char* EdgeCode(EdgeKind kind) {
  switch (kind) {
    case EdgeKind::kInaccessible:
    case EdgeKind::kUnknownMember:
    case EdgeKind::kAbsentModule:
      return EdgeKindName(kind);
    default:
      return nullptr;
  }
}

}  // namespace

Json CrossDiagnostics(const ConfigView& view, int32_t module) {
  const Configuration& configuration = *view.configuration;
  Json diagnostics = Json::array();
  if (module < 0 || static_cast<size_t>(module) >= configuration.modules.size()) return diagnostics;
  for (const Edge& edge : CodeEdgesOf(configuration, module)) {
    const char* code = EdgeCode(edge.kind);
    if (code == nullptr) continue;
    diagnostics.push_back(
        Diagnostic(EdgeRange(configuration, edge), kSeverityWarning, code, EdgeMessage(configuration, edge)));
  }
  const std::optional<AnalysisError>& error = configuration.modules[static_cast<size_t>(module)].analysis.error;
  if (error && error->kind == AnalysisError::Kind::kDuplicateMethod) {
    const Json range = Range(error->line, error->name_column, error->line,
                             error->name_column + static_cast<int64_t>(error->name.size()));
    std::string message = "'" + ToUtf8(error->name) + "' is declared again";
    if (error->first_line >= 0) message += " (first on line " + std::to_string(error->first_line + 1) + ")";
    diagnostics.push_back(Diagnostic(range, kSeverityError, "duplicate-method", message));
  }
  return diagnostics;
}

}  // namespace ramulet::lsp
