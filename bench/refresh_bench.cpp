// Speed and memory of the refresh on generated modules: the analysis
// alone, and the whole refresh without and with the call tree.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <ctime>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "analysis/module_analysis.h"
#include "analysis/module_analyzer.h"
#include "bench/support/module_generator.h"
#include "host/host_configurator.h"
#include "panel/panel_tree.h"
#include "panel/refresh.h"
#include "platform/text.h"
#include "tests/support/memory_host.h"
#include "textio/text_lines.h"
#include "tree/call_tree.h"

// Every allocation of this program goes through here, so that a benchmark
// can read the most memory held at once. Each block carries its size in a
// header as wide as the strictest fundamental alignment.
namespace {

constexpr size_t kHeader = alignof(std::max_align_t);
std::atomic<size_t> g_live_bytes{0};
std::atomic<size_t> g_peak_bytes{0};

void* CountedAllocate(size_t size) {
  void* block = std::malloc(size + kHeader);
  if (block == nullptr) throw std::bad_alloc();
  *static_cast<size_t*>(block) = size;
  size_t live = g_live_bytes.fetch_add(size, std::memory_order_relaxed) + size;
  size_t peak = g_peak_bytes.load(std::memory_order_relaxed);
  while (live > peak && !g_peak_bytes.compare_exchange_weak(peak, live, std::memory_order_relaxed)) {
  }
  return static_cast<char*>(block) + kHeader;
}

void CountedFree(void* pointer) noexcept {
  if (pointer == nullptr) return;
  void* block = static_cast<char*>(pointer) - kHeader;
  g_live_bytes.fetch_sub(*static_cast<size_t*>(block), std::memory_order_relaxed);
  std::free(block);
}

}  // namespace

void* operator new(size_t size) { return CountedAllocate(size); }
void* operator new[](size_t size) { return CountedAllocate(size); }
void operator delete(void* pointer) noexcept { CountedFree(pointer); }
void operator delete[](void* pointer) noexcept { CountedFree(pointer); }
void operator delete(void* pointer, size_t) noexcept { CountedFree(pointer); }
void operator delete[](void* pointer, size_t) noexcept { CountedFree(pointer); }

namespace ramulet {
namespace {

class DiscardingMethodList : public MethodList {
 public:
  Status Clear() override { return Status::Ok(); }
  Status Append(std::u16string_view) override { return Status::Ok(); }
};

class YesMessageBoxes : public MessageBoxes {
 public:
  Answer Show(std::u16string_view, std::optional<std::u16string_view>, Buttons buttons, Icon) override {
    return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
  }
};

int64_t FileBytes(const std::vector<std::u16string>& lines);

// Installs a generated module as the active text module; `file_bytes` is
// its size as a UTF-8 file.
bool InstallModule(benchmark::State& state, const ModuleShape& shape, int64_t* file_bytes = nullptr) {
  std::vector<std::u16string> lines;
  Status generated = GenerateModule(shape, lines);
  if (!generated.ok()) {
    state.SkipWithError(generated.message().c_str());
    return false;
  }
  if (file_bytes) *file_bytes = FileBytes(lines);
  HostConfigurator::Set(MakeMemoryHost(std::make_shared<MemoryTextModule>(std::move(lines))));
  return true;
}

// One refresh with `analyzer` (made once, as the panel makes it); returns
// the bytes it held at its peak beyond what was live before it, and skips
// the benchmark with the refresh's error.
size_t RefreshOnce(benchmark::State& state, const ModuleAnalyzer& analyzer, const TreeStep& tree_step,
                   ModuleAnalysis& analysis, MethodTables& tables) {
  DiscardingMethodList modul;
  YesMessageBoxes boxes;
  size_t before = g_live_bytes.load();
  g_peak_bytes.store(before);
  RefreshReport report;
  Status status = Refresh(analyzer, analysis, tables, modul, boxes, tree_step, &report);
  if (!status.ok() || report.outcome != RefreshReport::Outcome::Completed) {
    state.SkipWithError(("refresh failed: " + status.message()).c_str());
  }
  return g_peak_bytes.load() - before;
}

// Processor time spent in the refreshes of one benchmark (the machine may
// be shared, which stretches wall-clock time but not this).
class RefreshClock {
 public:
  template <class Step>
  auto Time(Step step) {
    std::clock_t start = std::clock();
    auto result = step();
    total_ += std::clock() - start;
    return result;
  }
  double Nanoseconds() const { return 1e9 * static_cast<double>(total_) / CLOCKS_PER_SEC; }

 private:
  std::clock_t total_ = 0;
};

void ReportPerLine(benchmark::State& state, const RefreshClock& clock, int32_t lines, size_t peak_bytes) {
  double refreshed_lines = static_cast<double>(state.iterations()) * lines;
  state.counters["ns_per_line"] = refreshed_lines > 0 ? clock.Nanoseconds() / refreshed_lines : 0;
  state.counters["peak_MiB"] = static_cast<double>(peak_bytes) / (1024.0 * 1024.0);
}

// The module's size as a UTF-8 file with CRLF line ends.
int64_t FileBytes(const std::vector<std::u16string>& lines) {
  int64_t bytes = 0;
  for (const std::u16string& line : lines) bytes += static_cast<int64_t>(Utf16ToUtf8(line).size()) + 2;
  return bytes;
}

// The analysis alone (ModuleAnalyzer::Analyze: headers, end lines and
// calls) on text held in memory, as the command line runs it: no host, no
// question, no list, no tables. The analyzer is made once, outside the
// timing. Reports ns per line and, as bytes_per_second, the module's UTF-8
// bytes.
void BM_LineAnalysis(benchmark::State& state) {
  ModuleShape shape;
  shape.lines = static_cast<int32_t>(state.range(0));
  shape.methods = static_cast<int32_t>(state.range(1));
  std::vector<std::u16string> generated;
  Status made = GenerateModule(shape, generated);
  if (!made.ok()) {
    state.SkipWithError(made.message().c_str());
    return;
  }
  TextLines lines = TextLines::FromLines(generated);
  const ModuleAnalyzer analyzer;
  size_t peak = 0;
  RefreshClock clock;
  for (auto _ : state) {
    ModuleAnalysis analysis;
    size_t before = g_live_bytes.load();
    g_peak_bytes.store(before);
    Status status = clock.Time([&] { return analyzer.Analyze(lines, analysis); });
    if (!status.ok()) state.SkipWithError(status.message().c_str());
    peak = std::max(peak, g_peak_bytes.load() - before);
    benchmark::DoNotOptimize(analysis);
  }
  state.SetBytesProcessed(state.iterations() * FileBytes(generated));
  ReportPerLine(state, clock, shape.lines, peak);
}
BENCHMARK(BM_LineAnalysis)->Args({10000, 300})->Args({100000, 3000})->Unit(benchmark::kMillisecond);

// The refresh through the in-memory host: finding the document, the
// analysis and the tables; the tree step does nothing.
void BM_ScanAndAnalyze(benchmark::State& state) {
  ModuleShape shape;
  shape.lines = static_cast<int32_t>(state.range(0));
  shape.methods = static_cast<int32_t>(state.range(1));
  int64_t file_bytes = 0;
  if (!InstallModule(state, shape, &file_bytes)) return;
  TreeStep no_tree = [](const ModuleAnalysis&, MethodTables&) { return Status::Ok(); };
  const ModuleAnalyzer analyzer;
  size_t peak = 0;
  int64_t calls = 0;
  RefreshClock clock;
  for (auto _ : state) {
    ModuleAnalysis analysis;
    MethodTables tables;
    peak = std::max(peak, clock.Time([&] { return RefreshOnce(state, analyzer, no_tree, analysis, tables); }));
    calls = 0;
    for (int32_t m = 0; m < tables.MethodCount(); ++m) calls += tables.CallCount(m);
    benchmark::DoNotOptimize(tables);
  }
  state.counters["calls"] = static_cast<double>(calls);
  state.SetBytesProcessed(state.iterations() * file_bytes);
  ReportPerLine(state, clock, shape.lines, peak);
  HostConfigurator::Clear();
}
BENCHMARK(BM_ScanAndAnalyze)->Args({10000, 300})->Args({100000, 3000})->Unit(benchmark::kMillisecond);

// The whole refresh with the call tree, on a sparse call graph.
void BM_RefreshWithTree(benchmark::State& state) {
  ModuleShape shape;
  shape.methods = static_cast<int32_t>(state.range(0));
  shape.lines = shape.methods * 20;
  shape.calls_per_method = 1.2;
  if (!InstallModule(state, shape)) return;
  const ModuleAnalyzer analyzer;
  size_t peak = 0;
  int32_t nodes = 0;
  RefreshClock clock;
  for (auto _ : state) {
    ModuleAnalysis analysis;
    MethodTables tables;
    CallTree tree;
    TreeStep build = [&tree](const ModuleAnalysis& a, MethodTables& t) { return BuildPanelTree(a, tree, t); };
    peak = std::max(peak, clock.Time([&] { return RefreshOnce(state, analyzer, build, analysis, tables); }));
    nodes = tree.nodes.Count();
    benchmark::DoNotOptimize(tree);
  }
  state.counters["nodes"] = nodes;
  ReportPerLine(state, clock, shape.lines, peak);
  HostConfigurator::Clear();
}
BENCHMARK(BM_RefreshWithTree)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ramulet
