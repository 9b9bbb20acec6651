#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/unit_search.h"

namespace ramulet {

// Where lines end, for every reader of module text (the command line, the
// host's module files, the language server's documents): at CR LF, LF or a
// lone CR. LF CR is two breaks.
enum class LineBreak : uint8_t { kNone, kLf, kCr, kCrLf };

inline constexpr size_t BreakLength(LineBreak end) {
  return end == LineBreak::kCrLf ? 2 : end == LineBreak::kNone ? 0 : 1;
}

// Calls `line(begin, length, end)` for each line that a break ends, in
// order, `end` being that break; returns where the text after the last
// break begins (the text's size when it ends with a break).
template <class OnLine>
size_t ForEachBrokenLine(std::u16string_view text, OnLine line) {
  size_t start = 0;
  const size_t size = text.size();
  for (size_t i = FindEitherUnit(text, u'\n', u'\r'); i < size; i = FindEitherUnit(text, u'\n', u'\r', start)) {
    LineBreak end = LineBreak::kLf;
    if (text[i] == u'\r') {
      end = i + 1 < size && text[i + 1] == u'\n' ? LineBreak::kCrLf : LineBreak::kCr;
    }
    line(start, i - start, end);
    start = i + BreakLength(end);
  }
  return start;
}

// Calls `line(begin, length)` for each line of a module text, in order. The
// text after the last break is a line of its own only when it is not
// empty, so "a\n" is one line and "a\n\n" two.
template <class OnLine>
void ForEachLine(std::u16string_view text, OnLine line) {
  const size_t rest = ForEachBrokenLine(text, [&line](size_t begin, size_t length, LineBreak) { line(begin, length); });
  if (rest < text.size()) line(rest, text.size() - rest);
}

// The lines of a module text as separate strings.
std::vector<std::u16string> SplitLines(std::u16string_view text);

}  // namespace ramulet
