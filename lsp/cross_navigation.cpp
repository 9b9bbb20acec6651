// Definition, references and hover across the modules of a configuration.
#include "lsp/cross_common.h"
#include "lsp/cross_module.h"
#include "lsp/features.h"
#include "lsp/reference_lookup.h"

namespace ramulet::lsp {

namespace {

// The methods named at the position (two for a bare call that two global
// modules export); unresolved call sites name none.
std::vector<PositionTarget> MethodsAt(const ConfigView& view, int32_t module, const TextPosition& position) {
  std::vector<PositionTarget> targets = TargetsAt(*view.configuration, module, position);
  std::erase_if(targets, [](const PositionTarget& target) { return target.method < 0 || target.module < 0; });
  return targets;
}

struct CallerCounts {
  size_t in_module = 0;
  size_t other_modules = 0;
  size_t named = 0;
};

CallerCounts CountCallers(const Configuration& configuration, int32_t module, int32_t method) {
  CallerCounts counts;
  for (int32_t index : configuration.graph.EdgesTo(module, method)) {
    const Edge& edge = configuration.graph.edges[static_cast<size_t>(index)];
    if (edge.from.named_caller != kNone) {
      ++counts.named;
    } else if (edge.from.module == module) {
      ++counts.in_module;
    } else {
      ++counts.other_modules;
    }
  }
  return counts;
}

}  // namespace

Json CrossDefinition(const ConfigView& view, int32_t module, const TextPosition& position) {
  std::vector<PositionTarget> targets = MethodsAt(view, module, position);
  if (targets.empty()) return nullptr;
  if (targets.size() == 1) return MethodLocation(view, targets[0].module, targets[0].method);
  Json locations = Json::array();
  for (const PositionTarget& target : targets) locations.push_back(MethodLocation(view, target.module, target.method));
  return locations;
}

Json CrossReferences(const ConfigView& view, int32_t module, const TextPosition& position, bool include_declaration) {
  std::vector<PositionTarget> targets = MethodsAt(view, module, position);
  if (targets.empty()) return nullptr;
  const CallGraph& graph = view.configuration->graph;
  Json locations = Json::array();
  for (const PositionTarget& target : targets) {
    if (include_declaration) locations.push_back(MethodLocation(view, target.module, target.method));
    for (int32_t index : graph.EdgesTo(target.module, target.method)) {
      locations.push_back(EdgeLocation(view, graph.edges[static_cast<size_t>(index)]));
    }
  }
  return locations;
}

Json CrossHover(const ConfigView& view, int32_t module, const TextPosition& position) {
  std::vector<PositionTarget> targets = MethodsAt(view, module, position);
  if (targets.empty()) return nullptr;
  const Configuration& configuration = *view.configuration;
  std::string text;
  for (const PositionTarget& target : targets) {
    const ConfigModule& owner = configuration.modules[static_cast<size_t>(target.module)];
    const MethodInfo& method = MethodOf(configuration, target.module, target.method);
    const CallerCounts counts = CountCallers(configuration, target.module, target.method);
    if (!text.empty()) text += "\n\n---\n\n";
    text += "```\n";
    text += method.kind == MethodKind::kFunction ? "Функция " : "Процедура ";
    text += ToUtf8(method.name);
    if (method.exported) text += " Экспорт";
    size_t calls = 0;
    for (const Edge& edge : configuration.graph.EdgesFrom(target.module)) {
      calls += edge.from.named_caller == kNone && edge.from.method == target.method && edge.to_method >= 0 ? 1 : 0;
    }
    // The first figures read as a single module's hover reads them.
    text += "\n```\n\n" + owner.name + " (" + owner.kind + ")\n\ncalls " + std::to_string(calls) + " / called from " +
            std::to_string(counts.in_module) + " in the module, " + std::to_string(counts.other_modules) +
            " from other modules";
    if (counts.named > 0) text += ", " + std::to_string(counts.named) + " by metadata or dialogs";
  }
  return Json{{"contents", Json{{"kind", "markdown"}, {"value", text}}}};
}

}  // namespace ramulet::lsp
