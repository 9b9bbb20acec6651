#pragma once

#include <array>
#include <cstdint>

#include "platform/text.h"

namespace ramulet {

// What the module patterns, matched without regard to letter case, make of
// one UTF-16 unit. The quick tests and the call finder ask this of most
// units of a module, so the answers are kept in a table.
enum UnitClass : uint8_t {
  kUnitSpace = 2,        // \s
  kUnitHeaderStart = 4,  // the first letter of "private", "ПРОЦЕДУРА" or "ФУНКЦИЯ"
  kUnitEndStart = 8,     // the first letter of "КОНЕЦПРОЦЕДУРЫ" and "КОНЕЦФУНКЦИИ"
  kUnitName = 16,        // the name class [\wА-яЁё¬\d]
};

// The pattern object's rule for a letter of a pattern: a unit matches it
// when their lower or upper cases agree.
constexpr bool FoldsTo(char16_t unit, char16_t letter) {
  return ToLower(unit) == ToLower(letter) || ToUpper(unit) == ToUpper(letter);
}

namespace unit_classes_detail {

constexpr bool InSpaceClass(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
}

constexpr bool InNameClass(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' ||
         (c >= u'А' && c <= u'я') || c == u'Ё' || c == u'ё' || c == u'¬';
}

// A unit is in a class under IgnoreCase when it or its upper or lower case
// is in it.
template <typename InClass>
constexpr bool InClassIgnoringCase(char16_t unit, InClass in_class) {
  return in_class(unit) || in_class(ToUpper(unit)) || in_class(ToLower(unit));
}

}  // namespace unit_classes_detail

constexpr uint8_t ComputeUnitClasses(char16_t unit) {
  using namespace unit_classes_detail;
  uint8_t classes = 0;
  if (InClassIgnoringCase(unit, InSpaceClass)) classes |= kUnitSpace;
  if (FoldsTo(unit, u'p') || FoldsTo(unit, u'П') || FoldsTo(unit, u'Ф')) classes |= kUnitHeaderStart;
  if (FoldsTo(unit, u'К')) classes |= kUnitEndStart;
  if (InClassIgnoringCase(unit, InNameClass)) classes |= kUnitName;
  return classes;
}

// Every unit at or above kFirstCaselessUnit is its own upper and lower case
// (U+0178 aside, whose lower case is in no class either) and lies outside
// every class, so the table needs only the units below it. It is made by the
// compiler: nothing is written to it at run time, and any thread may read it.
inline constexpr std::array<uint8_t, kFirstCaselessUnit> kUnitClassTable = [] {
  std::array<uint8_t, kFirstCaselessUnit> table{};
  for (char16_t unit = 0; unit < kFirstCaselessUnit; ++unit) table[unit] = ComputeUnitClasses(unit);
  return table;
}();

inline uint8_t ClassesOfUnit(char16_t unit) { return unit < kFirstCaselessUnit ? kUnitClassTable[unit] : 0; }

inline bool IsNameUnit(char16_t unit) { return ClassesOfUnit(unit) & kUnitName; }
inline bool IsPatternSpace(char16_t unit) { return ClassesOfUnit(unit) & kUnitSpace; }

}  // namespace ramulet
