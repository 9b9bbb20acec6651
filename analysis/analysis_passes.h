#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "analysis/module_analysis.h"
#include "analysis/module_analyzer.h"
#include "platform/line_source.h"
#include "platform/regexp/compiled.h"
#include "platform/status.h"

// The two passes of ModuleAnalyzer::Analyze, one object per run, on the
// analyzer's read-only patterns and word sets.

namespace ramulet {

// Reads every line for method headers and end lines.
class HeaderPass {
 public:
  HeaderPass(const ModuleAnalyzer& analyzer, LineSource& lines, ModuleAnalysis& result);
  Status Run();

 private:
  bool MatchHeader(std::u16string_view text, std::u16string_view trimmed, Status& status);
  bool MatchEnd(std::u16string_view trimmed, Status& status);
  Status RecordHeader(int32_t line);
  void RecordEnd(int32_t line);
  Status Stop(AnalysisError error);
  void AssignEndLines(int32_t stop_line);

  const ModuleAnalyzer& analyzer_;
  LineSource& lines_;
  ModuleAnalysis& result_;
  PatternScratch header_scratch_;
  PatternScratch end_scratch_;
  std::vector<size_t> slots_;
  MethodInfo found_;  // the header last matched
  std::unordered_map<std::u16string, int32_t> numbers_;
};

// Reads every line below the first header for the calls of the module's
// methods.
class CallPass {
 public:
  CallPass(const ModuleAnalyzer& analyzer, LineSource& lines, ModuleAnalysis& result)
      : analyzer_(analyzer), lines_(lines), result_(result) {}
  Status Run();

 private:
  bool LeavesCurrentMethod(int32_t line) const;
  Status ExamineLine(int32_t line);
  void Record(int32_t callee, int32_t line, int32_t column);

  struct Found {
    int32_t callee;
    int32_t column;
  };
  const ModuleAnalyzer& analyzer_;
  LineSource& lines_;
  ModuleAnalysis& result_;
  std::array<Found, 64> found_;
  int32_t current_ = 0;
};

}  // namespace ramulet
