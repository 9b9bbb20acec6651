#include "textio/text_lines.h"

#include <limits>
#include <string>
#include <utility>

#include "textio/line_splitter.h"

namespace ramulet {

TextLines::TextLines(std::u16string text) : text_(std::move(text)) {
  // Room for lines of 32 units on average, so that a module of ordinary
  // lines is not copied while its lines are found.
  spans_.reserve(text_.size() / 32 + 1);
  ForEachLine(text_, [this](size_t begin, size_t length) { spans_.push_back({begin, length}); });
}

TextLines TextLines::FromLines(const std::vector<std::u16string>& lines) {
  TextLines result;
  for (const std::u16string& line : lines) {
    result.spans_.push_back({result.text_.size(), line.size()});
    result.text_ += line;
  }
  return result;
}

Status TextLines::LineCount(int32_t& count) {
  if (spans_.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
    return Status::Error(Status::kOutOfRange, "the module has more lines than can be counted");
  }
  count = static_cast<int32_t>(spans_.size());
  return Status::Ok();
}

Status TextLines::Range(int32_t line, std::u16string_view& text) {
  if (line < 0 || static_cast<size_t>(line) >= spans_.size()) {
    return Status::Error(Status::kOutOfRange, "there is no line " + std::to_string(line));
  }
  text = Line(static_cast<size_t>(line));
  return Status::Ok();
}

}  // namespace ramulet
