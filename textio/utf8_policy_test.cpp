// One reading of malformed UTF-8 everywhere: the module decoder and the
// conversion the rest of the program uses give the same text for the same
// bytes, one U+FFFD per maximal malformed subsequence.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/text.h"
#include "textio/text_decoding.h"

namespace ramulet {
namespace {

struct PolicyCase {
  const char* name;
  std::string bytes;
  std::u16string text;
  size_t replacements;
};

TEST(Utf8PolicyTest, OneReplacementPerMaximalMalformedSubsequence) {
  const PolicyCase cases[] = {
      {"two-byte cut short by ASCII", "\xD0" "a", u"\uFFFDa", 1},
      {"three-byte cut short by ASCII", "\xE2\x82" "b", u"\uFFFDb", 1},
      {"four-byte cut short at the end", "x\xF0\x9F\x98", u"x\uFFFD", 1},
      {"lead then a second lead", "\xD0\xD0\x9F", u"\uFFFDП", 1},
      {"broken in the second byte, the third alone", "\xE2\x28\xA1", u"\uFFFD(\uFFFD", 2},
      {"lone continuation bytes", "\x80\xBF", u"\uFFFD\uFFFD", 2},
      {"over-long two-byte (C0)", "\xC0\x80", u"\uFFFD\uFFFD", 2},
      {"over-long two-byte (C1)", "\xC1\xBF", u"\uFFFD\uFFFD", 2},
      {"over-long three-byte", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD", 3},
      {"over-long four-byte", "\xF0\x80\x80\xAF", u"\uFFFD\uFFFD\uFFFD\uFFFD", 4},
      {"encoded high surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD", 3},
      {"encoded low surrogate", "\xED\xBF\xBF", u"\uFFFD\uFFFD\uFFFD", 3},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD", 4},
      {"F5 never leads", "\xF5\x80", u"\uFFFD\uFFFD", 2},
      {"five-byte form", "\xF8\x88\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD", 5},
      {"FE and FF", "\xFE\xFF", u"\uFFFD\uFFFD", 2},
      {"C1 control as a byte", "a\x85" "b", u"a\uFFFDb", 1},
      {"the mixture from the Unicode standard", "a\xF1\x80\x80\xE1\x80\xC2" "b\x80" "c\x80\xBF" "d",
       u"a\uFFFD\uFFFD\uFFFDb\uFFFDc\uFFFD\uFFFDd", 6},
      {"edges that are well-formed", "\xC2\x80\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF",
       u"\u0080\u0800\uD7FF\uE000\uFFFF\U00010000\U0010FFFF", 0},
  };
  for (const PolicyCase& c : cases) {
    ASSERT_EQ(static_cast<size_t>(std::count(c.text.begin(), c.text.end(), u'\uFFFD')), c.replacements) << c.name;
    EXPECT_EQ(Utf8ToUtf16(c.bytes), c.text) << c.name;
    size_t replaced = 0;
    EXPECT_EQ(DecodeUtf8Replacing(c.bytes, replaced), c.text) << c.name;
    EXPECT_EQ(replaced, c.replacements) << c.name;
    // The same bytes after a long run of letters, where the decoder's
    // block-wise steps run first.
    const std::string letters(200, 'q');
    EXPECT_EQ(DecodeUtf8Replacing(letters + c.bytes, replaced), std::u16string(200, u'q') + c.text) << c.name;
    EXPECT_EQ(replaced, c.replacements) << c.name;
  }
}

}  // namespace
}  // namespace ramulet
