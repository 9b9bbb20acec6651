#include "textio/text_lines.h"

#include <limits>
#include <string>
#include <utility>

#include "textio/line_splitter.h"

namespace ramulet {

TextLines::TextLines(std::u16string text) : text_(std::move(text)) {
  table_.Build(text_, LineTable::FinalLine::kWhenNotEmpty);
}

// The lines are strung together without breaks: a line's end is where the
// next one starts, so a line that holds a break inside stays whole.
TextLines TextLines::FromLines(const std::vector<std::u16string>& lines) {
  TextLines result;
  std::vector<size_t>& starts = result.table_.starts();
  starts.reserve(lines.size() + 1);
  for (const std::u16string& line : lines) {
    starts.push_back(result.text_.size());
    result.text_ += line;
  }
  starts.push_back(result.text_.size());
  return result;
}

Status TextLines::LineCount(int32_t& count) {
  if (table_.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
    return Status::Error(Status::kOutOfRange, "the module has more lines than can be counted");
  }
  count = static_cast<int32_t>(table_.size());
  return Status::Ok();
}

Status TextLines::Range(int32_t line, std::u16string_view& text) {
  if (line < 0 || static_cast<size_t>(line) >= table_.size()) {
    return Status::Error(Status::kOutOfRange, "there is no line " + std::to_string(line));
  }
  text = Line(static_cast<size_t>(line));
  return Status::Ok();
}

}  // namespace ramulet
