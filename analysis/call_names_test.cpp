// The call finder against the call pattern itself: the names it gives are
// those of a global search of the pattern, in order.
#include "analysis/call_names.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "analysis/patterns.h"
#include "platform/regexp/regexp.h"

namespace ramulet {
namespace {

std::vector<std::u16string> PatternNames(std::u16string_view text) {
  RegExp call;
  call.IgnoreCase = true;
  call.Global = true;
  EXPECT_TRUE(call.SetPattern(patterns::kCall).ok());
  std::vector<RegExpMatch> matches;
  EXPECT_TRUE(call.Execute(text, matches).ok());
  std::vector<std::u16string> names;
  for (const RegExpMatch& match : matches) names.emplace_back(*match.SubMatches[patterns::kCallNameGroup - 1]);
  return names;
}

std::vector<std::u16string> FoundNames(std::u16string_view text) {
  std::vector<std::u16string> names;
  ForEachCallName(text, [&names](std::u16string_view name) {
    names.emplace_back(name);
    return true;
  });
  return names;
}

// Pieces at the edges of the classes: \s units of every kind and the
// letters whose other case is in the name class (ÿ and Ÿ, µ), units just
// outside it, "(" next to "(" and ")".
TEST(CallNamesTest, FindsWhatThePatternFinds) {
  const char16_t* const pieces[] = {u"А", u"ё", u"Ё", u"z", u"_", u"7", u"¬", u"(", u"(", u")", u" ", u"\t",
                                    u"\v", u"\f", u"\r", u"\n", u"\u00A0", u"ÿ", u"Ÿ", u"µ", u"ѐ", u"Ѐ",
                                    u"ә", u".", u"\"", u"//", u"\u2028", u"\U0001F600", u"Б_1", u"x.В ("};
  std::mt19937 random(7);
  for (int line = 0; line < 3000; ++line) {
    std::u16string text;
    const int length = static_cast<int>(random() % 16);
    for (int k = 0; k < length; ++k) text += pieces[random() % std::size(pieces)];
    EXPECT_EQ(FoundNames(text), PatternNames(text)) << "line " << line;
  }
}

TEST(CallNamesTest, StopsWhenTheVisitorSaysSo) {
  std::vector<std::u16string> seen;
  ForEachCallName(u"А(); Б (В()); Г()", [&seen](std::u16string_view name) {
    seen.emplace_back(name);
    return seen.size() < 2;
  });
  EXPECT_EQ(seen, (std::vector<std::u16string>{u"А", u"Б"}));
}

}  // namespace
}  // namespace ramulet
