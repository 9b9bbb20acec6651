// The language server's answers across modules on a generated designer dump
// of the large public library's shape (2,200 modules, 1.1 M lines), written
// once to a temporary folder and loaded once into memory: incoming calls of
// the most-called exported method, definition and references across
// modules, hover, workspace/symbol, a module's diagnostics, the module graph.
//   lsp_cross_bench [--smoke] [benchmark options]
// --smoke loads a configuration a hundredth of that size (for a quick run).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "analysis/module_analyzer.h"
#include "lsp/cross_module.h"
#include "lsp/reference_lookup.h"
#include "tests/support/config_generator.h"

namespace ramulet::lsp {
namespace {

namespace fs = std::filesystem;

double g_scale = 1.0;

struct Loaded {
  Status status;
  Configuration configuration;
  ConfigView view;
  // The exported method with the most edges reaching it.
  int32_t busiest_module = kNone;
  int32_t busiest_method = kNone;
  size_t busiest_sites = 0;
  // A call into another module: the last one of the module with the most edges.
  int32_t call_module = kNone;
  TextPosition call_position;
  int32_t call_method = kNone;  // the method making that call
};

void FindSubjects(Loaded& loaded) {
  const Configuration& configuration = loaded.configuration;
  size_t most_edges = 0;
  for (int32_t m = 0; m < static_cast<int32_t>(configuration.modules.size()); ++m) {
    const ConfigModule& module = configuration.modules[static_cast<size_t>(m)];
    for (int32_t i = 0; i < module.analysis.MethodCount(); ++i) {
      const size_t sites = configuration.graph.EdgesTo(m, i).size();
      if (module.analysis.methods[static_cast<size_t>(i)].exported && sites > loaded.busiest_sites) {
        loaded.busiest_module = m;
        loaded.busiest_method = i;
        loaded.busiest_sites = sites;
      }
    }
    const std::span<const Edge> edges = CodeEdgesOf(configuration, m);
    if (edges.size() <= most_edges) continue;
    for (auto edge = edges.rbegin(); edge != edges.rend(); ++edge) {
      if (edge->to_module >= 0 && edge->to_method >= 0 && edge->to_module != m) {
        most_edges = edges.size();
        loaded.call_module = m;
        loaded.call_position = {edge->from.line, edge->from.column};
        loaded.call_method = edge->from.method;
        break;
      }
    }
  }
}

const Loaded& LoadedConfiguration() {
  static std::unique_ptr<Loaded> loaded;
  if (loaded) return *loaded;
  loaded = std::make_unique<Loaded>();
  const fs::path folder = fs::temp_directory_path() / ("ramulet-lsp-cross-bench-" + std::to_string(::getpid()));
  loaded->status = WriteGeneratedConfiguration(DefaultConfigShape(ConfigShape::Generation::kNewer, g_scale),
                                               folder.string(), nullptr);
  if (loaded->status.ok()) {
    const ModuleAnalyzer analyzer;
    loaded->status = LoadConfiguration(analyzer, folder.string(), LoadOptions{}, loaded->configuration);
  }
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  loaded->view = ConfigView{&loaded->configuration, folder.string()};
  if (loaded->status.ok()) FindSubjects(*loaded);
  return *loaded;
}

#define RAMULET_LOADED(name)                                                        \
  const Loaded& name = LoadedConfiguration();                                       \
  if (!name.status.ok()) return state.SkipWithError(name.status.message().c_str()); \
  if (name.busiest_module < 0 || name.call_module < 0) return state.SkipWithError("no subject")

Json BusiestItem(const Loaded& loaded) {
  return CrossPrepareCallHierarchy(loaded.view, loaded.busiest_module,
                                   {loaded.configuration.modules[static_cast<size_t>(loaded.busiest_module)]
                                        .analysis.methods[static_cast<size_t>(loaded.busiest_method)]
                                        .header_line,
                                    loaded.configuration.modules[static_cast<size_t>(loaded.busiest_module)]
                                        .analysis.methods[static_cast<size_t>(loaded.busiest_method)]
                                        .name_column})[0];
}

// The answer as the server sends it: JSON text.
void BM_IncomingCallsOfTheMostCalledExport(benchmark::State& state) {
  RAMULET_LOADED(loaded);
  const Json item = BusiestItem(loaded);
  size_t bytes = 0;
  for (auto _ : state) {
    std::string text;
    AppendCrossIncomingCalls(loaded.view, item, text);
    bytes = text.size();
    benchmark::DoNotOptimize(text);
  }
  state.SetLabel(std::to_string(loaded.busiest_sites) + " sites, " + std::to_string(bytes / 1000) + " kB");
}

// The same as a tree of JSON values (parsed from the text).
void BM_IncomingCallsAsJsonValues(benchmark::State& state) {
  RAMULET_LOADED(loaded);
  const Json item = BusiestItem(loaded);
  size_t callers = 0;
  for (auto _ : state) {
    Json incoming = CrossIncomingCalls(loaded.view, item);
    callers = incoming.size();
    benchmark::DoNotOptimize(incoming);
  }
  state.SetLabel(std::to_string(callers) + " callers");
}

void BM_DefinitionAcrossModules(benchmark::State& state) {
  RAMULET_LOADED(loaded);
  for (auto _ : state) {
    Json definition = CrossDefinition(loaded.view, loaded.call_module, loaded.call_position);
    if (definition.is_null()) return state.SkipWithError("no definition at the call");
    benchmark::DoNotOptimize(definition);
  }
  state.SetLabel(std::to_string(CodeEdgesOf(loaded.configuration, loaded.call_module).size()) +
                 " call sites in the module");
}

void BM_ReferencesOfTheMostCalledExport(benchmark::State& state) {
  RAMULET_LOADED(loaded);
  const MethodInfo& method = loaded.configuration.modules[static_cast<size_t>(loaded.busiest_module)]
                                 .analysis.methods[static_cast<size_t>(loaded.busiest_method)];
  for (auto _ : state) {
    Json references =
        CrossReferences(loaded.view, loaded.busiest_module, {method.header_line, method.name_column}, true);
    benchmark::DoNotOptimize(references);
  }
}

void BM_HoverAcrossModules(benchmark::State& state) {
  RAMULET_LOADED(loaded);
  for (auto _ : state) benchmark::DoNotOptimize(CrossHover(loaded.view, loaded.call_module, loaded.call_position));
}

// Queries: word starts (initials, then word prefixes), a prefix many
// methods share, a substring, a query nothing matches.
const char16_t* const kQueries[] = {u"ЗТ", u"ПолРекв", u"Получ", u"ски", u"ЪЪЪ"};

void BM_WorkspaceSymbol(benchmark::State& state) {
  RAMULET_LOADED(loaded);
  const std::u16string_view query = kQueries[state.range(0)];
  size_t found = 0;
  for (auto _ : state) {
    std::vector<RankedSymbol> symbols;
    CrossWorkspaceSymbols(loaded.view, query, symbols);
    found = symbols.size();
    benchmark::DoNotOptimize(symbols);
  }
  size_t methods = 0;
  for (const ConfigModule& module : loaded.configuration.modules) methods += module.analysis.methods.size();
  state.SetLabel("'" + ToUtf8(query) + "': " + std::to_string(found) + " symbols of " + std::to_string(methods));
}

void BM_DiagnosticsOfTheBusiestModule(benchmark::State& state) {
  RAMULET_LOADED(loaded);
  for (auto _ : state) benchmark::DoNotOptimize(CrossDiagnostics(loaded.view, loaded.call_module));
}

// The first page of the tree beneath the method making that call.
void BM_CrossCallTreeFirstPage(benchmark::State& state) {
  RAMULET_LOADED(loaded);
  if (loaded.call_method < 0) return state.SkipWithError("the call is made by the module body");
  const std::string name = ToUtf8(loaded.configuration.modules[static_cast<size_t>(loaded.call_module)]
                                      .analysis.methods[static_cast<size_t>(loaded.call_method)]
                                      .name);
  const Json params{{"method", name}, {"limit", 1000}};
  int64_t nodes = 0;
  for (auto _ : state) {
    Json page = CrossCallTree(loaded.view, loaded.call_module, params);
    nodes = page["nodeCount"].get<int64_t>();
    benchmark::DoNotOptimize(page);
  }
  state.SetLabel(std::to_string(nodes) + " nodes");
}

void BM_ModuleGraph(benchmark::State& state) {
  RAMULET_LOADED(loaded);
  for (auto _ : state) benchmark::DoNotOptimize(ModuleGraph(loaded.view));
}

void Register() {
  for (auto* benchmark :
       {benchmark::RegisterBenchmark("BM_IncomingCallsOfTheMostCalledExport", BM_IncomingCallsOfTheMostCalledExport),
        benchmark::RegisterBenchmark("BM_IncomingCallsAsJsonValues", BM_IncomingCallsAsJsonValues),
        benchmark::RegisterBenchmark("BM_DefinitionAcrossModules", BM_DefinitionAcrossModules),
        benchmark::RegisterBenchmark("BM_ReferencesOfTheMostCalledExport", BM_ReferencesOfTheMostCalledExport),
        benchmark::RegisterBenchmark("BM_HoverAcrossModules", BM_HoverAcrossModules),
        benchmark::RegisterBenchmark("BM_DiagnosticsOfTheBusiestModule", BM_DiagnosticsOfTheBusiestModule),
        benchmark::RegisterBenchmark("BM_CrossCallTreeFirstPage", BM_CrossCallTreeFirstPage),
        benchmark::RegisterBenchmark("BM_ModuleGraph", BM_ModuleGraph)}) {
    benchmark->Unit(benchmark::kMicrosecond);
  }
  benchmark::RegisterBenchmark("BM_WorkspaceSymbol", BM_WorkspaceSymbol)
      ->DenseRange(0, std::size(kQueries) - 1)
      ->Unit(benchmark::kMicrosecond);
}

}  // namespace
}  // namespace ramulet::lsp

int main(int argc, char** argv) {
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--smoke") == 0) {
      ramulet::lsp::g_scale = 0.01;
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  ramulet::lsp::Register();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
