#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/line_source.h"

namespace ramulet {

// A module text held once, its lines as views into it (lines end as
// SplitLines says). The analysis reads it as a LineSource.
class TextLines : public LineSource {
 public:
  TextLines() = default;
  explicit TextLines(std::u16string text);
  // Copies `lines`, for tests and tools that hold lines one by one.
  static TextLines FromLines(const std::vector<std::u16string>& lines);

  size_t size() const { return spans_.size(); }
  std::u16string_view Line(size_t index) const {
    return std::u16string_view(text_).substr(spans_[index].begin, spans_[index].length);
  }

  // Fails with kOutOfRange for a text of more lines than an int32_t counts.
  Status LineCount(int32_t& count) override;
  // Fails with kOutOfRange for a line outside 0 .. LineCount - 1.
  Status Range(int32_t line, std::u16string_view& text) override;

 private:
  struct Span {
    size_t begin;
    size_t length;
  };
  std::u16string text_;
  std::vector<Span> spans_;
};

}  // namespace ramulet
