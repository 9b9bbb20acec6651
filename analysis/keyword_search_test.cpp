#include "analysis/keyword_search.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/text.h"

namespace ramulet {
namespace {

TEST(KeywordSearchTest, FindsWordsInAnyLetterCase) {
  EXPECT_TRUE(ContainsAnyUpper(u"х = \"процедура\";", {u"ПРОЦЕДУРА"}));
  EXPECT_TRUE(ContainsAnyUpper(u"ФункцияРасчета()", {u"//", u"ФУНКЦИЯ"}));
  EXPECT_TRUE(ContainsAnyUpper(u"a(); // b", {u"ПРОЦЕДУРА", u"//"}));
  EXPECT_TRUE(ContainsAnyUpper(u"ппроцедура", {u"ПРОЦЕДУРА"}));  // a false start before the match
  EXPECT_FALSE(ContainsAnyUpper(u"Процедур", {u"ПРОЦЕДУРА"}));
  EXPECT_FALSE(ContainsAnyUpper(u"Функцию()", {u"ФУНКЦИЯ"}));
  EXPECT_FALSE(ContainsAnyUpper(u"a / / b", {u"//"}));
  EXPECT_FALSE(ContainsAnyUpper(u"", {u"//"}));
}

// Must agree with searching the upper-cased, space-trimmed copy.
TEST(KeywordSearchTest, AgreesWithSearchingTheUpperCasedCopy) {
  const std::u16string alphabet = u"пПрРоОцЦеЕдДуУаАфФнНкКиИяЯ /ёЁ";
  std::mt19937 random(7);
  for (int round = 0; round < 20000; ++round) {
    std::u16string text;
    int length = static_cast<int>(random() % 14);
    for (int i = 0; i < length; ++i) text.push_back(alphabet[random() % alphabet.size()]);
    std::u16string upper = UpperCase(TrimSpaces(text));
    for (std::u16string_view word : {u"//", u"ПРОЦЕДУРА", u"ФУНКЦИЯ", u"ДАЛЕЕ", u"ДУ", u"ЯФ"}) {
      ASSERT_EQ(ContainsAnyUpper(text, {word}), Contains(upper, word)) << Utf16ToUtf8(text);
    }
  }
}

}  // namespace
}  // namespace ramulet
