#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ramulet {

// The lines of a module text. A line ends at CR LF, LF or a lone CR; the
// text after the last break is a line of its own only when it is not empty,
// so "a\n" is one line and "a\n\n" two.
std::vector<std::u16string> SplitLines(std::u16string_view text);

}  // namespace ramulet
