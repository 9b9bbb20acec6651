#include "textio/text_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "textio/line_splitter.h"

namespace ramulet {
namespace {

std::vector<std::u16string> Read(TextLines& lines) {
  std::vector<std::u16string> read;
  int32_t count = -1;
  EXPECT_TRUE(lines.LineCount(count).ok());
  for (int32_t i = 0; i < count; ++i) {
    std::u16string_view text;
    EXPECT_TRUE(lines.Range(i, text).ok());
    read.emplace_back(text);
  }
  return read;
}

// The views give the lines SplitLines gives, for every kind of line end.
TEST(TextLinesTest, ReadsTheLinesSplitLinesGives) {
  const std::u16string texts[] = {u"",         u"a",          u"a\nb\n",   u"a\r\nb\r\n", u"a\rb\r",
                                  u"\n\n",     u"a\n\rb",     u"a\r\r\nb", u"\r\n",       u"a\n  ",
                                  u"Процедура А()\r\n  Б();\rКонецПроцедуры"};
  for (const std::u16string& text : texts) {
    TextLines lines(text);
    EXPECT_EQ(Read(lines), SplitLines(text));
    EXPECT_EQ(lines.size(), SplitLines(text).size());
  }
}

TEST(TextLinesTest, FromLinesKeepsEachLineWhole) {
  const std::vector<std::u16string> given = {u"a\nb", u"", u"Конец"};
  TextLines lines = TextLines::FromLines(given);
  EXPECT_EQ(Read(lines), given);
}

TEST(TextLinesTest, RefusesLinesOutsideTheText) {
  TextLines lines(u"a\nb");
  std::u16string_view text = u"kept";
  for (int32_t line : {-1, 2, 1000}) {
    Status status = lines.Range(line, text);
    EXPECT_EQ(status.code(), Status::kOutOfRange) << line;
    EXPECT_FALSE(status.message().empty());
  }
}

}  // namespace
}  // namespace ramulet
