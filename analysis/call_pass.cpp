#include "analysis/analysis_passes.h"
#include "analysis/call_names.h"

namespace ramulet {

// A line up to the current method's header belongs to no method: the lines
// above the first header, and those between the line after an end line
// and the next header.
Status CallPass::Run() {
  int32_t line_count = 0;
  int32_t line = -1;
  Status status = lines_.LineCount(line_count);
  for (int32_t i = 0; status.ok() && !result_.methods.empty() && i < line_count; ++i) {
    if (result_.methods[static_cast<size_t>(current_)].header_line >= i) continue;
    if (LeavesCurrentMethod(i)) ++current_;
    line = i;
    status = ExamineLine(i);
  }
  if (!status.ok()) {
    AnalysisError error = AnalysisError::Unreadable(status, line);
    error.methods_complete = true;
    result_.error = std::move(error);
  }
  return status;
}

// The first line after a method's end line belongs to the next method; the
// last method keeps every line below its end line.
bool CallPass::LeavesCurrentMethod(int32_t line) const {
  return result_.methods[static_cast<size_t>(current_)].end_line < line && current_ < result_.MethodCount() - 1;
}

// One read of the line serves both the calls and the keyword test. A line
// that names a keyword or holds "//" anywhere contributes no call. That
// test is the dearer one, so it waits until the line is seen to call a
// method at all; most lines call none (calls of built-in functions,
// mostly, or no "(" at all). The calls are gathered in the same walk while
// they fit a small buffer; a line that holds more (a line may hold
// millions) is walked again and its calls recorded as they are found, so
// that none is kept beyond its own visit.
Status CallPass::ExamineLine(int32_t line) {
  std::u16string_view text;
  RAMULET_RETURN_IF_ERROR(lines_.Range(line, text));
  size_t gathered = 0;
  bool more = false;
  ForEachCallName(text, [this, text, &gathered, &more](std::u16string_view name) {
    const int32_t callee = result_.Find(name);
    if (callee < 0) return true;
    if (gathered == found_.size()) {
      more = true;
      return false;
    }
    found_[gathered++] = Found{callee, static_cast<int32_t>(name.data() - text.data())};
    return true;
  });
  if (gathered == 0 || analyzer_.excluding_words_.FoundIn(text)) return Status::Ok();
  if (!more) {
    for (size_t k = 0; k < gathered; ++k) Record(found_[k].callee, line, found_[k].column);
    return Status::Ok();
  }
  ForEachCallName(text, [this, text, line](std::u16string_view name) {
    const int32_t callee = result_.Find(name);
    if (callee >= 0) Record(callee, line, static_cast<int32_t>(name.data() - text.data()));
    return true;
  });
  return Status::Ok();
}

void CallPass::Record(int32_t callee, int32_t line, int32_t column) {
  result_.BeginCallsOf(current_);
  result_.AddCall(MethodCall{callee, line, column});
}

}  // namespace ramulet
