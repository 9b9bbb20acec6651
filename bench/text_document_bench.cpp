// The language server's document: building it from a text of very many
// short lines (30 M lone CRs in 32 Mi units, the worst case for a table of
// lines), the memory it then holds, and an edit at its start (which moves
// every line after it).
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

#include "lsp/text_document.h"

namespace ramulet::lsp {
namespace {

constexpr size_t kUnits = size_t{32} << 20;
constexpr size_t kLines = 30'000'000;

std::u16string LoneCrText() {
  std::u16string text(kLines, u'\r');
  text.resize(kUnits, u'x');
  return text;
}

double ResidentMiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  }
  return 0;
}

// items_per_second counts lines; held_MiB is what the document added to
// the process's resident memory.
void BM_BuildLoneCrDocument(benchmark::State& state) {
  const std::u16string text = LoneCrText();
  double held = 0;
  for (auto _ : state) {
    const double before = ResidentMiB();
    TextDocument document(text);
    benchmark::DoNotOptimize(document.LineCount());
    held = ResidentMiB() - before;
  }
  state.SetItemsProcessed(static_cast<int64_t>(kLines) * state.iterations());
  state.counters["held_MiB"] = held;
}
BENCHMARK(BM_BuildLoneCrDocument)->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_EditAtTheStartOfALoneCrDocument(benchmark::State& state) {
  TextDocument document(LoneCrText());
  for (auto _ : state) {
    benchmark::DoNotOptimize(document.Edit(TextRange{{0, 0}, {0, 0}}, u"a\r\n").ok());
  }
}
BENCHMARK(BM_EditAtTheStartOfALoneCrDocument)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ramulet::lsp
