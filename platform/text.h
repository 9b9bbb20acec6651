#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ramulet {

// Text of the host's modules is UTF-16, as automation strings are.

// The text without its leading U+0020 characters (tabs and others stay).
std::u16string_view DropLeadingSpaces(std::u16string_view text);
// The text without U+0020 characters on either side.
std::u16string_view TrimSpaces(std::u16string_view text);

// Upper case of one code unit: ASCII, Latin-1 and Cyrillic letters.
constexpr char16_t ToUpper(char16_t c) {
  if (c < 0x80) return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 0x20) : c;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 0x20);
  if (c == 0xFF) return 0x178;
  if (c >= 0x430 && c <= 0x44F) return static_cast<char16_t>(c - 0x20);
  if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 0x50);
  if (((c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF)) && (c & 1)) return static_cast<char16_t>(c - 1);
  return c;
}

// Lower case of one code unit, the inverse of ToUpper on its letters.
constexpr char16_t ToLower(char16_t c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 0x20) : c;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 0x20);
  if (c == 0x178) return 0xFF;
  if (c >= 0x410 && c <= 0x42F) return static_cast<char16_t>(c + 0x20);
  if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 0x50);
  if (((c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF)) && !(c & 1)) return static_cast<char16_t>(c + 1);
  return c;
}

// Every unit from here on is its own upper and lower case but U+0178, the
// upper case of U+00FF.
inline constexpr char16_t kFirstCaselessUnit = 0x4C0;
std::u16string UpperCase(std::u16string_view text);
// UpperCase(TrimSpaces(text)) written into `out`, reusing its storage.
void UpperTrimmedInto(std::u16string_view text, std::u16string& out);

bool Contains(std::u16string_view haystack, std::u16string_view needle);

// A decimal number in the text (surrounding spaces allowed), as automation
// reads a text in a numeric context; nullopt when it holds none.
std::optional<double> ParseNumber(std::u16string_view text);

// UTF-8 <-> UTF-16. Invalid input is replaced by U+FFFD, never rejected:
// one per maximal malformed subsequence (see ReadUtf8Step), one per
// unpaired surrogate.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);
// Utf16ToUtf8(text) appended to `out`.
void AppendUtf16AsUtf8(std::u16string_view text, std::string& out);

// Shorthand for literals in code and tests: u8"..." text as UTF-16.
inline std::u16string U16(std::string_view utf8) { return Utf8ToUtf16(utf8); }

}  // namespace ramulet
