#include "platform/text.h"

#include <gtest/gtest.h>

namespace ramulet {
namespace {

TEST(TextTest, TrimmingRemovesOnlySpaces) {
  EXPECT_EQ(DropLeadingSpaces(u"   \tА "), u"\tА ");
  EXPECT_EQ(TrimSpaces(u"  \tА\t  "), u"\tА\t");
  EXPECT_EQ(TrimSpaces(u"    "), u"");
  EXPECT_EQ(DropLeadingSpaces(u""), u"");
}

TEST(TextTest, UpperCaseCoversCyrillic) {
  EXPECT_EQ(UpperCase(u"процедура Ёлка ёж abc ß"), u"ПРОЦЕДУРА ЁЛКА ЁЖ ABC ß");
  EXPECT_EQ(UpperCase(u"далее"), u"ДАЛЕЕ");
  std::u16string out = u"old";
  UpperTrimmedInto(u"  конецфункции; ", out);
  EXPECT_EQ(out, u"КОНЕЦФУНКЦИИ;");
  for (char16_t c = 0x410; c <= 0x42F; ++c) EXPECT_EQ(ToUpper(ToLower(c)), c);
  EXPECT_EQ(ToLower(u'Ё'), u'ё');
}

TEST(TextTest, Utf8RoundTripsAndReplacesMalformedBytes) {
  const std::string text = "Процедура 😀 x";
  EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(text)), text);
  EXPECT_EQ(Utf8ToUtf16("a\xFF" "b"), u"a\uFFFDb");
  EXPECT_EQ(Utf8ToUtf16("\xD0"), u"\uFFFD");           // cut short
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");  // overlong
  EXPECT_EQ(Utf8ToUtf16("\xE2\x82" "b"), u"\uFFFDb");  // cut short: one for the two bytes
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(TextTest, ParsesNumbersOnly) {
  EXPECT_EQ(ParseNumber(u" 1 "), 1.0);
  EXPECT_EQ(ParseNumber(u"-2.5"), -2.5);
  EXPECT_EQ(ParseNumber(u""), std::nullopt);
  EXPECT_EQ(ParseNumber(u"1x"), std::nullopt);
  EXPECT_EQ(ParseNumber(u"один"), std::nullopt);
}

}  // namespace
}  // namespace ramulet
