#include "platform/variant.h"

#include <gtest/gtest.h>

namespace ramulet {
namespace {

class Thing : public Object {};

TEST(VariantTest, NumbersReadAsAutomationReadsThem) {
  EXPECT_EQ(Variant().ToNumber(), 0.0);  // a count never written reads 0
  EXPECT_EQ(Variant::Bool(true).ToNumber(), -1.0);
  EXPECT_EQ(Variant::Text(u" 12 ").ToNumber(), 12.0);
  EXPECT_EQ(Variant::Text(u"12a").ToNumber(), std::nullopt);
  EXPECT_EQ(Variant::Null().ToNumber(), std::nullopt);
  EXPECT_EQ(Variant::Double(2.5).ToInt32(), 2);  // half to even
  EXPECT_EQ(Variant::Double(3.5).ToInt32(), 4);
  EXPECT_EQ(Variant::Double(1e12).ToInt32(), std::nullopt);
  EXPECT_EQ(Variant::Object(std::make_shared<Thing>()).ToInt32(), std::nullopt);
}

TEST(VariantTest, EqualityKeepsTextsAndNumbersApart) {
  EXPECT_TRUE(Variant::Int16(1).Equals(Variant::Int32(1)));
  EXPECT_TRUE(Variant().Equals(Variant::Int32(0)));
  EXPECT_TRUE(Variant().EqualsText(u""));
  EXPECT_TRUE(Variant::Text(u"Имя").EqualsText(u"Имя"));
  EXPECT_FALSE(Variant::Text(u"Имя").EqualsText(u"имя"));
  EXPECT_FALSE(Variant::Text(u"Имя").EqualsText(u"Имя "));
  EXPECT_FALSE(Variant::Text(u"1").Equals(Variant::Int32(1)));
  EXPECT_FALSE(Variant::Int32(1).Equals(Variant::Text(u"1")));
  EXPECT_FALSE(Variant::Text(u"1").EqualsNumber(1));
  auto thing = std::make_shared<Thing>();
  EXPECT_TRUE(Variant::Object(thing).Equals(Variant::Object(thing)));
  EXPECT_FALSE(Variant::Object(thing).Equals(Variant::Object(std::make_shared<Thing>())));
}

TEST(VariantTest, ArraysAreValuesAndObjectsAreShared) {
  Variant array = Variant::Array({Variant::Int32(1), Variant::Text(u"a")});
  Variant copy = array;
  ASSERT_EQ(copy.ArraySize(), 2u);
  EXPECT_TRUE((*copy.AsArray())[1].EqualsText(u"a"));
  EXPECT_EQ(Variant::Int32(3).ArraySize(), 0u);
  EXPECT_EQ(Variant::Array({}).type(), Variant::Type::Array);

  auto thing = std::make_shared<Thing>();
  Variant object = Variant::Object(thing);
  EXPECT_EQ(object.AsObjectOf<Thing>(), thing);
  EXPECT_EQ(Variant::Int32(1).AsObject(), nullptr);
}

}  // namespace
}  // namespace ramulet
