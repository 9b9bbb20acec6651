#include "tests/support/analysis_lines.h"

#include "platform/text.h"
#include "tests/support/test_module.h"

namespace ramulet {

Status VectorLines::LineCount(int32_t& count) {
  count = static_cast<int32_t>(lines_.size());
  return Status::Ok();
}

Status VectorLines::Range(int32_t line, std::u16string_view& text) {
  if (line < 0 || static_cast<size_t>(line) >= lines_.size()) {
    return Status::Error(Status::kOutOfRange, "line " + std::to_string(line) + " is outside the module");
  }
  text = lines_[static_cast<size_t>(line)];
  return Status::Ok();
}

const ModuleAnalyzer& SharedAnalyzer() {
  static const ModuleAnalyzer analyzer;
  return analyzer;
}

Status AnalyzeInMemory(const std::vector<std::u16string>& lines, ModuleAnalysis& result) {
  VectorLines source(lines);
  return SharedAnalyzer().Analyze(source, result);
}

Status AnalyzeText(std::string_view utf8, ModuleAnalysis& result) {
  return AnalyzeInMemory(ModuleLines(utf8), result);
}

std::string DumpAnalysis(const ModuleAnalysis& analysis) {
  std::string out;
  for (int32_t m = 0; m < analysis.MethodCount(); ++m) {
    const MethodInfo& method = analysis.methods[static_cast<size_t>(m)];
    out += std::to_string(m) + " " + Utf16ToUtf8(method.name) + " header=" + std::to_string(method.header_line);
    out += " end=" + std::to_string(method.end_line) + " calls=[";
    bool first = true;
    for (const MethodCall& call : analysis.CallsFrom(m)) {
      out += (first ? "" : ",") + Utf16ToUtf8(analysis.methods[static_cast<size_t>(call.callee)].name) + "@" +
             std::to_string(call.line);
      first = false;
    }
    out += "] callers=[";
    first = true;
    for (int32_t call : analysis.CallsTo(m)) {
      out += (first ? "" : ",") + std::to_string(analysis.CallerOf(call));
      first = false;
    }
    out += "]\n";
  }
  return out;
}

}  // namespace ramulet
