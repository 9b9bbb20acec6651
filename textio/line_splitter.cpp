#include "textio/line_splitter.h"

namespace ramulet {

std::vector<std::u16string> SplitLines(std::u16string_view text) {
  std::vector<std::u16string> lines;
  ForEachLine(text, [&](size_t begin, size_t length) { lines.emplace_back(text.substr(begin, length)); });
  return lines;
}

}  // namespace ramulet
