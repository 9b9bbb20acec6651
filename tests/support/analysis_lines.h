#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/module_analysis.h"
#include "analysis/module_analyzer.h"
#include "platform/line_source.h"
#include "platform/status.h"

namespace ramulet {

// Lines held in memory, read as a module's lines.
class VectorLines : public LineSource {
 public:
  explicit VectorLines(const std::vector<std::u16string>& lines) : lines_(lines) {}
  Status LineCount(int32_t& count) override;
  Status Range(int32_t line, std::u16string_view& text) override;

 private:
  const std::vector<std::u16string>& lines_;
};

// One analyzer for every test of the process (it may be shared by threads).
const ModuleAnalyzer& SharedAnalyzer();

// The analysis of `lines`, or of a module written as one UTF-8 text split
// at '\n'.
Status AnalyzeInMemory(const std::vector<std::u16string>& lines, ModuleAnalysis& result);
Status AnalyzeText(std::string_view utf8, ModuleAnalysis& result);

// The analysis as text, one method a line, in the form of DumpTables
// (tests/support/refresh_fixture.h):
//   "0 Name header=1 end=4 calls=[Other@2,Name@3] callers=[0]"
// The callers of a method are the methods making its calls, in text order.
std::string DumpAnalysis(const ModuleAnalysis& analysis);

}  // namespace ramulet
