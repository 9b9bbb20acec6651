#include "analysis/unit_classes.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace ramulet {
namespace {

// The table made by the compiler gives every unit below kFirstCaselessUnit
// its computed classes, and the units it leaves out belong to no class:
// ClassesOfUnit answers as ComputeUnitClasses for every unit.
TEST(UnitClassesTest, TableAgreesWithTheComputedClassesForEveryUnit) {
  int classless_above = 0;
  for (uint32_t unit = 0; unit <= 0xFFFF; ++unit) {
    const auto c = static_cast<char16_t>(unit);
    ASSERT_EQ(ClassesOfUnit(c), ComputeUnitClasses(c)) << "U+" << std::hex << unit;
    if (unit < kFirstCaselessUnit) {
      ASSERT_EQ(kUnitClassTable[unit], ComputeUnitClasses(c)) << "U+" << std::hex << unit;
    } else {
      ASSERT_EQ(ComputeUnitClasses(c), 0) << "U+" << std::hex << unit;
      ++classless_above;
    }
  }
  EXPECT_EQ(classless_above, 0x10000 - kFirstCaselessUnit);
}

// Spot checks of the classes the quick tests rely on.
TEST(UnitClassesTest, ClassesOfKnownUnits) {
  struct Case {
    char16_t unit;
    uint8_t classes;
  };
  const Case cases[] = {
      {u' ', kUnitSpace},       {u'\v', kUnitSpace},     {u'\u00A0', 0},
      {u'p', kUnitHeaderStart | kUnitName},             {u'P', kUnitHeaderStart | kUnitName},
      {u'п', kUnitHeaderStart | kUnitName},             {u'Ф', kUnitHeaderStart | kUnitName},
      {u'к', kUnitEndStart | kUnitName},                {u'Ё', kUnitName},
      {u'¬', kUnitName},        {u'_', kUnitName},       {u'7', kUnitName},
      {u'(', 0},                {u'\u0178', 0},          {u'ÿ', 0},
  };
  for (const Case& c : cases) EXPECT_EQ(ClassesOfUnit(c.unit), c.classes) << static_cast<int>(c.unit);
}

}  // namespace
}  // namespace ramulet
