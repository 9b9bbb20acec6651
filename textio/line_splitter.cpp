#include "cli/line_splitter.h"

namespace ramulet {

std::vector<std::u16string> SplitLines(std::u16string_view text) {
  std::vector<std::u16string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of(u"\r\n", start);
    if (end == std::u16string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    bool crlf = text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n';
    start = end + (crlf ? 2 : 1);
  }
  return lines;
}

}  // namespace ramulet
