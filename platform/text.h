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
char16_t ToUpper(char16_t c);
// Lower case of one code unit, the inverse of ToUpper on its letters.
char16_t ToLower(char16_t c);
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
