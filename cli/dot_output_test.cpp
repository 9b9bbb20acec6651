#include "cli/dot_output.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "cli/cli_test_support.h"

namespace ramulet {
namespace {

// Главная calls Цена twice and Итог once; Итог calls itself; Цена calls
// Итог; Лишняя calls Цена and nobody calls it.
constexpr const char* kGraph =
    "Процедура Главная()\n"
    "\tЦена(); Цена(); Итог();\n"
    "КонецПроцедуры\n"
    "Функция Цена()\n"
    "\tВозврат Итог();\n"
    "КонецФункции\n"
    "Функция Итог()\n"
    "\tВозврат Итог();\n"
    "КонецФункции\n"
    "Процедура Лишняя()\n"
    "\tЦена();\n"
    "КонецПроцедуры\n";

TEST(DotOutputTest, GraphShape) {
  CliRun run = RunOnStdin(kGraph, {"--dot"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "digraph calls {\n"
            "  node [shape=box, fontname=\"sans-serif\"];\n"
            "  edge [fontsize=10];\n"
            "  m0 [label=\"Главная\", style=\"filled,bold\", fillcolor=\"#ffe8a8\"];\n"
            "  m1 [label=\"Цена\"];\n"
            "  m2 [label=\"Итог\"];\n"
            "  m3 [label=\"Лишняя\", style=\"filled,bold\", fillcolor=\"#ffe8a8\"];\n"
            "  { rank=source; m0; m3; }\n"
            "  m0 -> m1 [label=\"2\"];\n"
            "  m0 -> m2 [label=\"1\"];\n"
            "  m1 -> m2 [label=\"1\"];\n"
            "  m2 -> m2 [label=\"1\"];\n"
            "  m3 -> m1 [label=\"1\"];\n"
            "}\n");
}

TEST(DotOutputTest, OnlySelfCallerIsStillAnEntryPoint) {
  CliRun run = RunOnStdin("Процедура Сам()\n\tСам();\nКонецПроцедуры\nПроцедура Другой()\nКонецПроцедуры\n",
                          {"--dot"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("{ rank=source; m0; m1; }"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("m0 -> m0 [label=\"1\"];"), std::string::npos) << run.out;
}

TEST(DotOutputTest, EmptyModuleIsAnEmptyGraph) {
  CliRun run = RunOnStdin("", {"--dot"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "digraph calls {\n  node [shape=box, fontname=\"sans-serif\"];\n  edge [fontsize=10];\n}\n");
}

TEST(DotStringTest, QuotesAndEscapes) {
  struct Case {
    std::u16string text;
    std::string dot;
  };
  const Case cases[] = {
      {u"Имя_1", "\"Имя_1\""},
      {u"a\"b", "\"a\\\"b\""},
      {u"a\\b", "\"a\\\\b\""},
      {u"a\nb\rc", "\"a\\nb\\nc\""},
      {u"\U0001F600", "\"\xF0\x9F\x98\x80\""},
  };
  for (const Case& c : cases) {
    std::ostringstream out;
    WriteDotString(c.text, out);
    EXPECT_EQ(out.str(), c.dot);
  }
}

}  // namespace
}  // namespace ramulet
