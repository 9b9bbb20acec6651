// Speed of the regular-expression object on the module patterns, as the
// scanner and the call analysis use them: ignoring case, finding all.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "analysis/patterns.h"
#include "platform/regexp/regexp.h"
#include "platform/text.h"

namespace {

size_t allocations = 0;

}  // namespace

// Counts heap allocations, to show that a warm Execute makes none. (GCC
// takes the malloc/free pair of a replaced operator new for a mismatch.)
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(size_t size) {
  ++allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

namespace ramulet {
namespace {

const std::u16string kLineWithTwoCalls = U16("Результат = Модуль.ПолучитьДанные(Параметр, ДругойВызов(1));");
const std::u16string kPlainLine = U16("Итог = Итог + Строка.Сумма * Коэффициент;");
const std::u16string kHeaderLine = U16("Функция ПолучитьДанные(Знач Параметр1, Параметр2 = Неопределено) Экспорт");
const std::u16string kEndLine = U16("КонецФункции");

void ReportAllocations(benchmark::State& state, size_t before) {
  state.counters["allocs/iter"] = benchmark::Counter(static_cast<double>(allocations - before),
                                                     benchmark::Counter::kAvgIterations);
}

// One pattern on one line, again and again.
void RunPattern(benchmark::State& state, std::u16string_view pattern, const std::u16string& line,
                size_t expected_matches) {
  RegExp regexp;
  regexp.IgnoreCase = true;
  regexp.Global = true;
  std::vector<RegExpMatch> matches;
  if (!regexp.SetPattern(pattern).ok() || !regexp.Execute(line, matches).ok() ||
      matches.size() != expected_matches) {
    state.SkipWithError("unexpected result");
    return;
  }
  const size_t before = allocations;
  for (auto _ : state) {
    regexp.Execute(line, matches);
    benchmark::DoNotOptimize(matches.data());
  }
  ReportAllocations(state, before);
}

void BM_CallLineWithTwoCalls(benchmark::State& state) { RunPattern(state, patterns::kCall, kLineWithTwoCalls, 2); }
BENCHMARK(BM_CallLineWithTwoCalls);

void BM_CallPlainLine(benchmark::State& state) { RunPattern(state, patterns::kCall, kPlainLine, 0); }
BENCHMARK(BM_CallPlainLine);

void BM_HeaderPlainLine(benchmark::State& state) { RunPattern(state, patterns::kHeader, kPlainLine, 0); }
BENCHMARK(BM_HeaderPlainLine);

void BM_HeaderHeaderLine(benchmark::State& state) { RunPattern(state, patterns::kHeader, kHeaderLine, 1); }
BENCHMARK(BM_HeaderHeaderLine);

void BM_EndPlainLine(benchmark::State& state) { RunPattern(state, patterns::kEnd, kPlainLine, 0); }
BENCHMARK(BM_EndPlainLine);

void BM_EndEndLine(benchmark::State& state) { RunPattern(state, patterns::kEnd, kEndLine, 1); }
BENCHMARK(BM_EndEndLine);

// What the scanner does per line: header pattern, then end pattern, on one
// object whose pattern switches back and forth.
void BM_ScannerLineSwitchingPatterns(benchmark::State& state) {
  RegExp regexp;
  regexp.IgnoreCase = true;
  regexp.Global = true;
  std::vector<RegExpMatch> matches;
  const std::u16string_view header = patterns::kHeader;
  const std::u16string_view end = patterns::kEnd;
  const size_t before = allocations;
  for (auto _ : state) {
    regexp.SetPattern(header);
    regexp.Execute(kPlainLine, matches);
    regexp.SetPattern(end);
    regexp.Execute(kPlainLine, matches);
    benchmark::DoNotOptimize(matches.data());
  }
  ReportAllocations(state, before);
}
BENCHMARK(BM_ScannerLineSwitchingPatterns);

std::u16string LongLineOfLetters() {
  std::u16string line;
  const std::u16string letters = U16("абвгдеЖЗИКЛМНabcdeXYZ_0123");
  while (line.size() < (size_t{1} << 20)) line += letters;
  line.resize(size_t{1} << 20);
  return line;
}

// A 1 MB line of letters without a parenthesis: a plain backtracking
// search would be quadratic here. Target: under 10 ms.
void BM_CallLongLineWithoutParenthesis(benchmark::State& state) {
  const std::u16string line = LongLineOfLetters();
  RunPattern(state, patterns::kCall, line, 0);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * line.size() * sizeof(char16_t)));
}
BENCHMARK(BM_CallLongLineWithoutParenthesis)->Unit(benchmark::kMillisecond);

// The same line after a parenthesis, which the quick test for a required
// unit lets through: the automaton reads the whole line.
void BM_CallLongLineParenthesisFirst(benchmark::State& state) {
  const std::u16string line = u"(" + LongLineOfLetters();
  RunPattern(state, patterns::kCall, line, 0);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * line.size() * sizeof(char16_t)));
}
BENCHMARK(BM_CallLongLineParenthesisFirst)->Unit(benchmark::kMillisecond);

// The first use of a pattern: parsing and compiling.
void BM_CompileHeaderPattern(benchmark::State& state) {
  for (auto _ : state) {
    RegExp regexp;
    regexp.IgnoreCase = true;
    benchmark::DoNotOptimize(regexp.SetPattern(patterns::kHeader).ok());
  }
}
BENCHMARK(BM_CompileHeaderPattern)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace ramulet
