#include "platform/dictionary.h"

#include <gtest/gtest.h>

namespace ramulet {
namespace {

TEST(DictionaryTest, KeepsInsertionOrderAndRefusesDuplicateKeys) {
  Dictionary d;
  ASSERT_TRUE(d.Add(Variant::Text(u"Б"), Variant::Int32(0)).ok());
  ASSERT_TRUE(d.Add(Variant::Text(u"б"), Variant::Int32(1)).ok());  // letter case makes another key
  ASSERT_TRUE(d.Add(Variant::Text(u"А"), Variant::Int32(2)).ok());
  Status duplicate = d.Add(Variant::Text(u"Б"), Variant::Int32(9));
  EXPECT_EQ(duplicate.code(), Status::kDuplicateKey);
  EXPECT_NE(duplicate.message().find("\"Б\""), std::string::npos);
  EXPECT_EQ(d.Count(), 3u);
  ASSERT_EQ(d.Keys().ArraySize(), 3u);
  EXPECT_TRUE((*d.Keys().AsArray())[2].EqualsText(u"А"));
  EXPECT_TRUE((*d.Items().AsArray())[0].EqualsNumber(0));
  EXPECT_TRUE(d.ExistsText(u"б"));
  EXPECT_FALSE(d.ExistsText(u"В"));
  EXPECT_FALSE(d.ExistsText(u"Б "));
}

TEST(DictionaryTest, NumericKeysCompareByValue) {
  Dictionary d;
  ASSERT_TRUE(d.Add(Variant::Int32(1), Variant::Int32(10)).ok());
  EXPECT_TRUE(d.Exists(Variant::Int16(1)));
  EXPECT_FALSE(d.Exists(Variant::Text(u"1")));
  EXPECT_EQ(d.Add(Variant::Int16(1), Variant()).code(), Status::kDuplicateKey);
  ASSERT_TRUE(d.Add(Variant::Text(u"1"), Variant()).ok());
  ASSERT_NE(d.Find(Variant::Int32(1)), nullptr);
  EXPECT_TRUE(d.Find(Variant::Int32(1))->EqualsNumber(10));
  EXPECT_EQ(d.Add(Variant::Null(), Variant()).code(), Status::kInvalidArgument);
}

}  // namespace
}  // namespace ramulet
