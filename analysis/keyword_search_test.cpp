#include "analysis/keyword_search.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/text.h"

namespace ramulet {
namespace {

TEST(KeywordSearchTest, FindsWordsInAnyLetterCase) {
  EXPECT_TRUE(KeywordSet{u"ПРОЦЕДУРА"}.FoundIn(u"х = \"процедура\";"));
  EXPECT_TRUE((KeywordSet{u"//", u"ФУНКЦИЯ"}.FoundIn(u"ФункцияРасчета()")));
  EXPECT_TRUE((KeywordSet{u"ПРОЦЕДУРА", u"//"}.FoundIn(u"a(); // b")));
  EXPECT_TRUE(KeywordSet{u"ПРОЦЕДУРА"}.FoundIn(u"ппроцедура"));  // a false start before the match
  EXPECT_FALSE(KeywordSet{u"ПРОЦЕДУРА"}.FoundIn(u"Процедур"));
  EXPECT_FALSE(KeywordSet{u"ФУНКЦИЯ"}.FoundIn(u"Функцию()"));
  EXPECT_FALSE(KeywordSet{u"//"}.FoundIn(u"a / / b"));
  EXPECT_FALSE(KeywordSet{u"//"}.FoundIn(u""));
}

// Must agree with searching the upper-cased, space-trimmed copy.
TEST(KeywordSearchTest, AgreesWithSearchingTheUpperCasedCopy) {
  const std::u16string alphabet = u"пПрРоОцЦеЕдДуУаАфФнНкКиИяЯ /ёЁ";
  std::mt19937 random(7);
  for (int round = 0; round < 20000; ++round) {
    std::u16string text;
    int length = static_cast<int>(random() % 30);
    for (int i = 0; i < length; ++i) text.push_back(alphabet[random() % alphabet.size()]);
    std::u16string upper = UpperCase(TrimSpaces(text));
    for (std::u16string_view word : {u"//", u"ПРОЦЕДУРА", u"ФУНКЦИЯ", u"ДАЛЕЕ", u"ДУ", u"ЯФ"}) {
      ASSERT_EQ(KeywordSet{word}.FoundIn(text), Contains(upper, word)) << Utf16ToUtf8(text);
    }
    bool any = Contains(upper, u"//") || Contains(upper, u"ПРОЦЕДУРА") || Contains(upper, u"ФУНКЦИЯ");
    ASSERT_EQ((KeywordSet{u"//", u"ПРОЦЕДУРА", u"ФУНКЦИЯ"}.FoundIn(text)), any) << Utf16ToUtf8(text);
  }
}

// The search takes a word's letter to match only itself and its lower
// case: no other unit may have it as its upper case.
TEST(KeywordSearchTest, OnlyALetterAndItsLowerCaseHaveItsUpperCase) {
  for (char16_t letter : std::u16string_view(u"/ПРОЦЕДУАФНКИЯЛ")) {
    for (uint32_t unit = 0; unit < 0x10000; ++unit) {
      if (ToUpper(static_cast<char16_t>(unit)) != letter) continue;
      EXPECT_TRUE(unit == letter || unit == ToLower(letter)) << unit;
    }
  }
}

}  // namespace
}  // namespace ramulet
