#pragma once

#include <cstdint>

namespace ramulet {

// What the module patterns, matched without regard to letter case, make of
// one UTF-16 unit. The quick tests and the call finder ask this of most
// units of a module, so the answers are kept in a table.
enum UnitClass : uint8_t {
  kUnitKnown = 1,        // the entry has been worked out
  kUnitSpace = 2,        // \s
  kUnitHeaderStart = 4,  // the first letter of "private", "ПРОЦЕДУРА" or "ФУНКЦИЯ"
  kUnitEndStart = 8,     // the first letter of "КОНЕЦПРОЦЕДУРЫ" and "КОНЕЦФУНКЦИИ"
  kUnitName = 16,        // the name class [\wА-яЁё¬\d]
};

// The pattern object's rule for a letter of a pattern: a unit matches it
// when their lower or upper cases agree.
bool FoldsTo(char16_t unit, char16_t letter);

uint8_t ComputeUnitClasses(char16_t unit);

// The classes of `unit`, worked out on first use: a table filled up front
// would cost more than the analysis of a small module.
inline uint8_t UnitClasses(char16_t unit) {
  static uint8_t known[65536];
  uint8_t& classes = known[unit];
  if (classes == 0) classes = ComputeUnitClasses(unit);
  return classes;
}

inline bool IsNameUnit(char16_t unit) { return UnitClasses(unit) & kUnitName; }
inline bool IsPatternSpace(char16_t unit) { return UnitClasses(unit) & kUnitSpace; }

}  // namespace ramulet
