#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "cli/cli_test_support.h"
#include "cli/json_string.h"

namespace ramulet {
namespace {

// Старт calls Расчет twice and Вывод once, Вывод calls itself, Пусто is
// called by nobody.
constexpr const char* kFourMethods =
    "Процедура Старт()\n"
    "\tРасчет(1);\n"
    "\tРасчет(2); Вывод();\n"
    "КонецПроцедуры\n"
    "\n"
    "Функция Расчет(Знач Ч = 0)\n"
    "\tВозврат Ч;\n"
    "КонецФункции\n"
    "Процедура Вывод()\n"
    "\tВывод();\n"
    "КонецПроцедуры\n"
    "Процедура Пусто()\n"
    "КонецПроцедуры\n";

constexpr const char* kFourMethodsMethods =
    R"({"lineCount": 13, "methods": [)"
    R"({"index": 0, "name": "Старт", "headerLine": 0, "endLine": 3, )"
    R"("calls": [{"target": 1, "line": 1}, {"target": 1, "line": 2}, {"target": 2, "line": 2}], "callers": []}, )"
    R"({"index": 1, "name": "Расчет", "headerLine": 5, "endLine": 7, "calls": [], "callers": [0, 0]}, )"
    R"({"index": 2, "name": "Вывод", "headerLine": 8, "endLine": 10, )"
    R"("calls": [{"target": 2, "line": 9}], "callers": [0, 2]}, )"
    R"({"index": 3, "name": "Пусто", "headerLine": 11, "endLine": 12, "calls": [], "callers": []}], )";

std::string WithCrLf(std::string text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

TEST(JsonOutputTest, FullDocument) {
  CliRun run = RunOnStdin(kFourMethods, {"--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, std::string(kFourMethodsMethods) +
                         R"("nodeCount": 7, "tree": [)"
                         R"({"name": "Старт", "children": [{"name": "Расчет", "children": []}, )"
                         R"({"name": "Расчет", "children": []}, {"name": "Вывод", "children": []}]}, )"
                         R"({"name": "Расчет", "children": []}, {"name": "Вывод", "children": []}, )"
                         R"({"name": "Пусто", "children": []}], "truncated": false})"
                         "\n");
  EXPECT_TRUE(IsWellFormedJson(run.out));
  // The same module with Windows line ends gives the same document.
  EXPECT_EQ(RunOnStdin(WithCrLf(kFourMethods), {"--json"}).out, run.out);
}

TEST(JsonOutputTest, NoTreeStillCountsNodes) {
  CliRun run = RunOnStdin(kFourMethods, {"--json", "--no-tree"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, std::string(kFourMethodsMethods) + R"("nodeCount": 7, "tree": [], "truncated": false})" "\n");
}

TEST(JsonOutputTest, SmallModules) {
  struct Case {
    const char* module;
    const char* json;
  };
  const Case cases[] = {
      {"", R"({"lineCount": 0, "methods": [], "nodeCount": 0, "tree": [], "truncated": false})"},
      {"// только комментарий\n\n",
       R"({"lineCount": 2, "methods": [], "nodeCount": 0, "tree": [], "truncated": false})"},
      // The last method has no end line: it ends on the module's last line.
      {"Функция Один()\n\tВозврат 1;",
       R"({"lineCount": 2, "methods": [{"index": 0, "name": "Один", "headerLine": 0, "endLine": 1, )"
       R"("calls": [], "callers": []}], "nodeCount": 1, "tree": [{"name": "Один", "children": []}], )"
       R"("truncated": false})"},
      // A forward declaration records nothing; a call inside a comment line
      // does not count.
      {"Процедура Б() Далее\nПроцедура А()\n\tБ(); // Б()\n\tБ();\nКонецПроцедуры\nПроцедура Б()\nКонецПроцедуры",
       R"({"lineCount": 7, "methods": [{"index": 0, "name": "А", "headerLine": 1, "endLine": 4, )"
       R"("calls": [{"target": 1, "line": 3}], "callers": []}, {"index": 1, "name": "Б", "headerLine": 5, )"
       R"("endLine": 6, "calls": [], "callers": [0]}], "nodeCount": 3, "tree": [{"name": "А", "children": )"
       R"([{"name": "Б", "children": []}]}, {"name": "Б", "children": []}], "truncated": false})"},
      // An end line above the first header ends no method; a method without
      // an end line ends on the line before the next header.
      {"КонецПроцедуры\nПроцедура A()\n  B();\nКонецПроцедуры\nПроцедура B()\n  A();\nПроцедура C()",
       R"({"lineCount": 7, "methods": [{"index": 0, "name": "A", "headerLine": 1, "endLine": 3, )"
       R"("calls": [{"target": 1, "line": 2}], "callers": [1]}, {"index": 1, "name": "B", "headerLine": 4, )"
       R"("endLine": 5, "calls": [{"target": 0, "line": 5}], "callers": [0]}, {"index": 2, "name": "C", )"
       R"("headerLine": 6, "endLine": 6, "calls": [], "callers": []}], "nodeCount": 5, "tree": [)"
       R"({"name": "A", "children": [{"name": "B", "children": []}]}, {"name": "B", "children": )"
       R"([{"name": "A", "children": []}]}, {"name": "C", "children": []}], "truncated": false})"},
  };
  for (const Case& c : cases) {
    CliRun run = RunOnStdin(c.module, {"--json"});
    EXPECT_EQ(run.status, 0) << c.module << run.err;
    EXPECT_EQ(run.out, std::string(c.json) + "\n") << c.module;
    EXPECT_TRUE(IsWellFormedJson(run.out)) << run.out;
  }
}

// The methods read before the duplicate end as the analysis ended them
// (the server's outline shows the same lines): Б has no end line of its
// own and ends before the line that stopped the analysis.
TEST(JsonOutputTest, DuplicateMethodDocument) {
  CliRun run = RunOnStdin(
      "Процедура А()\nКонецПроцедуры\nФункция Б()\n\nПроцедура А()\nКонецПроцедуры\n", {"--json"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            R"({"lineCount": 6, "methods": [)"
            R"({"index": 0, "name": "А", "headerLine": 0, "endLine": 1, "calls": [], "callers": []}, )"
            R"({"index": 1, "name": "Б", "headerLine": 2, "endLine": 3, "calls": [], "callers": []}], )"
            R"("nodeCount": 0, "tree": [], "truncated": false, )"
            R"("error": {"kind": "duplicate-method", "name": "А", "line": 4}})"
            "\n");
  EXPECT_TRUE(IsWellFormedJson(run.out));
  EXPECT_EQ(run.err, "<stdin>:5: error: duplicate method 'А' (first declared at line 1)\n");
}

TEST(JsonStringTest, Escapes) {
  struct Case {
    std::u16string text;
    std::string json;
  };
  const Case cases[] = {
      {u"", R"("")"},
      {u"Имя", R"("Имя")"},
      {u"a\"b\\c/", R"("a\"b\\c/")"},
      {u"\n\t\x01\x1f", R"("\u000A\u0009\u0001\u001F")"},
      {std::u16string(u"a\0b", 3), R"("a\u0000b")"},
      {u"\U0001F600¬", "\"\xF0\x9F\x98\x80\xC2\xAC\""},
  };
  for (const Case& c : cases) {
    std::ostringstream out;
    WriteJsonString(c.text, out);
    EXPECT_EQ(out.str(), c.json);
    EXPECT_TRUE(IsWellFormedJson(out.str()));
  }
}

TEST(JsonCheckerTest, TellsWellFormedFromBroken) {
  EXPECT_TRUE(IsWellFormedJson(R"({"a": [1, -2.5e3, true, null, "x\u00e9"], "b": {}})"));
  for (const char* broken : {"", "{", R"({"a" 1})", "[1,]", R"("\x")", "01", "{} {}", "[\"a\nb\"]"}) {
    EXPECT_FALSE(IsWellFormedJson(broken)) << broken;
  }
}

}  // namespace
}  // namespace ramulet
