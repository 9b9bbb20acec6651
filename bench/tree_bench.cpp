// Build time of the call tree on generated method tables.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

#include "analysis/method_tables.h"
#include "tree/call_tree.h"
#include "tree/tree_count.h"

namespace ramulet {
namespace {

MethodTables TablesOf(int32_t methods) {
  MethodTables tables;
  tables.analyzed = true;
  tables.LastMeth = methods - 1;
  tables.Calls.resize(methods);
  tables.Callers.resize(methods);
  for (int32_t m = 0; m < methods; ++m) {
    std::string name = "Method" + std::to_string(m);
    tables.MethName.emplace_back(name.begin(), name.end());
  }
  return tables;
}

void AddCall(MethodTables& tables, int32_t caller, int32_t callee) {
  tables.Calls[caller].push_back(CallRef{callee, 0});
  tables.Callers[callee].push_back(caller);
}

// Every method calls every method, itself included (those references are
// cut): 11 methods give 8.7 million nodes.
MethodTables DenseTables(int32_t methods) {
  MethodTables tables = TablesOf(methods);
  for (int32_t m = 0; m < methods; ++m) {
    for (int32_t callee = 0; callee < methods; ++callee) AddCall(tables, m, callee);
  }
  return tables;
}

// A module as written by people: each method makes 0-4 calls, most of them
// to helpers further down, some anywhere.
MethodTables SparseTables(int32_t methods, uint32_t seed) {
  MethodTables tables = TablesOf(methods);
  std::mt19937 random(seed);
  std::uniform_int_distribution<int32_t> calls(0, 4);
  std::uniform_int_distribution<int32_t> percent(0, 99);
  std::uniform_int_distribution<int32_t> anywhere(0, methods - 1);
  for (int32_t m = 0; m < methods; ++m) {
    for (int32_t k = calls(random); k > 0; --k) {
      int32_t later = m + 1 + std::uniform_int_distribution<int32_t>(0, 40)(random);
      AddCall(tables, m, percent(random) < 85 && later < methods ? later : anywhere(random));
    }
  }
  return tables;
}

// Every method makes `calls` references to methods drawn at random.
MethodTables RandomTables(int32_t methods, int32_t calls, uint32_t seed) {
  MethodTables tables = TablesOf(methods);
  std::mt19937 random(seed);
  std::uniform_int_distribution<int32_t> anywhere(0, methods - 1);
  for (int32_t m = 0; m < methods; ++m) {
    for (int32_t k = 0; k < calls; ++k) AddCall(tables, m, anywhere(random));
  }
  return tables;
}

// `fresh`: every build into a new tree, which has to fault in all of its
// memory; otherwise the same tree is rebuilt in place, as a refresh does.
void RunBuild(benchmark::State& state, MethodTables& tables, bool fresh) {
  auto tree = std::make_unique<CallTree>();
  for (auto _ : state) {
    if (fresh) {
      state.PauseTiming();
      tree = std::make_unique<CallTree>();
      state.ResumeTiming();
    }
    Status status = BuildCallTree(tables, *tree);
    if (!status.ok()) state.SkipWithError(status.message().c_str());
    benchmark::DoNotOptimize(tree->nodes.Count());
  }
  const int32_t nodes = tree->nodes.Count();
  state.SetItemsProcessed(state.iterations() * int64_t{nodes});
  state.counters["nodes"] = nodes;
  state.counters["bytes_per_node"] = nodes ? static_cast<double>(tree->nodes.MemoryBytes()) / nodes : 0.0;
  state.counters["truncated"] = tree->truncated ? 1 : 0;
}

void BM_DenseTree(benchmark::State& state) {
  MethodTables tables = DenseTables(11);
  RunBuild(state, tables, state.range(0) != 0);
}
BENCHMARK(BM_DenseTree)->ArgName("fresh")->Arg(1)->Arg(0)->MinTime(3)->Unit(benchmark::kMillisecond);

void BM_SparseModule(benchmark::State& state) {
  MethodTables tables = SparseTables(1000, 20261207);
  RunBuild(state, tables, state.range(0) != 0);
}
BENCHMARK(BM_SparseModule)->ArgName("fresh")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// 300 methods with five references each would need far more nodes than the
// ceiling: the build stops there.
void BM_CeilingReached(benchmark::State& state) {
  MethodTables tables = RandomTables(300, 5, 42);
  RunBuild(state, tables, true);
}
BENCHMARK(BM_CeilingReached)->Unit(benchmark::kMillisecond);

// The counting pass on the same tables as the builds above: it must cost no
// more than building the tree (the command line counts for --no-tree).
void RunCount(benchmark::State& state, const MethodTables& tables) {
  TreeCount count;
  for (auto _ : state) {
    Status status = CountCallTree(tables, count);
    if (!status.ok()) state.SkipWithError(status.message().c_str());
    benchmark::DoNotOptimize(count.nodes);
  }
  state.SetItemsProcessed(state.iterations() * int64_t{count.nodes});
  state.counters["nodes"] = count.nodes;
  state.counters["truncated"] = count.truncated ? 1 : 0;
}

void BM_CountDenseTree(benchmark::State& state) { RunCount(state, DenseTables(11)); }
BENCHMARK(BM_CountDenseTree)->Unit(benchmark::kMillisecond);

void BM_CountSparseModule(benchmark::State& state) { RunCount(state, SparseTables(1000, 20261207)); }
BENCHMARK(BM_CountSparseModule)->Unit(benchmark::kMillisecond);

void BM_CountCeilingReached(benchmark::State& state) { RunCount(state, RandomTables(300, 5, 42)); }
BENCHMARK(BM_CountCeilingReached)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ramulet
