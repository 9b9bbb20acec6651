#include "lsp/cross_common.h"

#include "lsp/features.h"
#include "lsp/reference_lookup.h"

namespace ramulet::lsp {

const MethodInfo& MethodOf(const Configuration& configuration, int32_t module, int32_t method) {
  return configuration.modules[static_cast<size_t>(module)].analysis.methods[static_cast<size_t>(method)];
}

bool ValidMethod(const Configuration& configuration, int32_t module, int32_t method) {
  return module >= 0 && static_cast<size_t>(module) < configuration.modules.size() && method >= 0 &&
         method < configuration.modules[static_cast<size_t>(module)].analysis.MethodCount();
}

int MethodSymbolKind(const MethodInfo& method) {
  return method.kind == MethodKind::kFunction ? kSymbolKindFunction : kSymbolKindMethod;
}

Json HeaderNameRange(const MethodInfo& method) {
  return RangeJson(method.header_line, method.name_column, method.header_line,
                   method.name_column + static_cast<int64_t>(method.name.size()));
}

Json WholeRange(const MethodInfo& method) { return RangeJson(method.header_line, 0, method.end_line + 1, 0); }

Json MethodLocation(const ConfigView& view, int32_t module, int32_t method) {
  return LocationJson(view.ModuleUri(module), HeaderNameRange(MethodOf(*view.configuration, module, method)));
}

std::string EdgeUri(const ConfigView& view, const Edge& edge) {
  if (edge.from.named_caller != kNone) {
    return view.FileUri(view.configuration->named_callers[static_cast<size_t>(edge.from.named_caller)].path);
  }
  return view.ModuleUri(edge.from.module);
}

Json EdgeRange(const Configuration& configuration, const Edge& edge) {
  int64_t length = CallSiteLength(configuration, edge);
  if (edge.from.named_caller != kNone) {
    length = static_cast<int64_t>(
        ToUtf16(configuration.named_callers[static_cast<size_t>(edge.from.named_caller)].method).size());
  }
  return RangeJson(edge.from.line, edge.from.column, edge.from.line, edge.from.column + length);
}

Json EdgeLocation(const ConfigView& view, const Edge& edge) {
  return LocationJson(EdgeUri(view, edge), EdgeRange(*view.configuration, edge));
}

}  // namespace ramulet::lsp
