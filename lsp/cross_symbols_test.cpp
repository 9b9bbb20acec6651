// How names match a workspace/symbol query, and the symbols of a whole
// configuration best first.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "lsp/cross_module.h"
#include "tests/support/config_fixture.h"

namespace ramulet::lsp {
namespace {

using ::testing::ElementsAre;

TEST(MatchRankTest, PrefixWordStartsSubstringAndNone) {
  struct Case {
    const char16_t* name;
    const char16_t* query;
    int32_t rank;
  };
  const Case cases[] = {
      {u"ПолучитьЗначениеРеквизита", u"", 0},
      {u"ПолучитьЗначениеРеквизита", u"Получить", 0},
      {u"ПолучитьЗначениеРеквизита", u"получитьзнач", 0},
      {u"ПолучитьЗначениеРеквизита", u"ПЗР", 1},
      {u"ПолучитьЗначениеРеквизита", u"пзр", 1},
      {u"ПолучитьЗначениеРеквизита", u"ЗР", 1},
      {u"ПолучитьЗначениеРеквизита", u"ПолЗнач", 1},
      {u"ПолучитьЗначениеРеквизита", u"ПолЗначРекв", 1},
      {u"ПолучитьЗначениеРеквизита", u"ПР", 1},  // words may be passed over
      {u"ПолучитьЗначениеРеквизита", u"ПЗРХ", -1},
      {u"ПолучитьЗначениеРеквизита", u"РЗ", -1},  // words in order only
      {u"ПолучитьЗначениеРеквизита", u"Реквизит", 1},
      {u"ПолучитьЗначениеРеквизита", u"начени", 2},
      {u"ПолучитьЗначениеРеквизита", u"ЗначениеРеквизитаХ", -1},
      {u"ПолучитьЗначениеРеквизита", u"ПолучитьЗначениеРеквизитаЕщё", -1},
      {u"get_attribute_value", u"GAV", 1},
      {u"getAttributeValue", u"gav", 1},
      {u"getAttributeValue", u"butev", 2},
      {u"ЗаписатьXMLФайл", u"ЗФ", -1},  // XMLФайл is one word: Ф follows a capital
      {u"ЗаписатьXMLФайл", u"ЗX", 1},
      {u"ёлка", u"ЁЛ", 0},
      {u"А", u"АБ", -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchRank(c.name, c.query), c.rank) << ToUtf8(c.name) << " for '" << ToUtf8(c.query) << "'";
  }
}

TEST(MatchRankTest, LongQueriesAndNamesOfManyWordsStayBounded) {
  std::u16string name;
  std::u16string initials;
  for (int i = 0; i < 60; ++i) {
    name += u"Аб";
    initials += u"А";
  }
  EXPECT_EQ(MatchRank(name, initials.substr(0, 20)), 1);
  EXPECT_EQ(MatchRank(name, name + u"в"), -1);
  EXPECT_EQ(MatchRank(name, std::u16string(100, u'Б')), -1);
}

TEST(CrossWorkspaceSymbolsTest, BestFirstWithLocationAndContainer) {
  Configuration configuration = MakeConfiguration({
      {"CommonModule.Общий", "CommonModule", false,
       "Функция ПолучитьЗначениеРеквизита() Экспорт\nКонецФункции\nПроцедура Пуск()\nКонецПроцедуры\n"},
      {"CommonModule.Другой", "CommonModule", false,
       "Процедура ЗаписатьПолучитьЗначение()\nКонецПроцедуры\nПроцедура ПЗР()\nКонецПроцедуры\n"},
  });
  const ConfigView view{&configuration, "/c"};
  std::vector<RankedSymbol> symbols;
  CrossWorkspaceSymbols(view, u"пзр", symbols);
  std::vector<std::string> found;
  for (const RankedSymbol& ranked : symbols) {
    found.push_back(std::to_string(ranked.rank) + " " + ranked.symbol["containerName"].get<std::string>() + "." +
                    ranked.symbol["name"].get<std::string>());
  }
  EXPECT_THAT(found, ElementsAre("0 CommonModule.Другой.ПЗР", "1 CommonModule.Общий.ПолучитьЗначениеРеквизита"));
  EXPECT_EQ(symbols[1].symbol["kind"], 12);
  EXPECT_EQ(symbols[1].symbol["location"]["uri"], view.ModuleUri(0));
  EXPECT_EQ(symbols[1].symbol["location"]["range"]["start"], PositionJson(0, 0));

  symbols.clear();
  CrossWorkspaceSymbols(view, u"ПолучитьЗнач", symbols);
  ASSERT_EQ(symbols.size(), 2u);
  EXPECT_EQ(symbols[0].rank, 0);
  EXPECT_EQ(symbols[1].rank, 1);  // Записать|Получить|Значение: a word start, not the prefix

  symbols.clear();
  CrossWorkspaceSymbols(view, u"", symbols);
  EXPECT_EQ(symbols.size(), 4u);
}

TEST(CrossWorkspaceSymbolsTest, MakesNoMoreSymbolsThanTheAnswerKeeps) {
  std::string text;
  for (int i = 0; i < 1500; ++i) text += "Процедура П" + std::to_string(i) + "()\nКонецПроцедуры\n";
  Configuration configuration = MakeConfiguration({{"CommonModule.Много", "CommonModule", false, text}});
  std::vector<RankedSymbol> symbols;
  CrossWorkspaceSymbols(ConfigView{&configuration, "/c"}, u"п", symbols);
  ASSERT_EQ(symbols.size(), 1000u);
  EXPECT_EQ(symbols[0].symbol["name"], "П0");  // the shortest first
  EXPECT_EQ(symbols[999].symbol["name"].get<std::string>().size(), std::string("П100").size());
}

}  // namespace
}  // namespace ramulet::lsp
