#include "analysis/call_analysis.h"

#include <gtest/gtest.h>

#include "bench/support/module_generator.h"
#include "platform/dictionary.h"
#include "host/host_configurator.h"
#include "tests/support/refresh_fixture.h"

namespace ramulet {
namespace {

std::string Analyze(const std::string& module) {
  RefreshRun run(module);
  Status status = run.Run();
  if (!status.ok()) return "error: " + status.message();
  return DumpTables(run.tables);
}

struct AnalysisCase {
  const char* name;
  const char* module;
  const char* dump;
};

const AnalysisCase kCases[] = {
    {"lines belong to methods as the worked example shows",
     "Процедура А()\n"  // 0
     "  Б();\n"         // 1
     "  Б();\n"         // 2
     "КонецПроцедуры\n" // 3
     "Б(); А();\n"      // 4: first line after the end counts for the next method
     "Б();\n"           // 5: skipped
     "Процедура Б()\n"  // 6
     "  А();\n"         // 7
     "КонецПроцедуры\n" // 8
     "А();",            // 9: below the last end, still the last method
     "0 А header=0 end=3 calls=[Б@1,Б@2] callers=[1,1,1]\n"
     "1 Б header=6 end=8 calls=[Б@4,А@4,А@7,А@9] callers=[0,0,1]\n"},
    {"calls above the first header are not recorded",
     "А();\nПроцедура А()\nКонецПроцедуры",
     "0 А header=1 end=2 calls=[] callers=[]\n"},
    {"a comment mark anywhere drops every call on the line",
     "Процедура А()\n  А(); // А()\n  Сообщить(\"http://x\" + А());\n  А()\nКонецПроцедуры",
     "0 А header=0 end=4 calls=[А@3] callers=[0]\n"},
    {"keywords anywhere in the upper-cased line drop it",
     "Процедура ФункцияРасчета()\nКонецПроцедуры\nПроцедура Б()\n  ФункцияРасчета();\n"
     "  х = \"процедура\" + Б();\n  Б();\nКонецПроцедуры",
     "0 ФункцияРасчета header=0 end=1 calls=[] callers=[]\n"
     "1 Б header=2 end=6 calls=[Б@5] callers=[1]\n"},
    {"letter case must match; spaces before the parenthesis are allowed",
     "Процедура Расчет()\n  расчет();\n  РАСЧЕТ ();\n  Расчет \t (1);\nКонецПроцедуры",
     "0 Расчет header=0 end=4 calls=[Расчет@3] callers=[0]\n"},
    {"member calls, nested calls and repeats each count, left to right",
     "Процедура А()\nКонецПроцедуры\nФункция Б(Х)\n  Объект.А(Б(А()), Б(1));\nКонецФункции",
     "0 А header=0 end=1 calls=[] callers=[1,1]\n"
     "1 Б header=2 end=4 calls=[А@3,Б@3,А@3,Б@3] callers=[1,1]\n"},
    {"a name with a letter outside the class is cut there",
     "Процедура Тест()\nКонецПроцедуры\nПроцедура Б()\n  ЁТест(); Не-Тест();\nКонецПроцедуры",
     "0 Тест header=0 end=1 calls=[] callers=[1]\n"
     "1 Б header=2 end=4 calls=[Тест@3] callers=[]\n"},
    {"Ё and ё are letters of a name, in headers and calls",
     "Процедура Ёж()\nКонецПроцедуры\nПроцедура ж()\n  Ёж(); жА(); Учёт();\nКонецПроцедуры\n"
     "Функция Учёт()\nКонецФункции",
     "0 Ёж header=0 end=1 calls=[] callers=[1]\n"
     "1 ж header=2 end=4 calls=[Ёж@3,Учёт@3] callers=[]\n"
     "2 Учёт header=5 end=6 calls=[] callers=[1]\n"},
    {"a one-method module calling itself keeps the reference",
     "Функция Ф(Н)\n  Возврат Ф(Н - 1);\nКонецФункции",
     "0 Ф header=0 end=2 calls=[Ф@1] callers=[0]\n"},
    {"two references to one callee stand twice on both sides",
     "Процедура А()\n  Б(); Б();\nКонецПроцедуры\nПроцедура Б()\nКонецПроцедуры",
     "0 А header=0 end=2 calls=[Б@1,Б@1] callers=[]\n"
     "1 Б header=3 end=4 calls=[] callers=[0,0]\n"},
    {"an end line above the first header ends no method",
     "КонецПроцедуры\n"   // 0: key 0
     "Процедура А()\n"    // 1
     "  В();\n"           // 2
     "  А();\n"           // 3
     "КонецПроцедуры\n"   // 4: key 1, А's end
     "Процедура Б()\n"    // 5
     "  А();\n"           // 6
     "КонецПроцедуры\n"   // 7: key 2, Б's end
     "Процедура В()\n"    // 8
     "  Б();\n"           // 9
     "КонецПроцедуры",    // 10: key 3, В's end
     "0 А header=1 end=4 calls=[В@2,А@3] callers=[0,1]\n"
     "1 Б header=5 end=7 calls=[А@6] callers=[2]\n"
     "2 В header=8 end=10 calls=[Б@9] callers=[0]\n"},
    {"the example of an end line above the first header",
     "КонецПроцедуры\nПроцедура A()\n  B();\nКонецПроцедуры\nПроцедура B()\nКонецПроцедуры",
     "0 A header=1 end=3 calls=[B@2] callers=[]\n"
     "1 B header=4 end=5 calls=[] callers=[0]\n"},
    {"a method without an end line ends before the next header",
     "Процедура А()\n  Б();\nПроцедура Б()\n  А();\nКонецПроцедуры\nПроцедура В()\n  А();",
     "0 А header=0 end=1 calls=[Б@1] callers=[1,2]\n"
     "1 Б header=2 end=4 calls=[А@3] callers=[0]\n"
     "2 В header=5 end=6 calls=[А@6] callers=[]\n"},
    {"an end line indented with a tab is not recognised and shifts nothing",
     "Процедура А()\n"    // 0
     "\tКонецПроцедуры\n" // 1: not an end line; А ends before Б's header
     "Процедура Б()\n"    // 2
     "  В();\n"           // 3
     "КонецПроцедуры\n"   // 4: Б's end
     "Процедура В()\n"    // 5
     "  Б();\n"           // 6
     "КонецПроцедуры",    // 7: В's end
     "0 А header=0 end=1 calls=[] callers=[]\n"
     "1 Б header=2 end=4 calls=[В@3] callers=[2]\n"
     "2 В header=5 end=7 calls=[Б@6] callers=[1]\n"},
    {"only the first end line after a header counts",
     "Процедура А()\nКонецПроцедуры\n  Б();\nКонецПроцедуры\n  Б();\nПроцедура Б()\nКонецПроцедуры",
     // Line 2 is the first line after А's end and counts for Б; line 4 is skipped.
     "0 А header=0 end=1 calls=[] callers=[]\n"
     "1 Б header=5 end=6 calls=[Б@2] callers=[1]\n"},
    {"the last method without an end line runs to the end of the module",
     "Процедура А()\nКонецПроцедуры\nПроцедура Б()\n  А();\n\n  А();",
     "0 А header=0 end=1 calls=[] callers=[1,1]\n"
     "1 Б header=2 end=5 calls=[А@3,А@5] callers=[]\n"},
    {"calls below the last method's end line still count for it",
     "Процедура А()\nКонецПроцедуры\nА();",
     "0 А header=0 end=1 calls=[А@2] callers=[0]\n"},
    {"three methods, the first calling the others once",
     "Процедура П()\n  В();\n  Т();\nКонецПроцедуры\nПроцедура В()\nКонецПроцедуры\nПроцедура Т()\nКонецПроцедуры",
     "0 П header=0 end=3 calls=[В@1,Т@2] callers=[]\n"
     "1 В header=4 end=5 calls=[] callers=[0]\n"
     "2 Т header=6 end=7 calls=[] callers=[0]\n"},
    {"a module without methods", "А();\nБ = 1;", ""},
};

TEST(CallAnalysisTest, RecordsCallReferences) {
  for (const AnalysisCase& c : kCases) EXPECT_EQ(Analyze(c.module), c.dump) << c.name;
}

TEST(CallAnalysisTest, FillsArraysFromDictionaries) {
  RefreshRun run("КонецПроцедуры\nПроцедура А()\nКонецПроцедуры\nФункция Б()\nКонецФункции");
  ASSERT_TRUE(run.Run().ok());
  const MethodTables& t = run.tables;
  EXPECT_EQ(t.LastMeth, 1);
  ASSERT_EQ(t.A.ArraySize(), 2u);
  EXPECT_TRUE((*t.A.AsArray())[1].EqualsText(u"Б"));
  ASSERT_EQ(t.b.ArraySize(), 2u);
  EXPECT_TRUE((*t.b.AsArray())[1].EqualsNumber(3));
  ASSERT_EQ(t.c.ArraySize(), 3u);
  EXPECT_TRUE((*t.c.AsArray())[0].EqualsNumber(0));
  EXPECT_EQ(t.d.type(), Variant::Type::Array);
  EXPECT_EQ(t.d.ArraySize(), 0u);
  EXPECT_TRUE(t.CommonScripts.IsEmpty());
}

TEST(CallAnalysisTest, CountsOnBothSidesAgree) {
  RefreshRun run(
      "Процедура А()\n  Б(); В(); А();\nКонецПроцедуры\nПроцедура Б()\n  В(В());\nКонецПроцедуры\n"
      "Процедура В()\n  А();\nКонецПроцедуры");
  ASSERT_TRUE(run.Run().ok());
  int calls = 0, callers = 0;
  for (int32_t m = 0; m <= run.tables.LastMeth; ++m) {
    calls += run.tables.CallCount(m);
    callers += run.tables.CallerCount(m);
  }
  EXPECT_EQ(calls, 6);
  EXPECT_EQ(callers, calls);
}

TEST(CallAnalysisTest, HostFailureKeepsTablesWrittenSoFar) {
  RefreshRun run("Процедура А()\n  А();\n  А();\nКонецПроцедуры");
  run.module->FailCall("Range", 5);  // the analysis's read of line 2
  Status status = run.Run();
  EXPECT_EQ(status.code(), Status::kHostError);
  EXPECT_EQ(DumpTables(run.tables), "0 А header=0 end=3 calls=[А@1] callers=[0]\n");
  EXPECT_EQ(run.tree_builds, 0);
}

// Where every method has exactly one recognised end line, taking end lines
// by key gives each method the end line the positional reading gave it (the
// items of `c` in order), so the line pass, and every result, is unchanged.
TEST(CallAnalysisTest, OneEndLinePerMethodGivesThePositionalEndLines) {
  const ModuleShape shapes[] = {{400, 40, 3.0, 1}, {2000, 150, 5.0, 7}, {300, 100, 1.0, 3}};
  for (const ModuleShape& shape : shapes) {
    std::vector<std::u16string> lines;
    ASSERT_TRUE(GenerateModule(shape, lines).ok());
    HostConfigurator::Set(MakeMemoryHost(std::make_shared<MemoryTextModule>(lines)));
    MethodTables tables;
    RecordingMethodList modul;
    ScriptedMessageBoxes boxes;
    ASSERT_TRUE(Refresh(tables, modul, boxes, nullptr).ok()) << shape.seed;
    ASSERT_EQ(tables.MethodCount(), shape.methods);
    auto method_kon = tables.MethodKon.AsObjectOf<Dictionary>();
    ASSERT_EQ(method_kon->Count(), static_cast<size_t>(shape.methods));
    const VariantArray& c = *tables.c.AsArray();
    for (int32_t m = 0; m < shape.methods; ++m) {
      ASSERT_TRUE(method_kon->KeyList()[m].EqualsNumber(m + 1)) << "seed " << shape.seed << " method " << m;
      EXPECT_EQ(tables.MethEnd[m], c[m].ToInt32().value_or(-1)) << "seed " << shape.seed << " method " << m;
    }
  }
}

TEST(CallAnalysisTest, RequiresAScannedModule) {
  MethodTables tables;
  Status status = AnalyzeCalls(tables);
  EXPECT_FALSE(status.ok());
  EXPECT_FALSE(status.message().empty());
}

}  // namespace
}  // namespace ramulet
