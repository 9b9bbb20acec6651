#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/unit_search.h"

namespace ramulet {

// Calls `line(begin, length)` for each line of a module text, in order. A
// line ends at CR LF, LF or a lone CR; the text after the last break is a
// line of its own only when it is not empty, so "a\n" is one line and
// "a\n\n" two.
template <class OnLine>
void ForEachLine(std::u16string_view text, OnLine line) {
  size_t start = 0;
  const size_t size = text.size();
  for (size_t i = FindEitherUnit(text, u'\n', u'\r'); i < size; i = FindEitherUnit(text, u'\n', u'\r', start)) {
    line(start, i - start);
    if (text[i] == u'\r' && i + 1 < size && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  if (start < size) line(start, size - start);
}

// The lines of a module text as separate strings.
std::vector<std::u16string> SplitLines(std::u16string_view text);

}  // namespace ramulet
