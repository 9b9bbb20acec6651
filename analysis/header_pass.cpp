#include <string>

#include "analysis/analysis_passes.h"
#include "analysis/line_filters.h"
#include "analysis/patterns.h"
#include "analysis/unit_classes.h"
#include "platform/text.h"

namespace ramulet {

HeaderPass::HeaderPass(const ModuleAnalyzer& analyzer, LineSource& lines, ModuleAnalysis& result)
    : analyzer_(analyzer),
      lines_(lines),
      result_(result),
      header_scratch_(*analyzer.header_),
      end_scratch_(*analyzer.end_) {}

Status HeaderPass::Run() {
  int32_t line_count = 0;
  Status status = lines_.LineCount(line_count);
  if (!status.ok()) return Stop(AnalysisError::Unreadable(status));
  result_.line_count = line_count;
  for (int32_t i = 0; i < line_count; ++i) {
    // One read serves every test of the line (the patterns look at the
    // text without its leading spaces, the forward mark at the whole
    // line): the lines do not change while the analysis runs.
    std::u16string_view text;
    status = lines_.Range(i, text);
    if (!status.ok()) return Stop(AnalysisError::Unreadable(status, i));
    std::u16string_view trimmed = DropLeadingSpaces(text);
    const bool header = MayBeHeader(trimmed) && MatchHeader(text, trimmed, status);
    const bool end = status.ok() && MayBeEnd(trimmed) && MatchEnd(trimmed, status);
    if (!status.ok()) return Stop(AnalysisError::Unreadable(status, i));
    if (header && !analyzer_.forward_mark_.FoundIn(text)) RAMULET_RETURN_IF_ERROR(RecordHeader(i));
    if (end) RecordEnd(i);
  }
  AssignEndLines(line_count);
  result_.IndexNames();
  return Status::Ok();
}

// The kind and the name of a header, from the pattern's groups: the
// keyword, then the name.
bool HeaderPass::MatchHeader(std::u16string_view text, std::u16string_view trimmed, Status& status) {
  bool found = false;
  status = analyzer_.header_->Search(trimmed, 0, slots_, found, header_scratch_);
  if (!status.ok() || !found) return false;
  const size_t keyword = slots_[2 * 2];
  const size_t name_begin = slots_[2 * patterns::kHeaderNameGroup];
  const size_t name_end = slots_[2 * patterns::kHeaderNameGroup + 1];
  found_.kind = FoldsTo(trimmed[keyword], u'Ф') ? MethodKind::kFunction : MethodKind::kProcedure;
  found_.name.assign(trimmed.substr(name_begin, name_end - name_begin));
  found_.name_column = static_cast<int32_t>(trimmed.data() - text.data() + name_begin);
  return true;
}

bool HeaderPass::MatchEnd(std::u16string_view trimmed, Status& status) {
  bool found = false;
  status = analyzer_.end_->Search(trimmed, 0, slots_, found, end_scratch_);
  return status.ok() && found;
}

Status HeaderPass::RecordHeader(int32_t line) {
  const auto number = static_cast<int32_t>(result_.methods.size());
  auto [first, added] = numbers_.try_emplace(found_.name, number);
  if (!added) {
    AnalysisError error;
    error.kind = AnalysisError::Kind::kDuplicateMethod;
    error.status = Status::Error(Status::kDuplicateKey, "Процедура или функция «" + Utf16ToUtf8(found_.name) +
                                                            "» объявлена повторно в строке " + std::to_string(line + 1));
    error.line = line;
    error.name = found_.name;
    error.name_column = found_.name_column;
    error.first_line = result_.methods[static_cast<size_t>(first->second)].header_line;
    return Stop(std::move(error));
  }
  found_.header_line = line;
  result_.methods.push_back(found_);
  return Status::Ok();
}

// Only the first end line after each header is recorded; one above the
// first header ends no method.
void HeaderPass::RecordEnd(int32_t line) {
  if (result_.methods.empty()) {
    if (result_.leading_end_line < 0) result_.leading_end_line = line;
    return;
  }
  MethodInfo& method = result_.methods.back();
  if (method.end_recorded) return;
  method.end_recorded = true;
  method.end_line = line;
}

Status HeaderPass::Stop(AnalysisError error) {
  AssignEndLines(error.line >= 0 ? error.line : result_.line_count);
  result_.IndexNames();
  Status status = error.status;
  result_.error = std::move(error);
  return status;
}

// A method without a recorded end line ends on the line before the next
// header; the last one on the line before `stop_line` (where the analysis
// stopped: the module's end, or the line it could not go past).
void HeaderPass::AssignEndLines(int32_t stop_line) {
  auto& methods = result_.methods;
  for (size_t m = 0; m < methods.size(); ++m) {
    if (methods[m].end_recorded) continue;
    const int32_t next = m + 1 < methods.size() ? methods[m + 1].header_line : stop_line;
    methods[m].end_line = std::max(methods[m].header_line, next - 1);
  }
}

}  // namespace ramulet
