// The module-facts scan and the resolution of calls between modules.
// bytes_per_second of the scan counts the module's UTF-16 text (two bytes a
// unit, line breaks included); of the resolution, the configuration's.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "analysis/module_analyzer.h"
#include "bench/support/module_generator.h"
#include "config/module_facts.h"
#include "config/resolver.h"
#include "platform/text.h"
#include "tests/support/config_fixture.h"
#include "textio/text_lines.h"

namespace ramulet {
namespace {

int64_t Utf16Bytes(const std::vector<std::u16string>& lines) {
  int64_t units = 0;
  for (const std::u16string& line : lines) units += static_cast<int64_t>(line.size()) + 1;
  return units * 2;
}

// A module of ordinary business code: the analysis' benchmark module.
void BM_ScanModuleFacts(benchmark::State& state) {
  ModuleShape shape;
  shape.lines = 60000;
  shape.methods = 2000;
  shape.calls_per_method = 17;
  shape.call_line_share = 0.75;
  shape.layers = 3;
  shape.short_share = 0.75;
  std::vector<std::u16string> generated;
  (void)GenerateModule(shape, generated);
  TextLines lines = TextLines::FromLines(generated);
  const ModuleAnalyzer analyzer;
  ModuleAnalysis analysis;
  (void)analyzer.Analyze(lines, analysis, RuleSet::kLanguage);
  ModuleFacts facts;
  for (auto _ : state) {
    (void)ScanModuleFacts(lines, analysis, facts);
    benchmark::DoNotOptimize(facts);
  }
  state.counters["references"] = static_cast<double>(facts.references.size());
  state.SetBytesProcessed(state.iterations() * Utf16Bytes(generated));
}
BENCHMARK(BM_ScanModuleFacts)->Unit(benchmark::kMillisecond);

// A configuration of the public library's proportions, scaled down in
// lines: 2,000 modules, a quarter of them common (20 global), each method
// calling common modules, bound variables, managers and global exports.
// The modules called are drawn evenly, or (`skewed`) mostly among the
// first ones, as real code calls a few utility modules most.
std::vector<FixtureModule> LibraryShapedModules(int64_t& references, bool skewed = false) {
  constexpr int kModules = 2000;
  constexpr int kCommon = 500;
  constexpr int kGlobal = 20;
  constexpr int kMethods = 12;
  std::vector<FixtureModule> modules;
  references = 0;
  uint32_t state = 1;
  auto next = [&](uint32_t bound) {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) % bound;
  };
  auto module_number = [&](uint32_t bound) {
    const uint32_t r = next(bound);
    return skewed ? static_cast<uint32_t>(uint64_t{r} * r * r / (uint64_t{bound} * bound)) : r;
  };
  for (int m = 0; m < kModules; ++m) {
    FixtureModule module;
    const bool common = m < kCommon;
    module.name = common ? "CommonModule.Общий" + std::to_string(m) : "Catalog.Объект" + std::to_string(m) + ".ManagerModule";
    module.kind = common ? "CommonModule" : "ManagerModule";
    module.global = m < kGlobal;
    std::string& text = module.text;
    for (int k = 0; k < kMethods; ++k) {
      const std::string method = "Метод" + std::to_string(k);
      text += "// Комментарий к методу " + method + "\nФункция " + method + "(Параметр, Знач Режим = Неопределено) Экспорт\n";
      text += "\tРезультат = Новый Структура(\"Ключ, Значение\", Параметр, 0);\n";
      for (int s = 0; s < 4; ++s) {
        const std::string target = std::to_string(module_number(kCommon));
        const std::string callee = "Метод" + std::to_string(next(kMethods));
        switch (next(5)) {
          case 0: text += "\tОбщий" + target + "." + callee + "(Параметр, Результат);\n"; break;
          case 1: text += "\tМодуль = ОбщийМодуль(\"Общий" + target + "\");\n\tМодуль." + callee + "(Результат);\n"; break;
          case 2: text += "\tСправочники.Объект" + std::to_string(kCommon + next(kModules - kCommon)) + "." + callee + "();\n"; break;
          case 3: text += "\tЕсли ЗначениеЗаполнено(Параметр) Тогда\n\t\t" + callee + "Глобальный(Параметр);\n\tКонецЕсли;\n"; break;
          default: text += "\tЗапрос = Новый Запрос(\"ВЫБРАТЬ 1\");\n\tВыборка = Запрос.Выполнить().Выбрать();\n"; break;
        }
        ++references;
      }
      text += "\tВозврат Результат;\nКонецФункции\n\n";
    }
    modules.push_back(std::move(module));
  }
  return modules;
}

void BM_ResolveReferences(benchmark::State& state) {
  int64_t references = 0;
  const bool skewed = state.range(0) != 0;
  state.SetLabel(skewed ? "callees mostly among a few modules" : "callees drawn evenly");
  const std::vector<FixtureModule> modules = LibraryShapedModules(references, skewed);
  int64_t bytes = 0;
  for (const FixtureModule& module : modules) bytes += static_cast<int64_t>(Utf8ToUtf16(module.text).size()) * 2;
  Configuration configuration;
  BuildConfiguration(modules, {}, ConfigLayout::kDesigner, configuration);
  CallGraph graph;
  for (auto _ : state) {
    ResolveReferences(configuration, graph);
    benchmark::DoNotOptimize(graph);
  }
  state.counters["edges"] = static_cast<double>(graph.edges.size());
  state.counters["references"] = static_cast<double>(references);
  state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_ResolveReferences)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The scan over the same configuration's modules, one after another.
void BM_ScanConfiguration(benchmark::State& state) {
  int64_t references = 0;
  const std::vector<FixtureModule> modules = LibraryShapedModules(references);
  const ModuleAnalyzer analyzer;
  std::vector<TextLines> texts;
  std::vector<ModuleAnalysis> analyses(modules.size());
  int64_t bytes = 0;
  for (size_t i = 0; i < modules.size(); ++i) {
    std::u16string text = Utf8ToUtf16(modules[i].text);
    bytes += static_cast<int64_t>(text.size()) * 2;
    texts.emplace_back(std::move(text));
    (void)analyzer.Analyze(texts.back(), analyses[i], RuleSet::kLanguage);
  }
  ModuleFacts facts;
  for (auto _ : state) {
    for (size_t i = 0; i < texts.size(); ++i) {
      (void)ScanModuleFacts(texts[i], analyses[i], facts);
      benchmark::DoNotOptimize(facts);
    }
  }
  state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_ScanConfiguration)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ramulet
