// The language server with a whole configuration: a generated designer
// dump of the large public library's shape (2,200 modules, 1.1 M lines),
// written once to a temporary folder.
//   lsp_workspace_bench [--smoke] [benchmark options]
// --smoke uses a configuration a hundredth of that (for the test run).
//
// BM_InitializeToIndexed: from `initialize` (workspace folder, progress
// asked for) to the progress's end, on both cores. Counters: the resident
// memory of the process with the configuration indexed (VmRSS, after the
// allocator gave back what it held) against the configuration's bytes on
// disk.
// BM_ResolveAll: the resolution of every reference alone, the part of an
// answer after an edit that does not depend on the module's size.
// BM_EditThenAnswer: one edit of a 10,000-line common module open in the
// editor, then a hover on it: the edit's analysis, the module's analysis
// for the configuration and the resolution of every reference.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "config/resolver.h"
#include "lsp/file_uri.h"
#include "lsp/server.h"
#include "lsp/workspace_index.h"
#include "tests/support/config_generator.h"

namespace ramulet {
namespace {

namespace fs = std::filesystem;

bool g_smoke = false;

struct GeneratedFolder {
  std::string path;
  Status status;
  uint64_t bytes = 0;  // every file's
  ~GeneratedFolder() {
    std::error_code ignored;
    if (!path.empty()) fs::remove_all(path, ignored);
  }
};

const GeneratedFolder& Folder() {
  static std::unique_ptr<GeneratedFolder> folder;
  if (folder) return *folder;
  folder = std::make_unique<GeneratedFolder>();
  folder->path = (fs::temp_directory_path() / ("ramulet-lsp-workspace-bench-" + std::to_string(::getpid()))).string();
  ConfigShape shape = DefaultConfigShape(ConfigShape::Generation::kNewer, g_smoke ? 0.01 : 1.0);
  folder->status = WriteGeneratedConfiguration(shape, folder->path, nullptr);
  for (const auto& entry : fs::recursive_directory_iterator(folder->path)) {
    if (entry.is_regular_file()) folder->bytes += entry.file_size();
  }
  return *folder;
}

int64_t ResidentBytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stoll(line.substr(6)) * 1024;
  }
  return -1;
}

std::string Message(const lsp::Json& message) {
  lsp::Json whole = message;
  whole["jsonrpc"] = "2.0";
  return whole.dump();
}

// A server over the generated folder, indexed.
struct IndexedServer {
  std::atomic<bool> indexed{false};
  std::atomic<int> answers{0};
  lsp::Server server{[this](const std::string& body) {
    if (body.find("\"kind\":\"end\"") != std::string::npos) indexed = true;
    if (body.find("\"result\"") != std::string::npos) ++answers;
  }};

  explicit IndexedServer(const std::string& root) {
    lsp::Json capabilities{{"window", {{"workDoneProgress", true}}}};
    server.HandleBody(Message({{"id", 0},
                               {"method", "initialize"},
                               {"params", {{"rootUri", lsp::FileUriFromPath(root)}, {"capabilities", capabilities}}}}));
    server.HandleBody(Message({{"method", "initialized"}, {"params", lsp::Json::object()}}));
    while (!indexed) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
};

void BM_InitializeToIndexed(benchmark::State& state) {
  const GeneratedFolder& folder = Folder();
  if (!folder.status.ok()) return state.SkipWithError(folder.status.message().c_str());
  int64_t resident = 0;
  for (auto _ : state) {
    IndexedServer indexed(folder.path);
    state.PauseTiming();
    malloc_trim(0);
    resident = ResidentBytes();
    state.ResumeTiming();
  }
  state.counters["rss_MB"] = static_cast<double>(resident) / 1e6;
  state.counters["disk_MB"] = static_cast<double>(folder.bytes) / 1e6;
  state.counters["rss_per_disk"] = static_cast<double>(resident) / static_cast<double>(folder.bytes);
}
BENCHMARK(BM_InitializeToIndexed)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_ResolveAll(benchmark::State& state) {
  const GeneratedFolder& folder = Folder();
  if (!folder.status.ok()) return state.SkipWithError(folder.status.message().c_str());
  lsp::WorkspaceIndex index(nullptr, [](lsp::Json) {});
  index.Start(lsp::WorkspaceIndex::Options{{folder.path}, {}, {}, 0}, false);
  index.WaitIndexed();
  const Configuration& configuration = *index.Views().at(0).configuration;
  CallGraph graph;
  for (auto _ : state) ResolveReferences(configuration, graph);
  state.counters["edges"] = static_cast<double>(graph.edges.size());
}
BENCHMARK(BM_ResolveAll)->Unit(benchmark::kMillisecond)->UseRealTime();

// The resident memory with every module's text kept as well.
void BM_IndexedKeepingText(benchmark::State& state) {
  const GeneratedFolder& folder = Folder();
  if (!folder.status.ok()) return state.SkipWithError(folder.status.message().c_str());
  int64_t resident = 0;
  for (auto _ : state) {
    lsp::WorkspaceIndex index(nullptr, [](lsp::Json) {});
    lsp::WorkspaceIndex::Options options{{folder.path}, {}, {}, 0};
    options.keep_text = true;
    index.Start(options, false);
    index.WaitIndexed();
    state.PauseTiming();
    malloc_trim(0);
    resident = ResidentBytes();
    state.ResumeTiming();
  }
  state.counters["rss_per_disk"] = static_cast<double>(resident) / static_cast<double>(folder.bytes);
}
BENCHMARK(BM_IndexedKeepingText)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// The first common module's file, grown to 10,000 lines with exported
// methods that call each other.
std::string LargeCommonModule(const std::string& root, std::string& uri) {
  std::string path;
  for (const auto& entry : fs::recursive_directory_iterator(root + "/CommonModules")) {
    if (entry.path().filename() == "Module.bsl" && (path.empty() || entry.path().string() < path)) {
      path = entry.path().string();
    }
  }
  uri = lsp::FileUriFromPath(path);
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::string module = text.str();
  size_t lines = static_cast<size_t>(std::count(module.begin(), module.end(), '\n'));
  for (int i = 0; lines < 10'000; ++i, lines += 5) {
    module += "\nПроцедура Добавленная" + std::to_string(i) + "(Параметр) Экспорт\n  Добавленная" +
              std::to_string(i + 1) + "(Параметр);\n  Возврат;\nКонецПроцедуры\n";
  }
  return module;
}

// With `answer` false only the edits: the open document's own analysis,
// which the server did before the configuration was indexed.
void EditModule(benchmark::State& state, bool answer) {
  const GeneratedFolder& folder = Folder();
  if (!folder.status.ok()) return state.SkipWithError(folder.status.message().c_str());
  IndexedServer indexed(folder.path);
  std::string uri;
  const std::string text = LargeCommonModule(folder.path, uri);
  indexed.server.HandleBody(Message(
      {{"method", "textDocument/didOpen"},
       {"params", {{"textDocument", {{"uri", uri}, {"languageId", "bsl"}, {"version", 1}, {"text", text}}}}}}));
  int version = 1;
  for (auto _ : state) {
    ++version;
    lsp::Json range{{"start", {{"line", 0}, {"character", 0}}}, {"end", {{"line", 0}, {"character", 0}}}};
    indexed.server.HandleBody(Message({{"method", "textDocument/didChange"},
                                       {"params",
                                        {{"textDocument", {{"uri", uri}, {"version", version}}},
                                         {"contentChanges", lsp::Json::array({{{"range", range}, {"text", " "}}})}}}}));
    if (!answer) continue;
    indexed.server.HandleBody(Message({{"id", version},
                                       {"method", "textDocument/hover"},
                                       {"params",
                                        {{"textDocument", {{"uri", uri}}},
                                         {"position", {{"line", 0}, {"character", 0}}}}}}));
  }
  state.counters["answers"] = indexed.answers.load();
}
void BM_EditThenAnswer(benchmark::State& state) { EditModule(state, true); }
void BM_EditOnly(benchmark::State& state) { EditModule(state, false); }
BENCHMARK(BM_EditThenAnswer)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EditOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace ramulet

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--smoke") == 0) {
      ramulet::g_smoke = true;
      for (int j = i; j + 1 < argc; ++j) argv[j] = argv[j + 1];
      --argc;
      break;
    }
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
