#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "textio/line_splitter.h"

namespace ramulet {

// Where each line of a text starts, one offset a line: a line's length and
// break are read back from the text at the next line's start, so the table
// costs one word a line however the text is split.
class LineTable {
 public:
  // Whether the text after the last break is a line when it is empty: not
  // for a module file ("a\n" is one line), always for an editor's document
  // ("a\n" is "a" and an empty line after it).
  enum class FinalLine { kWhenNotEmpty, kAlways };

  void Build(std::u16string_view text, FinalLine final_line) {
    starts_.clear();
    // Room for lines of 32 units on average, so that a text of ordinary
    // lines is not copied while its lines are found.
    starts_.reserve(text.size() / 32 + 2);
    const size_t rest = ForEachBrokenLine(text, [this](size_t begin, size_t, LineBreak) { starts_.push_back(begin); });
    if (final_line == FinalLine::kAlways || rest < text.size()) starts_.push_back(rest);
    starts_.push_back(text.size());
  }

  size_t size() const { return starts_.empty() ? 0 : starts_.size() - 1; }
  size_t Start(size_t line) const { return starts_[line]; }
  // Where the line after `line` starts (the text's end after the last).
  size_t NextStart(size_t line) const { return starts_[line + 1]; }
  // Units of `line` without its break; `text` is the text the table is of.
  size_t Length(std::u16string_view text, size_t line) const {
    return starts_[line + 1] - starts_[line] - BreakLength(Break(text, line));
  }
  LineBreak Break(std::u16string_view text, size_t line) const {
    const size_t begin = starts_[line], next = starts_[line + 1];
    if (next == begin) return LineBreak::kNone;
    const char16_t last = text[next - 1];
    if (last == u'\r') return LineBreak::kCr;
    if (last != u'\n') return LineBreak::kNone;
    return next - begin >= 2 && text[next - 2] == u'\r' ? LineBreak::kCrLf : LineBreak::kLf;
  }
  std::u16string_view Line(std::u16string_view text, size_t line) const {
    return text.substr(starts_[line], Length(text, line));
  }

  // The starts themselves, for a document that edits them in place: one a
  // line and the text's size after them.
  std::vector<size_t>& starts() { return starts_; }
  const std::vector<size_t>& starts() const { return starts_; }

 private:
  std::vector<size_t> starts_;
};

}  // namespace ramulet
