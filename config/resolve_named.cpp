// Callers named outside the code: metadata (scheduled jobs, event
// subscriptions, form events and commands) and old-platform dialog formulas.
#include "config/configuration.h"
#include "config/resolve_module.h"

namespace ramulet {

void ModuleResolver::ResolveNamedCaller(int32_t index, int32_t caller_module, std::vector<Edge>& edges,
                                        std::vector<Unresolved>& unresolved) {
  const NamedCaller& caller = configuration_.named_callers[static_cast<size_t>(index)];
  const CallSite from{caller_module, kNone, index, caller.line, caller.column};
  const std::u16string method_name = FoldUtf8(caller.method);
  const int32_t target = configuration_.FindModule(caller.target);
  const int32_t method = target >= 0 ? FindMethod(target, method_name) : kNone;
  const int32_t via = texts_.Add(std::string_view(caller.via));
  auto add_edge = [&](int32_t to_module, int32_t to_method, EdgeKind kind) {
    Edge edge;
    edge.from = from;
    edge.to_module = to_module;
    edge.to_method = to_method;
    edge.kind = kind;
    edge.via = via;
    edges.push_back(edge);
  };
  if (caller.kind == NamedCaller::Kind::kDialog) {
    // A bare call of the form's module: its own method, else a global
    // module's export, else a built-in function.
    if (method >= 0) {
      add_edge(target, method, EdgeKind::kDialog);
      return;
    }
    for (const MethodRef& global : tables_.GlobalExports(method_name)) add_edge(global.module, global.method, EdgeKind::kDialog);
    return;
  }
  // A form's events and commands reach any method of its module; scheduled
  // jobs and subscriptions only exported ones.
  const bool any_method = caller_module >= 0;
  if (method >= 0 && (any_method || configuration_.modules[static_cast<size_t>(target)]
                                        .analysis.methods[static_cast<size_t>(method)]
                                        .exported)) {
    add_edge(target, method, EdgeKind::kMetadata);
    return;
  }
  Unresolved entry;
  entry.from = from;
  entry.kind = UnresolvedKind::kMissingHandler;
  entry.text = texts_.Add(caller_module >= 0 && caller_module == target ? caller.method : caller.target + "." + caller.method);
  unresolved.push_back(entry);
}

}  // namespace ramulet
