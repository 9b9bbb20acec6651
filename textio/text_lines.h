#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/line_source.h"
#include "textio/line_table.h"

namespace ramulet {

// A module text held once, its lines as views into it (lines end as
// SplitLines says), found through a table of one offset a line. The
// analysis reads it as a LineSource.
class TextLines : public LineSource {
 public:
  TextLines() = default;
  explicit TextLines(std::u16string text);
  // Copies `lines`, for tests and tools that hold lines one by one. A line
  // must not end in CR or LF (a line never does): that one would be cut.
  static TextLines FromLines(const std::vector<std::u16string>& lines);

  size_t size() const { return table_.size(); }
  std::u16string_view Line(size_t index) const { return table_.Line(text_, index); }
  // The whole text, breaks included.
  const std::u16string& text() const { return text_; }

  // Fails with kOutOfRange for a text of more lines than an int32_t counts.
  Status LineCount(int32_t& count) override;
  // Fails with kOutOfRange for a line outside 0 .. LineCount - 1.
  Status Range(int32_t line, std::u16string_view& text) override;

 private:
  std::u16string text_;
  LineTable table_;
};

}  // namespace ramulet
