// A whole configuration loaded at once: a generated designer dump of the
// large public library's shape (2,200 modules, 1.1 M lines, about 78 MB)
// and one a tenth of that, each written once to a temporary folder, loaded
// with one analyzer shared by 1 and 2 threads. bytes_per_second counts the
// modules' bytes; modules/s the modules.
//   config_bench [--smoke] [benchmark options]
// --smoke runs on a configuration of 22 modules only (for the test run).
//
// BM_LoadConfiguration times LoadConfiguration whole (layout, reading,
// analysis, facts, resolution). BM_AnalyzeModuleFiles times only reading,
// decoding and analysing every module file on the same threads: the floor
// under the whole load.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "analysis/module_analyzer.h"
#include "config/configuration.h"
#include "tests/support/config_generator.h"
#include "textio/module_text.h"

namespace ramulet {
namespace {

namespace fs = std::filesystem;

// A generated configuration on disk for as long as the program runs.
struct GeneratedFolder {
  std::string path;
  Status status;
  std::vector<std::string> modules;  // full paths of the module files
  uint64_t module_bytes = 0;

  ~GeneratedFolder() {
    std::error_code ignored;
    if (!path.empty()) fs::remove_all(path, ignored);
  }
};

// The folder of the newer generation scaled by `per_mille` / 1000,
// written on first use.
const GeneratedFolder& Folder(int64_t per_mille) {
  static std::map<int64_t, std::unique_ptr<GeneratedFolder>> folders;
  std::unique_ptr<GeneratedFolder>& folder = folders[per_mille];
  if (folder) return *folder;
  folder = std::make_unique<GeneratedFolder>();
  folder->path = (fs::temp_directory_path() /
                  ("ramulet-config-bench-" + std::to_string(::getpid()) + "-" + std::to_string(per_mille)))
                     .string();
  ConfigShape shape = DefaultConfigShape(ConfigShape::Generation::kNewer, static_cast<double>(per_mille) / 1000);
  folder->status = WriteGeneratedConfiguration(shape, folder->path, nullptr);
  if (!folder->status.ok()) return *folder;
  for (const auto& entry : fs::recursive_directory_iterator(folder->path)) {
    if (entry.is_regular_file() && entry.path().extension() == ".bsl") {
      folder->modules.push_back(entry.path().string());
      folder->module_bytes += entry.file_size();
    }
  }
  return *folder;
}

void Report(benchmark::State& state, const GeneratedFolder& folder) {
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(folder.module_bytes));
  state.counters["modules/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * static_cast<double>(folder.modules.size()),
                         benchmark::Counter::kIsRate);
  state.SetLabel(std::to_string(folder.modules.size()) + " modules, " + std::to_string(folder.module_bytes / 1000000) +
                 " MB");
}

// Arguments: the scale in thousandths, the threads.
void BM_LoadConfiguration(benchmark::State& state) {
  const GeneratedFolder& folder = Folder(state.range(0));
  if (!folder.status.ok()) return state.SkipWithError(folder.status.message().c_str());
  const ModuleAnalyzer analyzer;
  LoadOptions options;
  options.threads = static_cast<unsigned>(state.range(1));
  for (auto _ : state) {
    Configuration configuration;
    Status status = LoadConfiguration(analyzer, folder.path, options, configuration);
    if (!status.ok()) return state.SkipWithError(status.message().c_str());
    if (configuration.modules.size() != folder.modules.size()) {
      return state.SkipWithError(("read " + std::to_string(configuration.modules.size()) + " of " +
                                  std::to_string(folder.modules.size()) + " modules")
                                     .c_str());
    }
    benchmark::DoNotOptimize(configuration);
  }
  Report(state, folder);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void BM_AnalyzeModuleFiles(benchmark::State& state) {
  const GeneratedFolder& folder = Folder(state.range(0));
  if (!folder.status.ok()) return state.SkipWithError(folder.status.message().c_str());
  const ModuleAnalyzer analyzer;
  const auto threads = static_cast<unsigned>(state.range(1));
  for (auto _ : state) {
    std::vector<ModuleAnalysis> results(folder.modules.size());
    std::atomic<size_t> next{0};
    std::atomic<size_t> failed{0};
    auto work = [&] {
      for (size_t i; (i = next.fetch_add(1)) < folder.modules.size();) {
        ModuleText text;
        bool ok = LoadModuleText(ReadFile(folder.modules[i]), Encoding::Auto, text).ok() &&
                  analyzer.Analyze(text.lines, results[i], RuleSet::kLanguage).ok();
        if (!ok) failed.fetch_add(1);
      }
    };
    std::vector<std::thread> helpers;
    for (unsigned t = 1; t < threads; ++t) helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers) helper.join();
    if (failed.load() != 0) return state.SkipWithError((std::to_string(failed.load()) + " modules failed").c_str());
    benchmark::DoNotOptimize(results);
  }
  Report(state, folder);
}

void Register(bool smoke) {
  const std::vector<int64_t> scales = smoke ? std::vector<int64_t>{10} : std::vector<int64_t>{1000, 100};
  for (auto* benchmark : {benchmark::RegisterBenchmark("BM_LoadConfiguration", BM_LoadConfiguration),
                          benchmark::RegisterBenchmark("BM_AnalyzeModuleFiles", BM_AnalyzeModuleFiles)}) {
    benchmark->ArgNames({"per_mille", "threads"})->Unit(benchmark::kMillisecond)->UseRealTime();
    for (int64_t scale : scales) benchmark->Args({scale, 1})->Args({scale, 2});
  }
}

}  // namespace
}  // namespace ramulet

int main(int argc, char** argv) {
  bool smoke = false;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--smoke") == 0) {
      smoke = true;
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  ramulet::Register(smoke);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
