#include "platform/regexp/unit_set.h"

#include <gtest/gtest.h>

#include "platform/text.h"

namespace ramulet {
namespace {

// Every unit that satisfies `rule`, by brute force.
template <typename Rule>
UnitSet AllUnitsWhere(Rule rule) {
  UnitSet set;
  for (unsigned c = 0; c <= 0xFFFF; ++c) {
    if (rule(static_cast<char16_t>(c))) set.Add(static_cast<char16_t>(c));
  }
  return set;
}

TEST(UnitSetTest, CaselessUnitFollowsItsDefinition) {
  for (char16_t unit : {u'a', u'Z', u'_', u'1', u'é', u'É', u'ÿ', u'Ÿ', u'µ', u'×', u'ж', u'Ж', u'ё', u'Ё',
                        u'Ѐ', u'ѐ', u'Ѡ', u'ѡ', u'Ҋ', u'ҋ', u'¬', u'\u04C0', u'\u2126'}) {
    const UnitSet expected = AllUnitsWhere(
        [&](char16_t c) { return ToLower(c) == ToLower(unit) || ToUpper(c) == ToUpper(unit); });
    EXPECT_EQ(CaselessUnit(unit), expected) << "unit " << int{unit};
  }
}

TEST(UnitSetTest, CaselessClassFollowsItsDefinition) {
  UnitSet cyrillic;
  cyrillic.Add(u'А', u'я');
  UnitSet mixed;
  mixed.Add(u'a', u'f');
  mixed.Add(u'Ё');
  mixed.Add(u'ÿ');
  for (const UnitSet& set : {cyrillic, mixed, UnitSet::Word().Complement(), UnitSet::Spaces()}) {
    const UnitSet expected = AllUnitsWhere(
        [&](char16_t c) { return set.Contains(c) || set.Contains(ToUpper(c)) || set.Contains(ToLower(c)); });
    EXPECT_EQ(CaselessClass(set), expected);
  }
  // Ё and ё stay outside А-я: neither they nor their partners are in it.
  EXPECT_FALSE(CaselessClass(cyrillic).Contains(u'Ё'));
  EXPECT_FALSE(CaselessClass(cyrillic).Contains(u'ё'));
}

TEST(UnitSetTest, RangesStayMergedAndComplementIsExact) {
  UnitSet set;
  set.Add(u'd', u'f');
  set.Add(u'a', u'b');
  set.Add(u'c');
  set.Add(u'x', u'z');
  set.Add(u'y', u'}');
  ASSERT_EQ(set.ranges().size(), 2u);
  EXPECT_EQ(set.ranges()[0], (UnitSet::Range{u'a', u'f'}));
  EXPECT_EQ(set.ranges()[1], (UnitSet::Range{u'x', u'}'}));
  const UnitSet complement = set.Complement();
  for (char16_t c : {u'\0', u'`', u'a', u'f', u'g', u'w', u'x', u'}', u'~', u'\uFFFF'}) {
    EXPECT_NE(set.Contains(c), complement.Contains(c)) << int{c};
  }
  EXPECT_EQ(complement.Complement(), set);
  EXPECT_EQ(UnitSet::All().Complement().ranges().size(), 0u);
}

}  // namespace
}  // namespace ramulet
