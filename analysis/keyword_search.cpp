#include "analysis/keyword_search.h"

#include "platform/text.h"

namespace ramulet {

KeywordSet::KeywordSet(std::initializer_list<std::u16string_view> upper_words) {
  for (std::u16string_view word : upper_words) {
    if (word.empty() || word_count_ == kMaxWords) continue;
    words_[word_count_++] = word;
    AddFirstUnit(word[0]);
    AddFirstUnit(ToLower(word[0]));
  }
}

bool KeywordSet::FoundIn(std::u16string_view text) const {
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t unit = text[i];
    if (IsFirstUnit(unit) && StartsAt(text, i, unit)) return true;
  }
  return false;
}

bool KeywordSet::StartsAt(std::u16string_view text, size_t start, char16_t unit) const {
  char16_t upper = ToUpper(unit);
  for (size_t w = 0; w < word_count_; ++w) {
    std::u16string_view word = words_[w];
    if (word[0] != upper || text.size() - start < word.size()) continue;
    size_t k = 1;
    while (k < word.size() && ToUpper(text[start + k]) == word[k]) ++k;
    if (k == word.size()) return true;
  }
  return false;
}

}  // namespace ramulet
