#include "analysis/keyword_search.h"

#include "platform/text.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
  size_t i = 0;
#if defined(__SSE2__)
  i = FoundInBlocks(text);
  if (i == kFoundInBlocks) return true;
#endif
  for (; i < text.size(); ++i) {
    char16_t unit = text[i];
    if (IsFirstUnit(unit) && StartsAt(text, i, unit)) return true;
  }
  return false;
}

#if defined(__SSE2__)
// Eight places a step: a place is looked at only where its unit and the
// next can begin a word (each in either case). Returns kFoundInBlocks when
// a word was found, else where the rest of the text begins.
size_t KeywordSet::FoundInBlocks(std::u16string_view text) const {
  __m128i letters[kMaxWords][4];
  for (size_t w = 0; w < word_count_; ++w) {
    const std::u16string_view word = words_[w];
    const char16_t second = word.size() > 1 ? word[1] : 0;
    const char16_t cases[4] = {word[0], ToLower(word[0]), second, second ? ToLower(second) : char16_t{0}};
    for (size_t k = 0; k < 4; ++k) letters[w][k] = _mm_set1_epi16(static_cast<short>(cases[k]));
  }
  size_t i = 0;
  for (; i + 9 <= text.size(); i += 8) {
    const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
    const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i + 1));
    __m128i hits = _mm_setzero_si128();
    for (size_t w = 0; w < word_count_; ++w) {
      __m128i starts = _mm_or_si128(_mm_cmpeq_epi16(first, letters[w][0]), _mm_cmpeq_epi16(first, letters[w][1]));
      if (words_[w].size() > 1) {
        starts = _mm_and_si128(starts, _mm_or_si128(_mm_cmpeq_epi16(next, letters[w][2]),
                                                    _mm_cmpeq_epi16(next, letters[w][3])));
      }
      hits = _mm_or_si128(hits, starts);
    }
    for (unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hits)); mask != 0; mask &= mask - 1) {
      const size_t at = i + static_cast<size_t>(__builtin_ctz(mask)) / 2;
      mask &= mask - 1;  // each unit gives two bits
      if (StartsAt(text, at, text[at])) return kFoundInBlocks;
    }
  }
  return i;
}
#endif

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
