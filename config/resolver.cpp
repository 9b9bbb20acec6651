#include "config/resolver.h"

#include <algorithm>
#include <numeric>

#include "config/configuration.h"
#include "config/resolve_module.h"
#include "config/resolve_tables.h"
#include "config/resolve_texts.h"

namespace ramulet {

namespace {

// Named callers grouped by the module they are named like, in their order;
// those that are no module apart, by name.
struct NamedOrder {
  std::vector<int32_t> of_module;      // caller indices, grouped by module
  std::vector<uint32_t> module_begin;  // module i's: of_module[begin[i], begin[i + 1])
  std::vector<int32_t> no_module;
};

NamedOrder OrderNamedCallers(const Configuration& configuration) {
  const size_t count = configuration.named_callers.size();
  std::vector<int32_t> module_of(count);
  NamedOrder order;
  order.module_begin.assign(configuration.modules.size() + 1, 0);
  for (size_t i = 0; i < count; ++i) {
    module_of[i] = configuration.FindModule(configuration.named_callers[i].caller);
    if (module_of[i] >= 0) {
      ++order.module_begin[static_cast<size_t>(module_of[i]) + 1];
    } else {
      order.no_module.push_back(static_cast<int32_t>(i));
    }
  }
  std::partial_sum(order.module_begin.begin(), order.module_begin.end(), order.module_begin.begin());
  order.of_module.resize(order.module_begin.back());
  std::vector<uint32_t> next(order.module_begin.begin(), order.module_begin.end() - 1);
  for (size_t i = 0; i < count; ++i) {
    if (module_of[i] >= 0) order.of_module[next[static_cast<size_t>(module_of[i])]++] = static_cast<int32_t>(i);
  }
  std::stable_sort(order.no_module.begin(), order.no_module.end(), [&](int32_t a, int32_t b) {
    return configuration.named_callers[static_cast<size_t>(a)].caller <
           configuration.named_callers[static_cast<size_t>(b)].caller;
  });
  return order;
}

}  // namespace

void ResolveReferences(const Configuration& configuration, CallGraph& graph) {
  graph = CallGraph();
  const ResolveTables tables(configuration);
  ResolveTexts texts;
  ModuleResolver resolver(configuration, tables, texts);
  const NamedOrder named = OrderNamedCallers(configuration);
  for (size_t m = 0; m < configuration.modules.size(); ++m) {
    const auto module = static_cast<int32_t>(m);
    resolver.ResolveModule(module, graph.edges, graph.unresolved);
    for (uint32_t k = named.module_begin[m]; k < named.module_begin[m + 1]; ++k)
      resolver.ResolveNamedCaller(named.of_module[k], module, graph.edges, graph.unresolved);
  }
  for (int32_t index : named.no_module) resolver.ResolveNamedCaller(index, kNone, graph.edges, graph.unresolved);
  texts.Flush(graph);
  graph.IndexCallees(configuration.modules.size());
}

}  // namespace ramulet
