#include "analysis/call_analysis.h"

#include <gtest/gtest.h>

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
     "Процедура Тест()\nКонецПроцедуры\nПроцедура Б()\n  ЁТест(); НеТест();\nКонецПроцедуры",
     "0 Тест header=0 end=1 calls=[] callers=[1]\n"
     "1 Б header=2 end=4 calls=[Тест@3] callers=[]\n"},
    {"a one-method module calling itself keeps the reference",
     "Функция Ф(Н)\n  Возврат Ф(Н - 1);\nКонецФункции",
     "0 Ф header=0 end=2 calls=[Ф@1] callers=[0]\n"},
    {"two references to one callee stand twice on both sides",
     "Процедура А()\n  Б(); Б();\nКонецПроцедуры\nПроцедура Б()\nКонецПроцедуры",
     "0 А header=0 end=2 calls=[Б@1,Б@1] callers=[]\n"
     "1 Б header=3 end=4 calls=[] callers=[0,0]\n"},
    {"an end line above the first header shifts every end line",
     "КонецПроцедуры\n"   // 0
     "Процедура А()\n"    // 1
     "  В();\n"           // 2: counts for Б (А's end line is 0)
     "  А();\n"           // 3: skipped
     "КонецПроцедуры\n"   // 4
     "Процедура Б()\n"    // 5
     "  А();\n"           // 6: counts for В
     "КонецПроцедуры\n"   // 7
     "Процедура В()\n"    // 8
     "  Б();\n"           // 9: last method
     "КонецПроцедуры",    // 10
     "0 А header=1 end=0 calls=[] callers=[2]\n"
     "1 Б header=5 end=4 calls=[В@2] callers=[2]\n"
     "2 В header=8 end=7 calls=[А@6,Б@9] callers=[1]\n"},
    {"a method without an end line ends before the next header",
     "Процедура А()\n  Б();\nПроцедура Б()\n  А();\nКонецПроцедуры\nПроцедура В()\n  А();",
     // The only end line recorded is taken as the first method's.
     "0 А header=0 end=4 calls=[Б@1,А@3] callers=[0,2]\n"
     "1 Б header=2 end=4 calls=[] callers=[0]\n"
     "2 В header=5 end=none calls=[А@6] callers=[]\n"},
    {"the last method without an end line runs to the end of the module",
     "Процедура А()\nКонецПроцедуры\nПроцедура Б()\n  А();\n\n  А();",
     "0 А header=0 end=1 calls=[] callers=[1,1]\n"
     "1 Б header=2 end=none calls=[А@3,А@5] callers=[]\n"},
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
  run.module->FailCall("Range", 10);  // the analysis's first read of line 2
  Status status = run.Run();
  EXPECT_EQ(status.code(), Status::kHostError);
  EXPECT_EQ(DumpTables(run.tables), "0 А header=0 end=3 calls=[А@1] callers=[0]\n");
  EXPECT_EQ(run.tree_builds, 0);
}

TEST(CallAnalysisTest, RequiresAScannedModule) {
  MethodTables tables;
  Status status = AnalyzeCalls(tables);
  EXPECT_FALSE(status.ok());
  EXPECT_FALSE(status.message().empty());
}

}  // namespace
}  // namespace ramulet
