// One analyzer shared by many threads gives every module the result a
// single thread gives it. Built with -DRAMULET_TSAN=ON, the test command
// runs this under ThreadSanitizer, which also catches any shared state the
// analysis writes.

#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/module_analyzer.h"
#include "bench/support/module_generator.h"
#include "platform/text.h"
#include "textio/text_lines.h"

namespace ramulet {
namespace {

constexpr int kModules = 1000;
constexpr int kThreads = 8;

std::vector<std::u16string> Module(int n) {
  ModuleShape shape;
  shape.seed = static_cast<uint32_t>(n + 1);
  shape.methods = 3 + n % 40;
  shape.lines = shape.methods * (3 + n % 7) + n % 11;
  shape.calls_per_method = 1.0 + n % 5;
  shape.layers = n % 3;
  std::vector<std::u16string> lines;
  EXPECT_TRUE(GenerateModule(shape, lines).ok()) << n;
  // Every seventh module repeats a method's header, so that errors and the
  // methods recorded before them are compared too.
  if (n % 7 == 0 && lines.size() > 4) lines.push_back(u"Процедура " + GeneratedMethodName(0) + u"()");
  return lines;
}

// Everything a result holds, as one comparable text.
std::string Dump(const ModuleAnalysis& module) {
  std::string out = "lines " + std::to_string(module.line_count) + "\n";
  for (const MethodInfo& method : module.methods) {
    out += Utf16ToUtf8(method.name);
    for (int32_t value : {static_cast<int32_t>(method.kind), method.header_line, method.name_column, method.end_line,
                          static_cast<int32_t>(method.end_recorded)}) {
      out += ' ' + std::to_string(value);
    }
    out += '\n';
  }
  for (const MethodCall& call : module.calls()) {
    out += std::to_string(call.callee) + ' ' + std::to_string(call.line) + ' ' + std::to_string(call.column) + '\n';
  }
  if (module.error) out += "error " + Utf16ToUtf8(module.error->name) + ' ' + std::to_string(module.error->line);
  return out;
}

TEST(ConcurrentAnalysis, ThreadsSharingOneAnalyzerAgreeWithOneThread) {
  std::vector<std::vector<std::u16string>> modules;
  for (int n = 0; n < kModules; ++n) modules.push_back(Module(n));

  const ModuleAnalyzer analyzer;
  std::vector<std::string> expected(kModules);
  for (int n = 0; n < kModules; ++n) {
    TextLines lines = TextLines::FromLines(modules[static_cast<size_t>(n)]);
    ModuleAnalysis result;
    (void)analyzer.Analyze(lines, result);
    expected[static_cast<size_t>(n)] = Dump(result);
  }

  std::vector<std::string> got(kModules);
  std::atomic<int> next{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      ModuleAnalysis result;  // reused, as a long-lived caller would
      for (int n = next++; n < kModules; n = next++) {
        TextLines lines = TextLines::FromLines(modules[static_cast<size_t>(n)]);
        (void)analyzer.Analyze(lines, result);
        got[static_cast<size_t>(n)] = Dump(result);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();

  int errors = 0;
  for (int n = 0; n < kModules; ++n) {
    EXPECT_EQ(got[static_cast<size_t>(n)], expected[static_cast<size_t>(n)]) << "module " << n;
    errors += expected[static_cast<size_t>(n)].find("error ") != std::string::npos;
  }
  EXPECT_GT(errors, kModules / 10) << "the duplicates were meant to stop some analyses";
}

}  // namespace
}  // namespace ramulet
