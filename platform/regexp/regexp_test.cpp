#include "platform/regexp/regexp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/patterns.h"
#include "platform/text.h"

namespace ramulet {
namespace {

// "[first,end)'value' g1='...' g2=-" per match, " | " between matches,
// "none" without a match, "error: ..." for a failure.
std::string Dump(const std::vector<RegExpMatch>& matches) {
  if (matches.empty()) return "none";
  std::string out;
  for (const RegExpMatch& match : matches) {
    if (!out.empty()) out += " | ";
    out += "[" + std::to_string(match.FirstIndex) + "," + std::to_string(match.FirstIndex + match.Length) + ")'" +
           Utf16ToUtf8(match.Value) + "'";
    for (size_t i = 0; i < match.SubMatches.size(); ++i) {
      const auto& sub = match.SubMatches[i];
      out += " g" + std::to_string(i + 1) + "=" + (sub ? "'" + Utf16ToUtf8(*sub) + "'" : "-");
    }
  }
  return out;
}

std::string Run(std::u16string_view pattern, std::string_view text, bool ignore_case, bool global) {
  RegExp regexp;
  regexp.IgnoreCase = ignore_case;
  regexp.Global = global;
  Status status = regexp.SetPattern(pattern);
  if (!status.ok()) return "error: " + status.message();
  std::vector<RegExpMatch> matches;
  const std::u16string units = U16(text);  // the matches point into it
  status = regexp.Execute(units, matches);
  if (!status.ok()) return "error: " + status.message();
  return Dump(matches);
}

struct Case {
  const char* text;
  const char* expected;
};

// The module patterns run as the analysis runs them: ignoring case, finding all.
void ExpectModulePattern(std::u16string_view pattern, const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    EXPECT_EQ(Run(pattern, c.text, true, true), c.expected) << "text: " << c.text;
  }
}

TEST(RegExpTest, HeaderPattern) {
  ExpectModulePattern(patterns::kHeader, {
      {"Процедура Тест()", "[0,16)'Процедура Тест()' g1=- g2='Процедура' g3='Тест' g4=''"},
      {" \t Функция Сумма(А, Б) Экспорт",
       "[0,23)' \t Функция Сумма(А, Б) ' g1=- g2='Функция' g3='Сумма' g4='А, Б'"},
      {"private Процедура Х()", "[0,21)'private Процедура Х()' g1='private ' g2='Процедура' g3='Х' g4=''"},
      {"PRIVATE\tпроцедура x()", "[0,21)'PRIVATE\tпроцедура x()' g1='PRIVATE\t' g2='процедура' g3='x' g4=''"},
      {"privateФункция Ф()", "[0,18)'privateФункция Ф()' g1='private' g2='Функция' g3='Ф' g4=''"},
      {"ПРОЦЕДУРА ТЕСТ()", "[0,16)'ПРОЦЕДУРА ТЕСТ()' g1=- g2='ПРОЦЕДУРА' g3='ТЕСТ' g4=''"},
      {"пРоЦеДуРа тЕсТ()", "[0,16)'пРоЦеДуРа тЕсТ()' g1=- g2='пРоЦеДуРа' g3='тЕсТ' g4=''"},
      {"фУНКЦИЯ Ф ()", "[0,12)'фУНКЦИЯ Ф ()' g1=- g2='фУНКЦИЯ' g3='Ф' g4=''"},
      {"Функция Ф(Знач А = 1.5, Б = \"текст\", В = 'с')",
       "[0,45)'Функция Ф(Знач А = 1.5, Б = \"текст\", В = 'с')' g1=- g2='Функция' g3='Ф' "
       "g4='Знач А = 1.5, Б = \"текст\", В = 'с''"},
      {"Процедура Записать() Далее", "[0,21)'Процедура Записать() ' g1=- g2='Процедура' g3='Записать' g4=''"},
      {"Процедура П()  // комментарий", "[0,15)'Процедура П()  ' g1=- g2='Процедура' g3='П' g4=''"},
      {"Процедура Имя¬2_x9()", "[0,20)'Процедура Имя¬2_x9()' g1=- g2='Процедура' g3='Имя¬2_x9' g4=''"},
      {"Процедура Ёлка()", "[0,16)'Процедура Ёлка()' g1=- g2='Процедура' g3='Ёлка' g4=''"},
      {"процедура ёлка(Ёж, ёж)", "[0,22)'процедура ёлка(Ёж, ёж)' g1=- g2='процедура' g3='ёлка' g4='Ёж, ёж'"},
      {"Процедура Зелёный()", "[0,19)'Процедура Зелёный()' g1=- g2='Процедура' g3='Зелёный' g4=''"},
      {"Функция Ф(А = -1)", "none"},
      {"Функция Ф(А,", "none"},
      {"ПроцедураТест()", "none"},
      {"Процедура ()", "none"},
      {"КонецПроцедуры", "none"},
      {"А = 1; Процедура Тест()", "none"},
      {"", "none"},
  });
}

TEST(RegExpTest, EndPattern) {
  ExpectModulePattern(patterns::kEnd, {
      {"КонецПроцедуры", "[0,14)'КонецПроцедуры' g1='КонецПроцедуры'"},
      {"КОНЕЦФУНКЦИИ;", "[0,12)'КОНЕЦФУНКЦИИ' g1='КОНЕЦФУНКЦИИ'"},
      {"конецпроцедуры // конец", "[0,14)'конецпроцедуры' g1='конецпроцедуры'"},
      {"КонецФункцииИЕщё", "[0,12)'КонецФункции' g1='КонецФункции'"},
      {"\tКонецПроцедуры", "none"},
      {" КонецПроцедуры", "none"},
      {"КонецЕсли;", "none"},
      {"КонецПроцедур", "none"},
  });
}

TEST(RegExpTest, CallPattern) {
  ExpectModulePattern(patterns::kCall, {
      {"А = Вызов(1);", "[4,10)'Вызов(' g1='Вызов'"},
      {"Ф(1); Г(2)", "[0,2)'Ф(' g1='Ф' | [6,8)'Г(' g1='Г'"},
      {"Ф(Г(Х(1)))", "[0,2)'Ф(' g1='Ф' | [2,4)'Г(' g1='Г' | [4,6)'Х(' g1='Х'"},
      {"Объект.Метод(1)", "[7,13)'Метод(' g1='Метод'"},
      {"Метод  \t(1)", "[0,9)'Метод  \t(' g1='Метод'"},
      {"Зелёный(1)", "[0,8)'Зелёный(' g1='Зелёный'"},
      {"Ёлка(1)", "[0,5)'Ёлка(' g1='Ёлка'"},
      {"Ёж(); жА();", "[0,3)'Ёж(' g1='Ёж' | [6,9)'жА(' g1='жА'"},
      {"x_1¬Ж(", "[0,6)'x_1¬Ж(' g1='x_1¬Ж'"},
      {"Если ЕстьДанные() Тогда", "[5,16)'ЕстьДанные(' g1='ЕстьДанные'"},
      {"А = Б + 1;", "none"},
      {"(1 + 2)", "none"},
      {"Ф (", "[0,3)'Ф (' g1='Ф'"},
      {"", "none"},
  });
}

struct SemanticsCase {
  const char* pattern;
  const char* text;
  const char* expected;
};

void ExpectCases(bool ignore_case, bool global, const std::vector<SemanticsCase>& cases) {
  for (const SemanticsCase& c : cases) {
    EXPECT_EQ(Run(U16(c.pattern), c.text, ignore_case, global), c.expected)
        << "pattern: " << c.pattern << " text: " << c.text;
  }
}

TEST(RegExpTest, PrioritiesOfABacktrackingMatcher) {
  ExpectCases(false, false, {
      {"a|ab", "ab", "[0,1)'a'"},
      {"ab|a", "ab", "[0,2)'ab'"},
      {"a+", "baaa", "[1,4)'aaa'"},
      {"a+?", "baaa", "[1,2)'a'"},
      {"a*?b", "aab", "[0,3)'aab'"},
      {"a??", "a", "[0,0)''"},
      {"a?", "a", "[0,1)'a'"},
      {"(a|ab)(c|bcd)", "abcd", "[0,4)'abcd' g1='a' g2='bcd'"},
      {"(a+)(a+)", "aaaa", "[0,4)'aaaa' g1='aaa' g2='a'"},
      {"(a+?)(a+)", "aaaa", "[0,4)'aaaa' g1='a' g2='aaa'"},
      {"(a|b)+", "abba", "[0,4)'abba' g1='a'"},
      {"(a)|b", "b", "[0,1)'b' g1=-"},
      {"(x)?y", "y", "[0,1)'y' g1=-"},
      {"((a)(b))c", "abc", "[0,3)'abc' g1='ab' g2='a' g3='b'"},
      {"(?:a(b))+", "abab", "[0,4)'abab' g1='b'"},
      {"(a*)*", "b", "[0,0)'' g1=-"},
      {"(a*)+", "b", "[0,0)'' g1=''"},
      {"x*y|x", "xxxx", "[0,1)'x'"},
  });
}

TEST(RegExpTest, AnchorsAndDot) {
  ExpectCases(false, true, {
      {"^a", "aa", "[0,1)'a'"},
      {"^a", "ba", "none"},
      {"a$", "aba", "[2,3)'a'"},
      {"a$", "ab", "none"},
      {"^", "ab", "[0,0)''"},
      {"$", "ab", "[2,2)''"},
      {"^$", "", "[0,0)''"},
      {"^$", "a", "none"},
      {".+", "ab\ncd", "[0,2)'ab' | [3,5)'cd'"},
  });
}

TEST(RegExpTest, EmptyMatchesAdvanceTheGlobalSearch) {
  ExpectCases(false, true, {
      {"a*", "baa", "[0,0)'' | [1,3)'aa' | [3,3)''"},
      {"", "ab", "[0,0)'' | [1,1)'' | [2,2)''"},
      {"x*", "", "[0,0)''"},
      {"a|", "ba", "[0,0)'' | [1,2)'a' | [2,2)''"},
  });
  ExpectCases(false, false, {
      {"a*", "baa", "[0,0)''"},
      {"a", "aaa", "[0,1)'a'"},
  });
}

TEST(RegExpTest, ClassesAndEscapes) {
  ExpectCases(false, true, {
      {"\\w+", "abcДе_1", "[0,3)'abc' | [5,7)'_1'"},
      {"\\W+", "ab-Дe", "[2,4)'-Д'"},
      {"\\d+", "x١23", "[2,4)'23'"},
      {"\\D", "1a", "[1,2)'a'"},
      {"[\\s]+", "a\v\f\t b", "[1,5)'\v\f\t '"},
      {"\\s", "a\u00a0\u2003b", "none"},
      {"\\S+", "a\u00a0b c", "[0,3)'a\u00a0b' | [4,5)'c'"},
      {"[\\]\\-\\\\]+", "a]-\\b", "[1,4)']-\\'"},
      {"[-a]+", "-a-b", "[0,3)'-a-'"},
      {"[a-]+", "-a-b", "[0,3)'-a-'"},
      {"[^a-c]+", "abxyc", "[2,4)'xy'"},
      {"[\\'\\\"]", "a'\"", "[1,2)''' | [2,3)'\"'"},
      {"\\(\\)\\.\\*\\+\\?\\[\\]\\{\\}\\|\\^\\$", "x().*+?[]{}|^$", "[1,14)'().*+?[]{}|^$'"},
      {"\\t\\n\\r\\f\\v", "\t\n\r\f\v", "[0,5)'\t\n\r\f\v'"},
      {"[]a", "a", "none"},
      {"[^]", "\n", "[0,1)'\n'"},
      {"]}", "]}", "[0,2)']}'"},
  });
}

TEST(RegExpTest, IgnoreCaseFoldsLettersOfEveryScript) {
  ExpectCases(true, false, {
      {"abc", "xABCx", "[1,4)'ABC'"},
      {"ПРОЦЕДУРА", "процедура", "[0,9)'процедура'"},
      {"ё", "Ё", "[0,1)'Ё'"},
      {"é", "É", "[0,1)'É'"},
      {"[а-я]+", "ЯБЛОКО", "[0,6)'ЯБЛОКО'"},
      {"[А-я]", "Ё", "none"},
      {"[А-я]", "ё", "none"},
      {"[Ё]", "ё", "[0,1)'ё'"},
      {"[ё]+", "ЁёЁ", "[0,3)'ЁёЁ'"},
      {"[^a]", "A", "none"},
      {"[^\\W]", "Ё", "none"},
      {"\\w", "É", "none"},
  });
  ExpectCases(false, false, {
      {"abc", "ABC", "none"},
      {"[^a]", "A", "[0,1)'A'"},
      {"[а-я]", "Я", "none"},
  });
}

TEST(RegExpTest, SyntaxErrorsNameTheProblemAndItsPosition) {
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"(a", "missing ')' for the '(' at position 1"},
      {"a)", "unmatched ')' at position 2"},
      {"a(b|c))", "unmatched ')' at position 7"},
      {"[z-a]", "range out of order at position 2"},
      {"[Я-А]", "range out of order at position 2"},
      {"[\\w-z]", "a class escape cannot bound a range at position 2"},
      {"*a", "nothing to repeat before '*' at position 1"},
      {"a|+", "nothing to repeat before '+' at position 3"},
      {"(?a)", "unsupported group construct '(?' at position 1"},
      {"(?=a)", "unsupported group construct '(?' at position 1"},
      {"a**", "quantifier after a quantifier at position 3"},
      {"a*??", "quantifier after a quantifier at position 4"},
      {"^*", "quantifier after an anchor at position 2"},
      {"a\\", "trailing backslash at position 2"},
      {"[a\\", "trailing backslash at position 3"},
      {"[abc", "missing ']' for the '[' at position 1"},
      {"\\b", "unsupported escape '\\b' at position 1"},
      {"[\\1]", "unsupported escape '\\1' at position 2"},
      {"a{2}", "counted repetition '{' is not supported at position 2"},
  };
  for (const auto& [pattern, problem] : cases) {
    RegExp regexp;
    Status status = regexp.SetPattern(U16(pattern));
    EXPECT_EQ(status.code(), Status::kInvalidArgument) << pattern;
    EXPECT_EQ(status.message(), std::string("syntax error in the regular expression: ") + problem) << pattern;
    std::vector<RegExpMatch> matches(2);
    Status again = regexp.Execute(u"text", matches);
    EXPECT_EQ(again.message(), status.message()) << pattern;
    EXPECT_TRUE(matches.empty()) << pattern;
  }
}

TEST(RegExpTest, DeepNestingIsAnErrorNotACrash) {
  std::u16string deep(1000, u'(');
  deep += u"a";
  deep += std::u16string(1000, u')');
  RegExp regexp;
  EXPECT_EQ(regexp.SetPattern(deep).message(),
            "syntax error in the regular expression: groups nested too deeply at position 201");
}

TEST(RegExpTest, SwitchingPatternsAndCaseReusesNothingStale) {
  RegExp regexp;
  regexp.IgnoreCase = true;
  std::vector<RegExpMatch> matches;
  for (int round = 0; round < 3; ++round) {
    ASSERT_TRUE(regexp.SetPattern(patterns::kHeader).ok());
    ASSERT_TRUE(regexp.Execute(u"процедура А()", matches).ok());
    EXPECT_EQ(Dump(matches), "[0,13)'процедура А()' g1=- g2='процедура' g3='А' g4=''");
    ASSERT_TRUE(regexp.SetPattern(patterns::kEnd).ok());
    ASSERT_TRUE(regexp.Execute(u"конецпроцедуры", matches).ok());
    EXPECT_EQ(Dump(matches), "[0,14)'конецпроцедуры' g1='конецпроцедуры'");
  }
  regexp.IgnoreCase = false;
  ASSERT_TRUE(regexp.Execute(u"конецпроцедуры", matches).ok());
  EXPECT_EQ(Dump(matches), "none");
  ASSERT_TRUE(regexp.Execute(u"КонецПроцедуры", matches).ok());
  EXPECT_EQ(Dump(matches), "none");
  ASSERT_TRUE(regexp.Execute(u"КОНЕЦПРОЦЕДУРЫ", matches).ok());
  EXPECT_EQ(Dump(matches), "[0,14)'КОНЕЦПРОЦЕДУРЫ' g1='КОНЕЦПРОЦЕДУРЫ'");
}

TEST(RegExpTest, ExecuteReplacesEarlierMatches) {
  RegExp regexp;
  regexp.Global = true;
  ASSERT_TRUE(regexp.SetPattern(u"(b)|a").ok());
  std::vector<RegExpMatch> matches;
  ASSERT_TRUE(regexp.Execute(u"bab", matches).ok());
  EXPECT_EQ(Dump(matches), "[0,1)'b' g1='b' | [1,2)'a' g1=- | [2,3)'b' g1='b'");
  ASSERT_TRUE(regexp.Execute(u"ab", matches).ok());
  EXPECT_EQ(Dump(matches), "[0,1)'a' g1=- | [1,2)'b' g1='b'");
  ASSERT_TRUE(regexp.Execute(u"x", matches).ok());
  EXPECT_EQ(Dump(matches), "none");
}

// Global lists every call on a line, else the first; a syntax error is
// reported by Execute too, with nothing listed.
TEST(RegExpTest, ExecuteListsEveryMatchOrTheFirst) {
  RegExp regexp;
  regexp.IgnoreCase = true;
  const std::u16string text = u"  А(Б (1), ё()); x.Учёт(\"(\") b()";
  std::vector<RegExpMatch> listed;
  for (bool global : {true, false}) {
    regexp.Global = global;
    ASSERT_TRUE(regexp.SetPattern(patterns::kCall).ok());
    ASSERT_TRUE(regexp.Execute(text, listed).ok());
    EXPECT_EQ(listed.size(), global ? 5u : 1u);
  }
  EXPECT_FALSE(regexp.SetPattern(u"(").ok());
  EXPECT_EQ(regexp.Execute(u"(", listed).code(), Status::kInvalidArgument);
  EXPECT_TRUE(listed.empty());
}

// Long texts: the automaton's cache and the two group matchers (the
// backtracker for short matches, the Pike VM for long ones) all give the
// same answers as on short texts.
TEST(RegExpTest, LongTexts) {
  RegExp regexp;
  regexp.IgnoreCase = true;
  regexp.Global = true;
  ASSERT_TRUE(regexp.SetPattern(patterns::kCall).ok());
  std::u16string line(300000, u'ж');
  std::vector<RegExpMatch> matches;
  ASSERT_TRUE(regexp.Execute(line, matches).ok());
  EXPECT_TRUE(matches.empty());

  line += u"(";
  ASSERT_TRUE(regexp.Execute(line, matches).ok());
  ASSERT_EQ(matches.size(), 1u);
  EXPECT_EQ(matches[0].FirstIndex, 0u);
  EXPECT_EQ(matches[0].Length, 300001u);
  EXPECT_EQ(matches[0].SubMatches[0]->size(), 300000u);

  ASSERT_TRUE(regexp.SetPattern(u"(a+?)(a*)b|(a)").ok());
  const std::u16string as = std::u16string(200000, u'a') + u"b";
  ASSERT_TRUE(regexp.Execute(as, matches).ok());
  EXPECT_EQ(Dump(matches).substr(0, 24), "[0,200001)'aaaaaaaaaaaaa");
  EXPECT_EQ(matches[0].SubMatches[0]->size(), 1u);
  EXPECT_EQ(matches[0].SubMatches[1]->size(), 199999u);
  EXPECT_FALSE(matches[0].SubMatches[2].has_value());
}

// a[ab]{16}c searched everywhere needs a state per pattern of a's among
// the last 16 units, 65536 states, far more than the automaton's cache
// holds: it must start over again and again and still find the match.
TEST(RegExpTest, AutomatonCacheStartsOverWhenFull) {
  std::u16string pattern = u"a";
  for (int i = 0; i < 16; ++i) pattern += u"[ab]";
  pattern += u"c";
  RegExp regexp;
  ASSERT_TRUE(regexp.SetPattern(pattern).ok());
  std::u16string text;
  uint32_t seed = 12345;
  for (int i = 0; i < 200000; ++i) {
    seed = seed * 1103515245 + 12345;
    text += (seed >> 16) & 1 ? u'a' : u'b';
  }
  const size_t c_at = 190000;
  text[c_at] = u'c';
  text[c_at - 17] = u'a';
  std::vector<RegExpMatch> matches;
  ASSERT_TRUE(regexp.Execute(text, matches).ok());
  ASSERT_EQ(matches.size(), 1u);
  EXPECT_EQ(matches[0].FirstIndex, c_at - 17);
  EXPECT_EQ(matches[0].Length, 18u);
}

}  // namespace
}  // namespace ramulet
