#include "textio/line_splitter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ramulet {
namespace {

struct SplitCase {
  const char* name;
  std::u16string text;
  std::vector<std::u16string> lines;
};

class SplitLinesTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitLinesTest, Splits) { EXPECT_EQ(SplitLines(GetParam().text), GetParam().lines); }

INSTANTIATE_TEST_SUITE_P(
    LineBreaks, SplitLinesTest,
    testing::Values(SplitCase{"Empty", u"", {}},
                    SplitCase{"NoBreak", u"a", {u"a"}},
                    SplitCase{"Lf", u"a\nb\n", {u"a", u"b"}},
                    SplitCase{"CrLf", u"a\r\nb\r\n", {u"a", u"b"}},
                    SplitCase{"LoneCr", u"a\rb\r", {u"a", u"b"}},
                    SplitCase{"Mixed", u"a\r\nb\nc\rd", {u"a", u"b", u"c", u"d"}},
                    SplitCase{"TrailingTextWithoutBreak", u"a\nb", {u"a", u"b"}},
                    SplitCase{"EmptyLinesKept", u"\n\n", {u"", u""}},
                    SplitCase{"EmptyLineBeforeTrailingText", u"a\n\nb", {u"a", u"", u"b"}},
                    // LF CR is two breaks, not one.
                    SplitCase{"LfThenCr", u"a\n\rb", {u"a", u"", u"b"}},
                    SplitCase{"CrCrLf", u"a\r\r\nb", {u"a", u"", u"b"}},
                    SplitCase{"OnlyCrLf", u"\r\n", {u""}},
                    SplitCase{"SpacesAfterLastBreakAreALine", u"a\n  ", {u"a", u"  "}},
                    SplitCase{"NulInsideLine", std::u16string(u"a\0b\nc", 5), {std::u16string(u"a\0b", 3), u"c"}}),
    [](const testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.name); });

// Each break reported with its kind, and where the text after the last one
// begins: the document's rule (every break ends a line) from the same scan.
TEST(ForEachBrokenLineTest, ReportsEachBreakAndTheRest) {
  struct Case {
    std::u16string text;
    std::vector<std::pair<std::u16string, LineBreak>> lines;
    size_t rest;
  };
  const Case cases[] = {
      {u"", {}, 0},
      {u"ab", {}, 0},
      {u"a\r\nb\rc\n", {{u"a", LineBreak::kCrLf}, {u"b", LineBreak::kCr}, {u"c", LineBreak::kLf}}, 7},
      {u"\n\r", {{u"", LineBreak::kLf}, {u"", LineBreak::kCr}}, 2},
      {u"\r\r\nx", {{u"", LineBreak::kCr}, {u"", LineBreak::kCrLf}}, 3},
  };
  for (const Case& c : cases) {
    std::vector<std::pair<std::u16string, LineBreak>> lines;
    const size_t rest = ForEachBrokenLine(c.text, [&](size_t begin, size_t length, LineBreak end) {
      lines.emplace_back(c.text.substr(begin, length), end);
    });
    EXPECT_EQ(lines, c.lines);
    EXPECT_EQ(rest, c.rest);
  }
}

}  // namespace
}  // namespace ramulet
