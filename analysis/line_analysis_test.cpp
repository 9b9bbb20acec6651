// The fast line analysis against the plain one (tests/support): every
// pattern on every line, two reads per line, all matches listed first. The
// quick tests that rule lines out, the single read and the streamed matches
// must change nothing.
#include "analysis/module_analyzer.h"

#include <gtest/gtest.h>

#include <random>

#include "bench/support/module_generator.h"
#include "platform/text.h"
#include "tests/support/reference_analysis.h"
#include "tests/support/test_module.h"

namespace ramulet {
namespace {

TEST(LineAnalysisTest, AgreesWithThePlainAnalysisOnGeneratedModules) {
  const ModuleShape shapes[] = {{400, 40, 3.0, 1},   {2000, 150, 5.0, 7}, {300, 100, 1.0, 3},
                                {6000, 200, 10.0, 11}, {90, 0, 0.0, 5},   {3000, 1000, 0.5, 9}};
  for (const ModuleShape& shape : shapes) {
    std::vector<std::u16string> lines;
    ASSERT_TRUE(GenerateModule(shape, lines).ok());
    EXPECT_EQ(FastAnalysis(lines), ReferenceAnalysis(lines)) << "seed " << shape.seed;
  }
}

// Lines at the edges of the quick tests: other letter cases of the first
// letters (Latin-1 and Cyrillic folding included), \s units other than the
// space before a header, end keywords after tabs, "(" in texts and
// comments, keywords hidden in names.
TEST(LineAnalysisTest, AgreesWithThePlainAnalysisAtTheEdgesOfTheQuickTests) {
  const char* const modules[] = {
      "\v\fПроцедура А()\n Б();\n\tКонецПроцедуры\nкОНЕЦпРОЦЕДУРЫ\nфункция Б()\nА(); Б (); // А()\nКонецФункции",
      "PRIVATE процедура А(Х)\n\r\tА(А(Б()));\nКонецПроцедуры\nPrivateФункция Б()\n  Б(\"(\");\n",
      "Процедура Учёт()\n  Ёж(); жА(); Учёт ();\nКОНЕЦПРОЦЕДУРЫ\nпроцедура Ёж()\n  Учёт();Ёж(); ПроцедураБ();\n",
      "КонецПроцедуры\nПроцедура А()\n  Б();\nКонецПроцедуры\nПроцедура Б()\nКонецПроцедуры",
      "Процедура А()\n  А();\nпроцедура Б() Далее\nПроцедура В()\n  В(); А(); функцияА();\n  в();",
      "Процедура Ÿ()\n ÿ(); Ÿ();\nКонецПроцедуры\nkонецПроцедуры\nПроцедура А()\nА();",
      "Процедура А()\nКонецПроцедуры\nПроцедура А()\nКонецПроцедуры",
      "Процедура А¬1()\n  А¬1();\n x.А¬1 (); Б_2();\nПроцедура Б_2()\n\tБ_2\t(А¬1());\vб_2(); ёЁ(Б_2\f());",
  };
  for (const char* module : modules) {
    std::vector<std::u16string> lines = ModuleLines(module);
    EXPECT_EQ(FastAnalysis(lines), ReferenceAnalysis(lines)) << module;
  }
}

// Lines of more calls than the pass gathers in one walk (64), with calls of
// no method between them and a keyword at the end of some.
TEST(LineAnalysisTest, AgreesWithThePlainAnalysisOnLinesOfManyCalls) {
  for (int calls : {63, 64, 65, 200}) {
    for (const char16_t* tail : {u"", u" // А()", u" Процедура"}) {
      std::vector<std::u16string> lines = {u"Процедура А()", u"", u"КонецПроцедуры", u"Функция Б()", u"КонецФункции"};
      for (int k = 0; k < calls; ++k) lines[1] += k % 3 ? u"А();" : u"Б (Нет());";
      lines[1] += tail;
      EXPECT_EQ(FastAnalysis(lines), ReferenceAnalysis(lines)) << calls;
    }
  }
}

// Random lines built from the pieces the patterns care about.
TEST(LineAnalysisTest, AgreesWithThePlainAnalysisOnRandomLines) {
  const char16_t* const pieces[] = {u"Процедура ", u"ФУНКЦИЯ ", u"private ", u"КонецПроцедуры", u"конецфункции",
                                    u"А", u"Б", u"ё", u"(", u")", u" ", u"\t", u"\v", u"//", u";", u"Далее",
                                    u"x", u"\"", u",", u"=", u".", u"П", u"ф", u"К", u"Ф", u"р", u"¬",
                                    u"_1", u"ÿ", u"Ÿ", u"Ё", u"\u00A0", u"\r", u"\f", u"А¬", u"Б_1", u"ёЁ",
                                    u"Процедура А¬()", u"Функция Б_1()", u"Процедура ёЁ()", u"Процедура А()"};
  std::mt19937 random(42);
  for (int module = 0; module < 600; ++module) {
    std::vector<std::u16string> lines(1 + random() % 12);
    for (std::u16string& line : lines) {
      int length = static_cast<int>(random() % 12);
      for (int k = 0; k < length; ++k) line += pieces[random() % std::size(pieces)];
    }
    EXPECT_EQ(FastAnalysis(lines), ReferenceAnalysis(lines)) << "module " << module;
  }
}

}  // namespace
}  // namespace ramulet
