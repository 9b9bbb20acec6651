#include "site/html_text.h"

#include <gtest/gtest.h>

#include <string>

namespace ramulet {
namespace {

std::string Html(std::u16string_view text) {
  std::string out;
  AppendHtml(text, out);
  return out;
}

std::string Js(std::u16string_view text) {
  std::string out;
  AppendJsString(text, out);
  return out;
}

TEST(HtmlTextTest, HostileTextStaysText) {
  const struct {
    std::u16string text;
    std::string html;
  } cases[] = {
      {u"</script><script>alert(1)</script>", "&lt;/script&gt;&lt;script&gt;alert(1)&lt;/script&gt;"},
      {u"<img src=x onerror=\"alert('x')\">", "&lt;img src=x onerror=&quot;alert(&#39;x&#39;)&quot;&gt;"},
      {u"A & B &amp;", "A &amp; B &amp;amp;"},
      {u"a\tb\x01" u"c\x7F", "a\tb\xEF\xBF\xBD" "c\xEF\xBF\xBD"},
      {std::u16string(u"x") + char16_t(0xD800) + u"y", "x\xEF\xBF\xBDy"},    // a lone high surrogate
      {std::u16string(1, char16_t(0xDC00)), "\xEF\xBF\xBD"},                  // a lone low one
      {u"\U0001F600", "\xF0\x9F\x98\x80"},                                    // a pair stays one character
      {u"Процедура", "Процедура"},
  };
  for (const auto& c : cases) EXPECT_EQ(Html(c.text), c.html);
  std::string utf8;
  AppendHtmlUtf8("\xC0\x80<b>", utf8);
  EXPECT_EQ(utf8, "\xEF\xBF\xBD\xEF\xBF\xBD&lt;b&gt;");
}

TEST(HtmlTextTest, ScriptStringsCannotCloseTheirElement) {
  EXPECT_EQ(Js(u"</script>"), "\"\\u003C/script\\u003E\"");
  EXPECT_EQ(Js(u"a\"b\\c\n&"), "\"a\\\"b\\\\c\\u000A\\u0026\"");
  EXPECT_EQ(Js(u"\u2028"), "\"\\u2028\"");
  EXPECT_EQ(Js(std::u16string(1, char16_t(0xD801))), "\"\xEF\xBF\xBD\"");
}

}  // namespace
}  // namespace ramulet
