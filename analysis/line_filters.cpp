#include "analysis/line_filters.h"

#include <cstdint>

#include "platform/text.h"

namespace ramulet {

namespace {

enum UnitFlag : uint8_t { kKnown = 1, kSpace = 2, kHeaderStart = 4, kEndStart = 8, kName = 16 };

// The pattern object's rule for a letter under IgnoreCase: a unit matches
// when their lower or upper cases agree.
bool FoldsTo(char16_t unit, char16_t letter) {
  return ToLower(unit) == ToLower(letter) || ToUpper(unit) == ToUpper(letter);
}

// \s under IgnoreCase: a unit matches a class when it or its upper or lower
// case is in it.
bool IsPatternSpace(char16_t unit) {
  auto in_class = [](char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
  };
  return in_class(unit) || in_class(ToUpper(unit)) || in_class(ToLower(unit));
}

// The name class of the header and call patterns, [\\wА-яЁё¬\\d], under
// IgnoreCase, by the same rule as \\s.
bool IsNameUnit(char16_t unit) {
  auto in_class = [](char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' ||
           (c >= u'А' && c <= u'я') || c == u'Ё' || c == u'ё' || c == u'¬';
  };
  return in_class(unit) || in_class(ToUpper(unit)) || in_class(ToLower(unit));
}

uint8_t ComputeFlags(char16_t unit) {
  uint8_t flags = kKnown;
  if (IsPatternSpace(unit)) flags |= kSpace;
  if (FoldsTo(unit, u'p') || FoldsTo(unit, u'П') || FoldsTo(unit, u'Ф')) flags |= kHeaderStart;
  if (FoldsTo(unit, u'К')) flags |= kEndStart;
  if (IsNameUnit(unit)) flags |= kName;
  return flags;
}

// The flags of each unit, worked out on first use: a table filled up front
// would cost more than the analysis of a small module.
uint8_t FlagsOf(char16_t unit) {
  static uint8_t known[65536];
  uint8_t& flags = known[unit];
  if (flags == 0) flags = ComputeFlags(unit);
  return flags;
}

}  // namespace

bool MayBeHeader(std::u16string_view trimmed) {
  size_t i = 0;
  while (i < trimmed.size() && (FlagsOf(trimmed[i]) & kSpace)) ++i;
  return i < trimmed.size() && (FlagsOf(trimmed[i]) & kHeaderStart);
}

bool MayBeEnd(std::u16string_view trimmed) { return !trimmed.empty() && (FlagsOf(trimmed[0]) & kEndStart); }

bool MayCallAMethod(std::u16string_view text, const MethodTables& tables) {
  for (size_t paren = text.find(u'('); paren != std::u16string_view::npos; paren = text.find(u'(', paren + 1)) {
    size_t name_end = paren;
    while (name_end > 0 && (FlagsOf(text[name_end - 1]) & kSpace)) --name_end;
    size_t name_begin = name_end;
    while (name_begin > 0 && (FlagsOf(text[name_begin - 1]) & kName)) --name_begin;
    if (name_begin < name_end && tables.NomMet(text.substr(name_begin, name_end - name_begin)) >= 0) return true;
  }
  return false;
}

}  // namespace ramulet
