#include "lsp/raw_json.h"

#include <gtest/gtest.h>

namespace ramulet::lsp {
namespace {

TEST(RawJsonTest, LoneSurrogateEscapesBecomeReplacementCharacters) {
  struct Case {
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {R"(["\ud83d"])", R"(["\ufffd"])"},
      {R"(["\uDE00x"])", R"(["\ufffdx"])"},
      {R"(["\ud83d\ude00"])", R"(["\ud83d\ude00"])"},          // a pair
      {R"(["\ud83d\ud83d\ude00"])", R"(["\ufffd\ud83d\ude00"])"},
      {R"(["\ud83d\n"])", R"(["\ufffd\n"])"},
      {R"(["\\ud83d"])", R"(["\\ud83d"])"},                      // an escaped backslash, then text
      {R"(["\\\ud83d"])", R"(["\\\ufffd"])"},
      {R"(["\u00e9\ud8"])", R"(["\u00e9\ud8"])"},                // cut short: left to the parser
      {R"(["\ud83d)", R"(["\ufffd)"},
  };
  for (const Case& c : cases) {
    std::string text = c.in;
    ReplaceLoneSurrogateEscapes(text);
    EXPECT_EQ(text, c.out) << c.in;
  }
}

TEST(RawJsonTest, MembersAreFoundWithoutParsing) {
  struct Case {
    std::string json;
    std::string name;
    std::optional<std::string> raw;
  };
  const Case cases[] = {
      {R"({"id": 5, "method": "x"})", "id", "5"},
      {R"( { "params": {"id": 1, "s": "}\""}, "id" : "a\"b" } )", "id", R"("a\"b")"},
      {R"({"id": 1, "id": [2, {"x": "]"}]})", "id", R"([2, {"x": "]"}])"},  // the last one, as parsed
      {R"({"params": {"id": 1}})", "id", std::nullopt},                      // not at the top
      {R"({"method": "m", "params": {"x": )", "method", R"("m")"},          // cut short after it
      {R"({"params": {"x": [}, "id": 1})", "id", std::nullopt},             // after broken nesting
      {R"([{"id": 1}])", "id", std::nullopt},
  };
  for (const Case& c : cases) {
    std::optional<std::string_view> raw = RawMember(c.json, c.name);
    EXPECT_EQ(raw ? std::optional<std::string>(std::string(*raw)) : std::nullopt, c.raw) << c.json;
  }
}

TEST(RawJsonTest, TheFirstStringMemberIsFoundAtAnyDepthOfBrokenText) {
  EXPECT_EQ(FirstRawStringMember(R"({"params": {"textDocument": {"uri": "file:///a", "v": 1}, "x": [)", "uri"),
            R"("file:///a")");
  EXPECT_EQ(FirstRawStringMember(R"({"text": "\"uri\": \"no\"", "uri" : "yes"})", "uri"), R"("yes")");
  EXPECT_EQ(FirstRawStringMember(R"({"uri": 5})", "uri"), std::nullopt);
}

}  // namespace
}  // namespace ramulet::lsp
