#include "site/highlight.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ramulet {
namespace {

// Highlights `lines` in order, one string per line.
std::vector<std::string> Highlight(const std::vector<std::u16string>& lines, std::vector<LineLink> links = {}) {
  static const language::Keywords keywords;
  HighlightState state;
  std::vector<std::string> out;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string html;
    AppendHighlightedLine(lines[i], i == 0 ? links : std::vector<LineLink>{}, keywords, state, html);
    out.push_back(html);
  }
  return out;
}

TEST(HighlightTest, MarksKeywordsStringsCommentsAndDirectives) {
  const struct {
    std::u16string line;
    std::string html;
  } cases[] = {
      {u"Процедура А() Экспорт", "<b>Процедура</b> А() <b>Экспорт</b>"},
      {u"если Истина тогда", "<b>если</b> <b>Истина</b> <b>тогда</b>"},
      {u"А = \"x \"\"y\"\" // z\"; // <b>", "А = <s>\"x \"\"y\"\" // z\"</s>; "
                                              "<i>// &lt;b&gt;</i>"},
      {u"Д = '20240101';", "Д = <s>'20240101'</s>;"},
      {u"  #Если Сервер Тогда", "  <u>#Если Сервер Тогда</u>"},
      {u"&НаСервере", "<u>&amp;НаСервере</u>"},
      {u"ПроцедураX()", "ПроцедураX()"},
  };
  for (const auto& c : cases) EXPECT_EQ(Highlight({c.line})[0], c.html) << c.html;
}

TEST(HighlightTest, AStringGoesOnAtABar) {
  const auto html = Highlight({u"Т = \"ВЫБРАТЬ", u"  |ИЗ Т\";  Если", u"Если"});
  EXPECT_EQ(html[0], "Т = <s>\"ВЫБРАТЬ</s>");
  EXPECT_EQ(html[1], "  <s>|ИЗ Т\"</s>;  <b>Если</b>");
  EXPECT_EQ(html[2], "<b>Если</b>");
}

TEST(HighlightTest, LinksWrapNamesButNeverCrossTokens) {
  const std::vector<LineLink> links = {{4, 5, "m1.html#M2"}, {13, 2, "#M0\"><script>"}};
  // The second link falls inside a string: left out.
  const auto html = Highlight({u"  А.Метод(\"Ф(x)\")"}, links);
  EXPECT_EQ(html[0], "  А.<a href=\"m1.html#M2\">Метод</a>(<s>\"Ф(x)\"</s>)");
  const std::vector<LineLink> hostile = {{0, 1, "\"><script>x</script>"}};
  EXPECT_EQ(Highlight({u"Ф()"}, hostile)[0], "<a href=\"&quot;&gt;&lt;script&gt;x&lt;/script&gt;\">Ф</a>()");
}

}  // namespace
}  // namespace ramulet
