#include "analysis/line_filters.h"

#include <cstdint>

#include "platform/text.h"

namespace ramulet {

namespace {

enum UnitFlag : uint8_t { kKnown = 1, kSpace = 2, kHeaderStart = 4, kEndStart = 8 };

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

uint8_t ComputeFlags(char16_t unit) {
  uint8_t flags = kKnown;
  if (IsPatternSpace(unit)) flags |= kSpace;
  if (FoldsTo(unit, u'p') || FoldsTo(unit, u'П') || FoldsTo(unit, u'Ф')) flags |= kHeaderStart;
  if (FoldsTo(unit, u'К')) flags |= kEndStart;
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

bool MayHoldCall(std::u16string_view text) {
  // The search for one unit that the compiler turns into a vector loop.
  for (char16_t unit : text) {
    if (unit == u'(') return true;
  }
  return false;
}

}  // namespace ramulet
