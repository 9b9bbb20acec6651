#pragma once

#include <initializer_list>
#include <string_view>

namespace ramulet {

// True when the upper-cased text contains one of `upper_words` (each given
// in upper case). The same answer as searching UpperCase(text), without
// building the upper-cased copy: the analysis asks this of most lines.
bool ContainsAnyUpper(std::u16string_view text, std::initializer_list<std::u16string_view> upper_words);

}  // namespace ramulet
