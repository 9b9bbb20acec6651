// ModuleAnalyzer under the language's rules against the plain reading of
// them, on the example module, on generated business modules and on
// random modules written to stand on the rules' edges.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "bench/support/module_generator.h"
#include "platform/text.h"
#include "tests/support/reference_language.h"
#include "textio/line_splitter.h"

namespace ramulet {
namespace {

// Compares the two readings of `lines`; false (with the difference
// reported) when they differ.
::testing::AssertionResult SameAnalysis(const std::vector<std::u16string>& lines) {
  const std::string reference = ReferenceLanguageDump(lines);
  const std::optional<std::string> fast = FastLanguageDump(lines);
  if (!fast || *fast == reference) return ::testing::AssertionSuccess();
  std::string module;
  for (const std::u16string& line : lines) module += Utf16ToUtf8(line) + "\n";
  return ::testing::AssertionFailure() << "module:\n"
                                       << module << "\nplain reading:\n"
                                       << reference << "\nanalyzer:\n"
                                       << *fast;
}

bool AnalyzerHasLanguageRules() { return FastLanguageDump({}).has_value(); }
constexpr const char* kNoLanguageRules = "ModuleAnalyzer::Analyze takes no rule set yet";

TEST(LanguageDifferential, ExampleModule) {
  std::ifstream file(RAMULET_EXAMPLE_MODULE, std::ios::binary);
  ASSERT_TRUE(file) << RAMULET_EXAMPLE_MODULE;
  std::u16string text = Utf8ToUtf16(std::string(std::istreambuf_iterator<char>(file), {}));
  if (!text.empty() && text[0] == u'\uFEFF') text.erase(0, 1);
  const std::vector<std::u16string> lines = ReferenceSplitLines(text);
  const std::string reference = ReferenceLanguageDump(lines);
  // The example forward-declares a method and calls methods from others.
  EXPECT_EQ(reference.find("duplicate"), std::string::npos) << reference;
  EXPECT_NE(reference.find("method 10 "), std::string::npos) << reference;
  EXPECT_NE(reference.find("callers"), std::string::npos) << reference;
  if (!AnalyzerHasLanguageRules()) GTEST_SKIP() << kNoLanguageRules;
  EXPECT_TRUE(SameAnalysis(lines));
}

TEST(LanguageDifferential, GeneratedModules) {
  if (!AnalyzerHasLanguageRules()) GTEST_SKIP() << kNoLanguageRules;
  const ModuleShape shapes[] = {
      {.lines = 300, .methods = 20, .calls_per_method = 3.0, .seed = 1},
      {.lines = 2000, .methods = 100, .calls_per_method = 6.0, .seed = 2, .layers = 4},
      {.lines = 1000, .methods = 0, .seed = 3},
      {.lines = 3000, .methods = 1000, .calls_per_method = 1.0, .seed = 4, .short_share = 0.5},
      {.lines = 5000, .methods = 50, .calls_per_method = 12.0, .seed = 5, .call_line_share = 0.9},
  };
  for (const ModuleShape& shape : shapes) {
    std::vector<std::u16string> lines;
    ASSERT_TRUE(GenerateModule(shape, lines).ok());
    EXPECT_TRUE(SameAnalysis(lines)) << "seed " << shape.seed;
  }
}

// Random modules from a small grammar of the rules' edges: strings with
// `|` continuations and comment lines between, comments and date literals
// holding calls, directives, keywords in both languages and any letter
// case, forward declarations, headers over several lines, unclosed headers,
// repeated names, member chains and calls in the module body.
class EdgeModuleWriter {
 public:
  explicit EdgeModuleWriter(uint32_t seed) : random_(seed) {}

  std::vector<std::u16string> Write() {
    const int blocks = Pick(12) + 1;
    for (int b = 0; b < blocks; ++b) {
      const int kind = Pick(20);
      if (kind < 12) {
        Method();
      } else if (kind < 15) {
        Header(Name(), /*forward=*/true);
      } else if (kind < 18) {
        Statements(Pick(3));
      } else if (kind < 19) {
        Line(RandomCase(Pick(2) ? u"КонецПроцедуры" : u"EndFunction"));
      } else {
        Line(u"#Область " + Name());
      }
    }
    return std::move(lines_);
  }

 private:
  int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }
  bool Chance(int percent) { return Pick(100) < percent; }
  void Line(std::u16string text) { lines_.push_back(std::move(text)); }
  std::u16string Blank() { return Pick(2) ? u"" : u"\t "; }

  std::u16string RandomCase(std::u16string_view word) {
    std::u16string out(word);
    if (!Chance(30)) return out;
    for (char16_t& c : out) c = Pick(2) ? ToUpper(c) : ToLower(c);
    return out;
  }

  std::u16string PoolName() {
    static const char16_t* const kNames[] = {u"Заполнить", u"Ёлка",  u"Елка",  u"Alpha", u"_Б1",     u"Выполнить",
                                             u"Найти",     u"Итог",  u"Beta",  u"Г",     u"Расчет2", u"ЭтотОбъект",
                                             u"Структура", u"Цена",  u"Новый", u"Х"};
    return kNames[Pick(16)];
  }

  const std::u16string& Defined() { return defined_[static_cast<size_t>(Pick(static_cast<int>(defined_.size())))]; }

  // A name to call: mostly one of the module's methods, in any case.
  std::u16string Name() {
    if (!defined_.empty() && Chance(60)) return RandomCase(Defined());
    return Chance(80) ? PoolName() : RandomCase(PoolName());
  }

  // A name to define: a new one, now and then one defined before.
  std::u16string MethodName() {
    if (!defined_.empty() && Chance(2)) return RandomCase(Defined());
    std::u16string name = PoolName();
    for (const std::u16string& other : defined_) {
      if (UpperCase(other) == UpperCase(name)) name += Utf8ToUtf16(std::to_string(defined_.size()));
    }
    defined_.push_back(name);
    return name;
  }

  std::u16string Keyword() {
    static const char16_t* const kWords[] = {u"Если", u"Тогда", u"Новый", u"New", u"Возврат", u"Не",
                                             u"Ждать", u"Execute", u"И", u"Цикл", u"Процедура", u"Function",
                                             u"Экспорт", u"Далее", u"Асинх", u"КонецЕсли"};
    return RandomCase(kWords[Pick(16)]);
  }

  std::u16string Receiver() {
    switch (Pick(6)) {
      case 0: return RandomCase(u"ЭтотОбъект");
      case 1: return RandomCase(u"ThisForm");
      case 2: return Name() + u"." + Name() + u"(1)." + Name() + u"[2]";
      case 3: return u"Запрос";
      case 4: return u"Х.ЭтотОбъект";
      default: return Name() + u"()";
    }
  }

  // One piece of a statement.
  std::u16string Piece() {
    switch (Pick(14)) {
      case 0: return Name() + u"(" + (Pick(2) ? Name() + u"()" : u"") + u")";
      case 1: return Name() + (Pick(2) ? u" (" : u"\t(") + u"1)";
      case 2: return Receiver() + u"." + Name() + u"(";
      case 3: return Keyword() + u" " + Name() + u"(";
      case 4: return u"\"" + Name() + u"(// \"\")\"";
      case 5: return u"'2024/" + Name() + u"()'";
      case 6: return u"1" + Name() + u"(";
      case 7: return u"// " + Name() + u"(\"";
      case 8: return Keyword();
      case 9: return u")";
      case 10: return u".";
      case 11: return u"'20240101 " + Name() + u"(";
      case 12: return Name();
      default: return u";";
    }
  }

  // A statement, sometimes with a string running on over `|` lines.
  void Statement() {
    std::u16string text = Chance(20) ? u"\t" : u"";
    const int pieces = Pick(4) + 1;
    for (int p = 0; p < pieces; ++p) text += Piece() + (Pick(3) ? u" " : u"");
    if (!Chance(15)) {
      Line(text);
      return;
    }
    Line(text + u"Т = \"" + Name() + u"(");
    const int more = Pick(4);
    for (int m = 0; m < more; ++m) {
      switch (Pick(5)) {
        case 0: Line(Blank()); break;
        case 1: Line(u"  // " + Name() + u"()"); break;
        case 2: Line(u"#Если Сервер Тогда"); break;
        case 3: Line(u"  |" + Name() + u"() \"\""); break;
        default: Line(u"|\"; " + Name() + u"();"); break;
      }
    }
  }

  void Statements(int count) {
    for (int s = 0; s < count; ++s) {
      switch (Pick(10)) {
        case 0: Line(Pick(2) ? u"&НаСервере" : u"  #КонецОбласти"); break;
        case 1: Line(Blank()); break;
        default: Statement(); break;
      }
    }
  }

  std::u16string Parameter() {
    switch (Pick(5)) {
      case 0: return RandomCase(u"Знач") + u" П" + (Pick(2) ? u"1" : u"2");
      case 1: return u"П = \")\"";
      case 2: return u"Д = '2024)'";
      case 3: return u"Ф = " + Name() + u"(1)";
      default: return u"Х";
    }
  }

  // A header; its parameters may run over lines with comment, blank and
  // directive lines between, and a few never close.
  void Header(const std::u16string& name, bool forward) {
    std::u16string text = Chance(10) ? u"  " : u"";
    if (Chance(10)) text += RandomCase(Pick(2) ? u"Асинх " : u"Async ");
    static const char16_t* const kKinds[] = {u"Процедура ", u"Функция ", u"Procedure ", u"Function "};
    text += RandomCase(kKinds[Pick(4)]) + name + u"(";
    const int parameters = Pick(3);
    for (int p = 0; p < parameters; ++p) {
      text += Parameter() + u", ";
      if (Chance(20)) {
        Line(text + (Pick(2) ? u"// )" : u""));
        if (Chance(50)) Line(Pick(2) ? u"#Если Клиент Тогда" : u"");
        text = u"  ";
      }
    }
    if (Chance(2)) {
      Line(text);  // never closed
      return;
    }
    text += u"Х)";
    if (Chance(30)) {
      if (Chance(30)) {
        Line(text);
        if (Chance(50)) Line(u"// комментарий");
        text.clear();
      }
      text += RandomCase(Pick(2) ? u" Экспорт" : u" Export");
    }
    if (forward) text += RandomCase(Pick(2) ? u" Далее" : u" Forward");
    if (Chance(10)) text += u" " + Name() + u"();";
    Line(text);
  }

  void Method() {
    Header(MethodName(), /*forward=*/false);
    Statements(Pick(5));
    if (Chance(10)) return;  // no end: the next header ends it
    static const char16_t* const kEnds[] = {u"КонецПроцедуры", u"КонецФункции", u"EndProcedure", u"EndFunction"};
    std::u16string end = RandomCase(kEnds[Pick(4)]);
    if (Chance(15)) end += u" " + Name() + u"(); " + Receiver() + u"." + Name() + u"();";
    Line((Chance(10) ? u"\t" : u"") + end);
  }

  std::mt19937 random_;
  std::vector<std::u16string> lines_;
  std::vector<std::u16string> defined_;
};

TEST(LanguageDifferential, RandomEdgeModules) {
  if (!AnalyzerHasLanguageRules()) GTEST_SKIP() << kNoLanguageRules;
  for (uint32_t seed = 1; seed <= 400; ++seed) {
    EXPECT_TRUE(SameAnalysis(EdgeModuleWriter(seed).Write())) << "seed " << seed;
  }
}

// The grammar reaches what it is for: across the seeds every kind of item
// the rules define turns up (checked on the plain reading, so a grammar
// that stopped producing them is noticed even without the analyzer).
TEST(LanguageDifferential, RandomModulesCoverTheRules) {
  const char* const kItems[] = {"\nmethod ", " recorded", " export", " async", "\n  call ", "\n  callers",
                                "\nbody ",   "\nmember ", "\nwarning ", "\nduplicate "};
  std::string all;
  for (uint32_t seed = 1; seed <= 400; ++seed) all += ReferenceLanguageDump(EdgeModuleWriter(seed).Write());
  for (const char* item : kItems) EXPECT_NE(all.find(item), std::string::npos) << item;
}

// The plain reading splits text as the module's text is split for the
// analyzer.
TEST(LanguageDifferential, LineSplittingAgreesWithTheTextSplitter) {
  std::mt19937 random(7);
  const char16_t units[] = {u'а', u'\r', u'\n', u' ', u'|'};
  for (int round = 0; round < 500; ++round) {
    std::u16string text;
    const int length = std::uniform_int_distribution<int>(0, 12)(random);
    for (int i = 0; i < length; ++i) text.push_back(units[std::uniform_int_distribution<int>(0, 4)(random)]);
    EXPECT_EQ(ReferenceSplitLines(text), SplitLines(text)) << Utf16ToUtf8(text);
  }
}

}  // namespace
}  // namespace ramulet
