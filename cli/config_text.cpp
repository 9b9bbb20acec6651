#include <string>
#include <string_view>

#include "cli/config_output.h"
#include "cli/location.h"
#include "cli/method_report.h"
#include "cli/tree_output.h"
#include "platform/text.h"
#include "tree/call_tree.h"

namespace ramulet {

namespace {

const ConfigModule& ModuleAt(const Configuration& configuration, int32_t m) {
  return configuration.modules[static_cast<size_t>(m)];
}

// "Module.Method", "Module" for its body, or a caller that is no module.
std::string QualifiedName(const Configuration& configuration, int32_t module, int32_t method, int32_t named_caller) {
  if (module < 0) {
    return named_caller >= 0 ? configuration.named_callers[static_cast<size_t>(named_caller)].caller : std::string();
  }
  const ConfigModule& owner = ModuleAt(configuration, module);
  if (method < 0) return owner.name;
  return owner.name + "." + Utf16ToUtf8(owner.analysis.methods[static_cast<size_t>(method)].name);
}

// Where a reference stands: its module's path, or the file naming a caller
// that is no module.
std::string SitePath(const Configuration& configuration, const CallSite& site) {
  if (site.named_caller >= 0) return configuration.named_callers[static_cast<size_t>(site.named_caller)].path;
  return site.module >= 0 ? ModuleAt(configuration, site.module).path : std::string();
}

std::string CalleeName(const Configuration& configuration, const Edge& edge) {
  if (edge.to_module < 0) return std::string(configuration.graph.Text(edge.target));
  if (edge.to_method < 0) {
    return ModuleAt(configuration, edge.to_module).name + "." + std::string(configuration.graph.Text(edge.target));
  }
  return QualifiedName(configuration, edge.to_module, edge.to_method, kNone);
}

bool IsCallOf(const Edge& edge, int32_t method) { return edge.from.named_caller == kNone && edge.from.method == method; }

void WriteCallsOut(const Configuration& configuration, int32_t module, int32_t method, bool other_modules_only,
                   std::ostream& out) {
  bool any = false;
  for (const Edge& edge : configuration.graph.EdgesFrom(module)) {
    if (!IsCallOf(edge, method) || (other_modules_only && edge.kind == EdgeKind::kInModule)) continue;
    if (!any) out << (other_modules_only ? "  calls into other modules:\n" : "  calls:\n");
    any = true;
    out << "    " << Location(ModuleAt(configuration, module).path, edge.from.line) << ": "
        << CalleeName(configuration, edge) << " (" << EdgeKindName(edge.kind) << ")\n";
  }
  if (!any && !other_modules_only) out << "  calls: none\n";
}

void WriteCallersIn(const Configuration& configuration, int32_t module, int32_t method, bool other_modules_only,
                    std::ostream& out) {
  bool any = false;
  for (int32_t index : configuration.graph.EdgesTo(module, method)) {
    const Edge& edge = configuration.graph.edges[static_cast<size_t>(index)];
    if (other_modules_only && edge.from.module == module && edge.from.named_caller == kNone) continue;
    if (!any) out << (other_modules_only ? "  callers from other modules:\n" : "  callers:\n");
    any = true;
    out << "    " << Location(SitePath(configuration, edge.from), edge.from.line) << ": "
        << QualifiedName(configuration, edge.from.module, edge.from.method, edge.from.named_caller) << " ("
        << EdgeKindName(edge.kind) << ")\n";
  }
  if (!any && !other_modules_only) out << "  callers: none\n";
}

void WriteModuleError(const ConfigModule& module, std::ostream& out) {
  const std::optional<AnalysisError>& error = module.analysis.error;
  if (error && error->kind == AnalysisError::Kind::kDuplicateMethod && error->line >= 0) {
    out << Location(module.path, error->line) << ": error: duplicate method '" << Utf16ToUtf8(error->name) << "'\n";
    return;
  }
  out << module.path << ": error: " << module.error.message() << '\n';
}

void WriteModuleTree(const ConfigModule& module, std::ostream& out) {
  CallTree tree;
  if (!BuildCallTree(module.analysis, tree).ok() || tree.nodes.Count() == 0) return;
  out << "\nCall tree:\n";
  (void)WriteTree(tree, TreeOutputOptions(), out);
}

void WriteModule(const Configuration& configuration, int32_t m, bool with_tree, std::ostream& out) {
  const ConfigModule& module = ModuleAt(configuration, m);
  out << "== " << module.name << " (" << module.path << ", " << module.kind << (module.global ? ", global" : "")
      << ") ==\n";
  if (!module.error.ok()) WriteModuleError(module, out);
  if (module.analysis.MethodCount() == 0) {
    out << module.path << (module.external_text ? ": external text, no procedures or functions\n"
                                                : ": no procedures or functions found\n");
    return;
  }
  for (int32_t method = 0; method < module.analysis.MethodCount(); ++method) {
    if (method > 0) out << '\n';
    WriteMethodBlock(module.analysis, method, module.path, out);
    WriteCallsOut(configuration, m, method, true, out);
    WriteCallersIn(configuration, m, method, true, out);
  }
  if (with_tree && module.error.ok()) WriteModuleTree(module, out);
}

}  // namespace

void WriteConfigText(const Configuration& configuration, bool with_tree, std::ostream& out) {
  out << "Configuration " << configuration.root << " (" << LayoutName(configuration.layout) << "): "
      << configuration.modules.size() << " modules\n";
  for (size_t m = 0; m < configuration.modules.size(); ++m) {
    out << '\n';
    WriteModule(configuration, static_cast<int32_t>(m), with_tree, out);
  }
}

void WriteConfigMethod(const Configuration& configuration, int32_t module, int32_t method, std::ostream& out) {
  const ConfigModule& owner = ModuleAt(configuration, module);
  out << Location(owner.path, owner.analysis.methods[static_cast<size_t>(method)].header_line) << ": "
      << QualifiedName(configuration, module, method, kNone) << '\n';
  WriteCallsOut(configuration, module, method, false, out);
  WriteCallersIn(configuration, module, method, false, out);
}

std::optional<MethodPlace> FindQualifiedMethod(const Configuration& configuration, const std::string& qualified) {
  const size_t dot = qualified.rfind('.');
  if (dot == std::string::npos || dot == 0) return std::nullopt;
  const int32_t module = configuration.FindModule(std::string_view(qualified).substr(0, dot));
  if (module < 0) return std::nullopt;
  const int32_t method = ModuleAt(configuration, module).analysis.Find(Utf8ToUtf16(qualified.substr(dot + 1)));
  if (method < 0) return std::nullopt;
  return MethodPlace{module, method};
}

}  // namespace ramulet
