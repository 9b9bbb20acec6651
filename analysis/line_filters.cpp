#include "analysis/line_filters.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "platform/text.h"

namespace ramulet {

namespace {

enum UnitFlag : uint8_t { kSpace = 1, kHeaderStart = 2, kEndStart = 4 };

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

using FlagTable = std::array<uint8_t, 65536>;

const FlagTable& Flags() {
  static const FlagTable table = [] {
    FlagTable flags{};
    for (uint32_t u = 0; u < flags.size(); ++u) {
      char16_t unit = static_cast<char16_t>(u);
      if (IsPatternSpace(unit)) flags[u] |= kSpace;
      if (FoldsTo(unit, u'p') || FoldsTo(unit, u'П') || FoldsTo(unit, u'Ф')) flags[u] |= kHeaderStart;
      if (FoldsTo(unit, u'К')) flags[u] |= kEndStart;
    }
    return flags;
  }();
  return table;
}

}  // namespace

bool MayBeHeader(std::u16string_view trimmed) {
  const FlagTable& flags = Flags();
  size_t i = 0;
  while (i < trimmed.size() && (flags[trimmed[i]] & kSpace)) ++i;
  return i < trimmed.size() && (flags[trimmed[i]] & kHeaderStart);
}

bool MayBeEnd(std::u16string_view trimmed) { return !trimmed.empty() && (Flags()[trimmed[0]] & kEndStart); }

bool MayHoldCall(std::u16string_view text) {
  // The search for one unit that the compiler turns into a vector loop.
  for (char16_t unit : text) {
    if (unit == u'(') return true;
  }
  return false;
}

}  // namespace ramulet
