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
      {u"Процедура А() Экспорт", "<span class=\"k\">Процедура</span> А() <span class=\"k\">Экспорт</span>"},
      {u"если Истина тогда", "<span class=\"k\">если</span> <span class=\"k\">Истина</span> <span class=\"k\">тогда</span>"},
      {u"А = \"x \"\"y\"\" // z\"; // <b>", "А = <span class=\"s\">&quot;x &quot;&quot;y&quot;&quot; // z&quot;</span>; "
                                              "<span class=\"c\">// &lt;b&gt;</span>"},
      {u"Д = '20240101';", "Д = <span class=\"s\">&#39;20240101&#39;</span>;"},
      {u"  #Если Сервер Тогда", "  <span class=\"d\">#Если Сервер Тогда</span>"},
      {u"&НаСервере", "<span class=\"d\">&amp;НаСервере</span>"},
      {u"ПроцедураX()", "ПроцедураX()"},
  };
  for (const auto& c : cases) EXPECT_EQ(Highlight({c.line})[0], c.html) << c.html;
}

TEST(HighlightTest, AStringGoesOnAtABar) {
  const auto html = Highlight({u"Т = \"ВЫБРАТЬ", u"  |ИЗ Т\";  Если", u"Если"});
  EXPECT_EQ(html[0], "Т = <span class=\"s\">&quot;ВЫБРАТЬ</span>");
  EXPECT_EQ(html[1], "  <span class=\"s\">|ИЗ Т&quot;</span>;  <span class=\"k\">Если</span>");
  EXPECT_EQ(html[2], "<span class=\"k\">Если</span>");
}

TEST(HighlightTest, LinksWrapNamesButNeverCrossTokens) {
  const std::vector<LineLink> links = {{4, 5, "m1.html#M2"}, {13, 2, "#M0\"><script>"}};
  // The second link falls inside a string: left out.
  const auto html = Highlight({u"  А.Метод(\"Ф(x)\")"}, links);
  EXPECT_EQ(html[0], "  А.<a href=\"m1.html#M2\">Метод</a>(<span class=\"s\">&quot;Ф(x)&quot;</span>)");
  const std::vector<LineLink> hostile = {{0, 1, "\"><script>x</script>"}};
  EXPECT_EQ(Highlight({u"Ф()"}, hostile)[0], "<a href=\"&quot;&gt;&lt;script&gt;x&lt;/script&gt;\">Ф</a>()");
}

}  // namespace
}  // namespace ramulet
