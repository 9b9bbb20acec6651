// The two rule sets side by side on the same generated module, and the
// language's lexer alone. bytes_per_second counts the module's UTF-8 bytes.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "analysis/language_lexer.h"
#include "analysis/module_analyzer.h"
#include "bench/support/module_generator.h"
#include "platform/text.h"
#include "textio/text_lines.h"

namespace ramulet {
namespace {

// The side-by-side script's module: 60,000 lines, 2,000 methods, mostly
// short statements, three layers of calls.
std::vector<std::u16string> SideBySideModule() {
  ModuleShape shape;
  shape.lines = 60000;
  shape.methods = 2000;
  shape.calls_per_method = 17;
  shape.call_line_share = 0.75;
  shape.layers = 3;
  shape.short_share = 0.75;
  std::vector<std::u16string> lines;
  (void)GenerateModule(shape, lines);
  return lines;
}

int64_t Utf8Bytes(const std::vector<std::u16string>& lines) {
  int64_t bytes = 0;
  for (const std::u16string& line : lines) bytes += static_cast<int64_t>(Utf16ToUtf8(line).size()) + 1;
  return bytes;
}

void BM_Analysis(benchmark::State& state) {
  const RuleSet rules = state.range(0) == 0 ? RuleSet::kPanel : RuleSet::kLanguage;
  state.SetLabel(rules == RuleSet::kPanel ? "panel rules" : "language rules");
  const std::vector<std::u16string> generated = SideBySideModule();
  TextLines lines = TextLines::FromLines(generated);
  const ModuleAnalyzer analyzer;
  ModuleAnalysis result;
  for (auto _ : state) {
    Status status = analyzer.Analyze(lines, result, rules);
    if (!status.ok()) state.SkipWithError(status.message().c_str());
    benchmark::DoNotOptimize(result);
  }
  state.SetBytesProcessed(state.iterations() * Utf8Bytes(generated));
}
BENCHMARK(BM_Analysis)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Every token of every line, as the language's rules split them, with
// nothing done with the tokens.
void BM_Lexer(benchmark::State& state) {
  const std::vector<std::u16string> generated = SideBySideModule();
  for (auto _ : state) {
    size_t tokens = 0;
    bool open_string = false;
    for (const std::u16string& line : generated) {
      const std::u16string_view text = line;
      size_t i = 0;
      if (open_string) {
        size_t after_bar = 0;
        open_string = language::ContinuationOf(text, after_bar) == language::Continuation::kGoesOn;
        if (open_string) i = language::SkipStringBody(text, after_bar);
        open_string = i == std::u16string_view::npos;
        if (open_string) continue;
      }
      for (;;) {
        while (i < text.size() && language::IsBlank(text[i])) ++i;
        if (i >= text.size() || language::IsCommentAt(text, i)) break;
        i = language::ReadToken(text, i, open_string).end;
        ++tokens;
      }
    }
    benchmark::DoNotOptimize(tokens);
  }
  state.SetBytesProcessed(state.iterations() * Utf8Bytes(generated));
}
BENCHMARK(BM_Lexer)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ramulet
