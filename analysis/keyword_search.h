#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace ramulet {

// A few words, given in upper case, looked for in the upper-cased form of
// lines: the same answer as searching UpperCase(text), without building the
// upper-cased copy. The analysis asks this of most lines. A letter of a
// word matches the units whose upper case it is: itself and its lower case.
class KeywordSet {
 public:
  static constexpr size_t kMaxWords = 4;

  KeywordSet(std::initializer_list<std::u16string_view> upper_words);
  bool FoundIn(std::u16string_view text) const;

 private:
  bool StartsAt(std::u16string_view text, size_t start, char16_t unit) const;
  static constexpr size_t kFoundInBlocks = static_cast<size_t>(-1);
  size_t FoundInBlocks(std::u16string_view text) const;
  void AddFirstUnit(char16_t unit) { first_units_[unit >> 6] |= uint64_t{1} << (unit & 63); }
  bool IsFirstUnit(char16_t unit) const { return (first_units_[unit >> 6] >> (unit & 63)) & 1; }

  std::array<std::u16string_view, kMaxWords> words_{};
  size_t word_count_ = 0;
  // One bit per code unit a match can start with: each word's first letter
  // in either case.
  std::array<uint64_t, 65536 / 64> first_units_{};
};

}  // namespace ramulet
