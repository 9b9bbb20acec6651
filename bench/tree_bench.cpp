// Build time of the call tree on generated module analyses.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "analysis/module_analysis.h"
#include "tree/call_tree.h"
#include "tree/tree_count.h"

namespace ramulet {
namespace {

// The calls of each method, by number of the method called.
using CallLists = std::vector<std::vector<int32_t>>;

// The analysis of methods "Method0", "Method1", ... making `calls`.
ModuleAnalysis AnalysisOf(const CallLists& calls) {
  ModuleAnalysis analysis;
  const auto methods = static_cast<int32_t>(calls.size());
  for (int32_t m = 0; m < methods; ++m) {
    MethodInfo method;
    std::string name = "Method" + std::to_string(m);
    method.name.assign(name.begin(), name.end());
    method.header_line = m;
    method.end_line = m;
    analysis.methods.push_back(std::move(method));
  }
  analysis.IndexNames();
  for (int32_t m = 0; m < methods; ++m) {
    analysis.BeginCallsOf(m);
    for (int32_t callee : calls[m]) analysis.AddCall(MethodCall{callee, m, 0});
  }
  analysis.FinishCalls();
  return analysis;
}

// Every method calls every method, itself included (those references are
// cut): 11 methods give 8.7 million nodes.
ModuleAnalysis DenseModule(int32_t methods) {
  CallLists calls(methods);
  for (int32_t m = 0; m < methods; ++m) {
    for (int32_t callee = 0; callee < methods; ++callee) calls[m].push_back(callee);
  }
  return AnalysisOf(calls);
}

// A module as written by people: each method makes 0-4 calls, most of them
// to helpers further down, some anywhere.
ModuleAnalysis SparseModule(int32_t methods, uint32_t seed) {
  CallLists calls_of(methods);
  std::mt19937 random(seed);
  std::uniform_int_distribution<int32_t> calls(0, 4);
  std::uniform_int_distribution<int32_t> percent(0, 99);
  std::uniform_int_distribution<int32_t> anywhere(0, methods - 1);
  for (int32_t m = 0; m < methods; ++m) {
    for (int32_t k = calls(random); k > 0; --k) {
      int32_t later = m + 1 + std::uniform_int_distribution<int32_t>(0, 40)(random);
      calls_of[m].push_back(percent(random) < 85 && later < methods ? later : anywhere(random));
    }
  }
  return AnalysisOf(calls_of);
}

// Every method makes `calls` references to methods drawn at random.
ModuleAnalysis RandomModule(int32_t methods, int32_t calls, uint32_t seed) {
  CallLists calls_of(methods);
  std::mt19937 random(seed);
  std::uniform_int_distribution<int32_t> anywhere(0, methods - 1);
  for (int32_t m = 0; m < methods; ++m) {
    for (int32_t k = 0; k < calls; ++k) calls_of[m].push_back(anywhere(random));
  }
  return AnalysisOf(calls_of);
}

// `fresh`: every build into a new tree, which has to fault in all of its
// memory; otherwise the same tree is rebuilt in place, as a refresh does.
void RunBuild(benchmark::State& state, const ModuleAnalysis& analysis, bool fresh) {
  auto tree = std::make_unique<CallTree>();
  for (auto _ : state) {
    if (fresh) {
      state.PauseTiming();
      tree = std::make_unique<CallTree>();
      state.ResumeTiming();
    }
    Status status = BuildCallTree(analysis, *tree);
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
  ModuleAnalysis analysis = DenseModule(11);
  RunBuild(state, analysis, state.range(0) != 0);
}
BENCHMARK(BM_DenseTree)->ArgName("fresh")->Arg(1)->Arg(0)->MinTime(3)->Unit(benchmark::kMillisecond);

void BM_SparseModule(benchmark::State& state) {
  ModuleAnalysis analysis = SparseModule(1000, 20261207);
  RunBuild(state, analysis, state.range(0) != 0);
}
BENCHMARK(BM_SparseModule)->ArgName("fresh")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// 300 methods with five references each would need far more nodes than the
// ceiling: the build stops there.
void BM_CeilingReached(benchmark::State& state) {
  ModuleAnalysis analysis = RandomModule(300, 5, 42);
  RunBuild(state, analysis, true);
}
BENCHMARK(BM_CeilingReached)->Unit(benchmark::kMillisecond);

// The counting pass on the same modules as the builds above: it must cost no
// more than building the tree (the command line counts for --no-tree).
void RunCount(benchmark::State& state, const ModuleAnalysis& analysis) {
  TreeCount count;
  for (auto _ : state) {
    Status status = CountCallTree(analysis, count);
    if (!status.ok()) state.SkipWithError(status.message().c_str());
    benchmark::DoNotOptimize(count.nodes);
  }
  state.SetItemsProcessed(state.iterations() * int64_t{count.nodes});
  state.counters["nodes"] = count.nodes;
  state.counters["truncated"] = count.truncated ? 1 : 0;
}

void BM_CountDenseTree(benchmark::State& state) { RunCount(state, DenseModule(11)); }
BENCHMARK(BM_CountDenseTree)->Unit(benchmark::kMillisecond);

void BM_CountSparseModule(benchmark::State& state) { RunCount(state, SparseModule(1000, 20261207)); }
BENCHMARK(BM_CountSparseModule)->Unit(benchmark::kMillisecond);

void BM_CountCeilingReached(benchmark::State& state) { RunCount(state, RandomModule(300, 5, 42)); }
BENCHMARK(BM_CountCeilingReached)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ramulet
