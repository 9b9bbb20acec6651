#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/text.h"

// The lexical rules of the module language, as the language's own rule set
// reads a line: spaces and tabs separate tokens; identifiers (a letter or
// "_", then letters, digits and "_"; letters ASCII and Cyrillic А–я, Ё, ё),
// numbers (a run of those that begins with a digit), strings ("" a quote
// inside; one open at the end of a line may go on at a "|" on a later
// line), date literals ('…'), comments (// to the end of the line) and
// every other unit a token of its own.

namespace ramulet::language {

enum CharClass : uint8_t {
  kBlank = 1,   // space or tab
  kLetter = 2,  // may begin an identifier: a letter or "_"
  kDigit = 4,
};

inline constexpr char16_t kLastClassedUnit = u'ё';

inline constexpr std::array<uint8_t, kLastClassedUnit + 1> kCharClasses = [] {
  std::array<uint8_t, kLastClassedUnit + 1> table{};
  table[u' '] = table[u'\t'] = kBlank;
  for (char16_t c = u'a'; c <= u'z'; ++c) table[c] = kLetter;
  for (char16_t c = u'A'; c <= u'Z'; ++c) table[c] = kLetter;
  for (char16_t c = u'0'; c <= u'9'; ++c) table[c] = kDigit;
  table[u'_'] = kLetter;
  for (char16_t c = u'А'; c <= u'я'; ++c) table[c] = kLetter;
  table[u'Ё'] = table[u'ё'] = kLetter;
  return table;
}();

inline uint8_t ClassOf(char16_t unit) { return unit <= kLastClassedUnit ? kCharClasses[unit] : 0; }
inline bool IsBlank(char16_t unit) { return ClassOf(unit) & kBlank; }
inline bool IsWordUnit(char16_t unit) { return ClassOf(unit) & (kLetter | kDigit); }

inline constexpr std::array<char16_t, kLastClassedUnit + 1> kFoldTable = [] {
  std::array<char16_t, kLastClassedUnit + 1> table{};
  for (char16_t c = 0; c <= kLastClassedUnit; ++c) table[c] = ToUpper(c);
  return table;
}();

// The case-free form of an identifier's unit: ASCII and Cyrillic letters
// in upper case (ё as Ё, which stays apart from Е). Every unit of an
// identifier is in the table.
inline char16_t Fold(char16_t unit) { return unit <= kLastClassedUnit ? kFoldTable[unit] : ToUpper(unit); }

// Whether `word` (an identifier) equals `upper` (given in upper case),
// letter case ignored.
inline bool SameWord(std::u16string_view word, std::u16string_view upper) {
  if (word.size() != upper.size()) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    if (Fold(word[i]) != upper[i]) return false;
  }
  return true;
}

enum class TokenKind : uint8_t { kIdentifier, kNumber, kString, kDate, kOther };

// Small enough to travel in registers: a line is shorter than 2^32 units.
struct Token {
  uint32_t begin = 0;
  uint32_t end = 0;
  TokenKind kind = TokenKind::kOther;
};

// Where a string that was open at the end of a line stands on the next one.
enum class Continuation : uint8_t {
  kGoesOn,    // the line begins with "|": the string goes on after it
  kSkipped,   // a blank or comment line: the string still waits
  kEnded,     // anything else: the string ended with the line before
  kDirective  // a "#" or "&" line, which ends the string and holds nothing
};

// The first unit of `text` that is not a space or tab (text.size() when
// there is none).
inline size_t FirstNonBlank(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  return i;
}

// The identifier the line begins with (after spaces and tabs), empty when
// it begins with anything else.
inline std::u16string_view FirstWord(std::u16string_view text) {
  const size_t begin = FirstNonBlank(text);
  if (begin == text.size() || !(ClassOf(text[begin]) & kLetter)) return {};
  size_t end = begin + 1;
  while (end < text.size() && IsWordUnit(text[end])) ++end;
  return text.substr(begin, end - begin);
}

inline bool IsDirectiveLine(std::u16string_view text) {
  const size_t i = FirstNonBlank(text);
  return i < text.size() && (text[i] == u'#' || text[i] == u'&');
}

inline bool IsCommentAt(std::u16string_view text, size_t i) {
  return i + 1 < text.size() && text[i] == u'/' && text[i + 1] == u'/';
}

inline Continuation ContinuationOf(std::u16string_view text, size_t& after_bar) {
  const size_t i = FirstNonBlank(text);
  if (i == text.size() || IsCommentAt(text, i)) return Continuation::kSkipped;
  if (text[i] == u'|') {
    after_bar = i + 1;
    return Continuation::kGoesOn;
  }
  if (text[i] == u'#' || text[i] == u'&') return Continuation::kDirective;
  return Continuation::kEnded;
}

// Reads the rest of a string whose opening quote (or continuation bar) lies
// before `from`: returns the position after its closing quote, or npos
// when the line ends first (the string is then still open).
inline size_t SkipStringBody(std::u16string_view text, size_t from) {
  for (size_t i = from;; i += 2) {
    const size_t quote = text.find(u'"', i);
    if (quote == std::u16string_view::npos) return std::u16string_view::npos;
    if (quote + 1 >= text.size() || text[quote + 1] != u'"') return quote + 1;
    i = quote;  // a doubled quote: go on after it
  }
}

// The token that begins at `i` (a unit that is not blank and begins no
// comment). A string that runs past the end of the line ends at it, with
// `open_string` set.
inline Token ReadToken(std::u16string_view text, size_t i, bool& open_string) {
  const char16_t unit = text[i];
  const uint8_t cls = ClassOf(unit);
  size_t end = i + 1;
  if (cls & (kLetter | kDigit)) {
    while (end < text.size() && IsWordUnit(text[end])) ++end;
    return Token{static_cast<uint32_t>(i), static_cast<uint32_t>(end),
                 (cls & kLetter) ? TokenKind::kIdentifier : TokenKind::kNumber};
  }
  if (unit == u'"') {
    end = SkipStringBody(text, i + 1);
    if (end == std::u16string_view::npos) {
      open_string = true;
      end = text.size();
    }
    return Token{static_cast<uint32_t>(i), static_cast<uint32_t>(end), TokenKind::kString};
  }
  if (unit == u'\'') {
    const size_t close = text.find(u'\'', i + 1);
    end = close == std::u16string_view::npos ? text.size() : close + 1;
    return Token{static_cast<uint32_t>(i), static_cast<uint32_t>(end), TokenKind::kDate};
  }
  return Token{static_cast<uint32_t>(i), static_cast<uint32_t>(end), TokenKind::kOther};
}

}  // namespace ramulet::language
