#include "config/resolver.h"

#include <algorithm>
#include <atomic>
#include <numeric>
#include <span>

#include "config/configuration.h"
#include "config/resolve_module.h"
#include "config/resolve_tables.h"
#include "config/resolve_texts.h"
#include "platform/parallel.h"

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

// The references of a run of modules, resolved by one thread with texts of
// its own.
struct ResolvedPart {
  size_t begin = 0, end = 0;  // modules
  std::vector<Edge> edges;
  std::vector<Unresolved> unresolved;
  ResolveTexts texts;
};

void ResolvePart(const Configuration& configuration, const ResolveTables& tables, const NamedOrder& named,
                 ResolvedPart& part) {
  ModuleResolver resolver(configuration, tables, part.texts);
  for (size_t m = part.begin; m < part.end; ++m) {
    const auto module = static_cast<int32_t>(m);
    resolver.ResolveModule(module, part.edges, part.unresolved);
    for (uint32_t k = named.module_begin[m]; k < named.module_begin[m + 1]; ++k) {
      resolver.ResolveNamedCaller(named.of_module[k], module, part.edges, part.unresolved);
    }
  }
}

}  // namespace

void ResolveReferences(const Configuration& configuration, CallGraph& graph) {
  graph = CallGraph();
  const ResolveTables tables(configuration);
  const NamedOrder named = OrderNamedCallers(configuration);
  // Modules are independent of each other here: runs of them are resolved
  // on every core, then joined in module order.
  const size_t modules = configuration.modules.size();
  const unsigned threads = ThreadsFor(modules / 64 + 1);
  std::vector<ResolvedPart> parts(threads);
  for (unsigned t = 0; t < threads; ++t) {
    parts[t].begin = modules * t / threads;
    parts[t].end = modules * (t + 1) / threads;
  }
  std::atomic<unsigned> next{0};
  RunOnThreads(threads, [&] {
    for (unsigned t; (t = next.fetch_add(1)) < threads;) ResolvePart(configuration, tables, named, parts[t]);
  });
  size_t edge_count = 0, unresolved_count = 0;
  for (const ResolvedPart& part : parts) edge_count += part.edges.size(), unresolved_count += part.unresolved.size();
  graph.edges.reserve(edge_count);
  graph.unresolved.reserve(unresolved_count);
  for (ResolvedPart& part : parts) {
    const size_t edges_from = graph.edges.size(), unresolved_from = graph.unresolved.size();
    graph.edges.insert(graph.edges.end(), part.edges.begin(), part.edges.end());
    graph.unresolved.insert(graph.unresolved.end(), part.unresolved.begin(), part.unresolved.end());
    part.texts.Flush(graph, std::span<Edge>(graph.edges).subspan(edges_from),
                     std::span<Unresolved>(graph.unresolved).subspan(unresolved_from));
  }
  // Callers that are no module come last.
  ResolveTexts texts;
  ModuleResolver resolver(configuration, tables, texts);
  const size_t edges_from = graph.edges.size(), unresolved_from = graph.unresolved.size();
  for (int32_t index : named.no_module) resolver.ResolveNamedCaller(index, kNone, graph.edges, graph.unresolved);
  texts.Flush(graph, std::span<Edge>(graph.edges).subspan(edges_from),
              std::span<Unresolved>(graph.unresolved).subspan(unresolved_from));
  graph.IndexCallees(configuration.modules.size());
}

}  // namespace ramulet
