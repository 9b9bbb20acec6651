#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "analysis/language_keywords.h"

namespace ramulet {

// A link over part of a line: [column, column + length) to `href`.
struct LineLink {
  int32_t column = 0;
  int32_t length = 0;
  std::string_view href;
};

// What a line leaves open for the next: a string that may go on at a "|".
struct HighlightState {
  bool in_string = false;
};

// Appends `line` as escaped HTML with light highlighting by the language's
// lexical rules: <b> keywords, <s> strings and dates, <i> comments, <u>
// directives (# and & lines); and each link, sorted by column
// and not overlapping, as <a href>. A link that would cross a string's,
// comment's or directive's edge is left out rather than break the markup.
void AppendHighlightedLine(std::u16string_view line, std::span<const LineLink> links,
                           const language::Keywords& keywords, HighlightState& state, std::string& out);

}  // namespace ramulet
