#include "analysis/keyword_search.h"

#include "platform/text.h"

namespace ramulet {

namespace {

bool MatchesAt(std::u16string_view text, size_t start, std::u16string_view upper_word) {
  if (text.size() - start < upper_word.size()) return false;
  for (size_t k = 1; k < upper_word.size(); ++k) {
    if (ToUpper(text[start + k]) != upper_word[k]) return false;
  }
  return true;
}

}  // namespace

bool ContainsAnyUpper(std::u16string_view text, std::initializer_list<std::u16string_view> upper_words) {
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t upper = ToUpper(text[i]);
    for (std::u16string_view word : upper_words) {
      if (!word.empty() && word[0] == upper && MatchesAt(text, i, word)) return true;
    }
  }
  return false;
}

}  // namespace ramulet
