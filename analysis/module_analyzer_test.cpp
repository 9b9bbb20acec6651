#include "analysis/module_analyzer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text.h"
#include "tests/support/analysis_lines.h"
#include "tests/support/test_module.h"

namespace ramulet {
namespace {

std::string Analyze(const std::string& module) {
  ModuleAnalysis analysis;
  Status status = AnalyzeText(module, analysis);
  if (!status.ok()) return "error: " + status.message();
  return DumpAnalysis(analysis);
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

TEST(ModuleAnalyzerTest, RecordsCallReferences) {
  for (const AnalysisCase& c : kCases) EXPECT_EQ(Analyze(c.module), c.dump) << c.name;
}

// Every field of the result, one method or call a line:
//   "func Name 3:8 end=5 recorded" (kind, name, header line:name column)
//   "call Name@4:2" (callee, line:column), under the method making it
//   "leading end=0", "lines=7"
// then the error, if any.
std::string DumpFields(const ModuleAnalysis& analysis) {
  std::string out = "lines=" + std::to_string(analysis.line_count) + "\n";
  if (analysis.leading_end_line >= 0) out += "leading end=" + std::to_string(analysis.leading_end_line) + "\n";
  for (int32_t m = 0; m < analysis.MethodCount(); ++m) {
    const MethodInfo& method = analysis.methods[static_cast<size_t>(m)];
    out += std::string(method.kind == MethodKind::kFunction ? "func " : "proc ") + Utf16ToUtf8(method.name) + " " +
           std::to_string(method.header_line) + ":" + std::to_string(method.name_column) +
           " end=" + std::to_string(method.end_line) + (method.end_recorded ? " recorded" : "") + "\n";
    for (const MethodCall& call : analysis.CallsFrom(m)) {
      out += "  call " + Utf16ToUtf8(analysis.methods[static_cast<size_t>(call.callee)].name) + "@" +
             std::to_string(call.line) + ":" + std::to_string(call.column) + "\n";
    }
  }
  if (const std::optional<AnalysisError>& error = analysis.error) {
    if (error->kind == AnalysisError::Kind::kDuplicateMethod) {
      out += "duplicate " + Utf16ToUtf8(error->name) + " " + std::to_string(error->line) + ":" +
             std::to_string(error->name_column) + " first=" + std::to_string(error->first_line);
    } else {
      out += "unreadable line=" + std::to_string(error->line);
    }
    out += error->methods_complete ? " complete\n" : "\n";
  }
  return out;
}

struct FieldCase {
  const char* name;
  const char* module;
  const char* fault;  // a failing call of the module, "" for none
  int nth;
  int32_t code;
  const char* dump;
};

const FieldCase kFieldCases[] = {
    {"end lines: recorded, before the next header, the last line",
     "Процедура А()\n"    // 0
     "КонецПроцедуры\n"   // 1
     "Функция Б()\n"      // 2
     "  х = 1;\n"         // 3
     "Процедура В()\n"    // 4
     "  А();\n"           // 5
     "",                   // 6
     "", 0, Status::kOk,
     "lines=7\nproc А 0:10 end=1 recorded\nfunc Б 2:8 end=3\nproc В 4:10 end=6\n  call А@5:2\n"},
    {"an end line above the first header is kept apart",
     "КонецФункции\nКонецПроцедуры\nфункция А()\nКонецФункции", "", 0, Status::kOk,
     "lines=4\nleading end=0\nfunc А 2:8 end=3 recorded\n"},
    {"name columns after spaces, private and tabs",
     "  private  Функция Тест()\n\t ПРОЦЕДУРА\tЁж ()\nПроцедура Вперед() Далее", "", 0, Status::kOk,
     "lines=3\nfunc Тест 0:19 end=0\nproc Ёж 1:12 end=2\n"},
    {"call columns: the name's first unit, member calls and spaces before the parenthesis",
     "Процедура А()\n  Б(); x.А (1);\nКонецПроцедуры\nФункция Б()\n\tВозврат А(Б());\nКонецФункции", "", 0,
     Status::kOk,
     "lines=6\nproc А 0:10 end=2 recorded\n  call Б@1:2\n  call А@1:9\nfunc Б 3:8 end=5 recorded\n"
     "  call А@4:9\n  call Б@4:11\n"},
    {"a repeated name stops the analysis; the methods before it end before it",
     "Процедура А()\n"    // 0
     "КонецПроцедуры\n"   // 1
     "Процедура Б()\n"    // 2
     "  А();\n"           // 3
     "Функция А()\n"      // 4
     "КонецФункции",       // 5
     "", 0, Status::kDuplicateKey,
     "lines=6\nproc А 0:10 end=1 recorded\nproc Б 2:10 end=3\nduplicate А 4:8 first=0\n"},
    {"the line count fails before the headers", "Процедура А()\nКонецПроцедуры", "LineCount", 0,
     Status::kHostError, "lines=0\nunreadable line=-1\n"},
    {"a line fails in the pass over the headers",
     "Процедура А()\nКонецПроцедуры\nПроцедура Б()\n  А();\nКонецПроцедуры", "Range", 3, Status::kHostError,
     "lines=5\nproc А 0:10 end=1 recorded\nproc Б 2:10 end=2\nunreadable line=3\n"},
    {"the line count fails before the calls",
     "Процедура А()\nКонецПроцедуры\nПроцедура Б()\n  А();\nКонецПроцедуры", "LineCount", 1,
     Status::kHostError,
     "lines=5\nproc А 0:10 end=1 recorded\nproc Б 2:10 end=4 recorded\nunreadable line=-1 complete\n"},
    {"a line fails in the pass over the calls; the calls before it stay",
     "Процедура А()\nКонецПроцедуры\nПроцедура Б()\n  А();\n  Б();", "Range", 8, Status::kHostError,
     "lines=5\nproc А 0:10 end=1 recorded\nproc Б 2:10 end=4\n  call А@3:2\nunreadable line=4 complete\n"},
};

TEST(ModuleAnalyzerTest, DescribesEveryMethodCallAndError) {
  const ModuleAnalyzer analyzer;
  for (const FieldCase& c : kFieldCases) {
    SCOPED_TRACE(c.name);
    auto module = MakeModule(c.module);
    if (*c.fault) module->FailCall(c.fault, c.nth);
    ModuleAnalysis analysis;
    Status status = analyzer.Analyze(*module, analysis);
    EXPECT_EQ(status.code(), c.code) << status.message();
    EXPECT_EQ(DumpFields(analysis), c.dump);
    EXPECT_EQ(analysis.ok(), c.code == Status::kOk);
    if (!analysis.ok()) {
      EXPECT_EQ(analysis.error->status.code(), c.code);
    }
  }
}

TEST(ModuleAnalyzerTest, DuplicateErrorNamesTheMethodAndBothLines) {
  ModuleAnalysis analysis;
  Status status = AnalyzeText("Функция Итог()\nКонецФункции\n\n  Процедура Итог(А)\nКонецПроцедуры", analysis);
  ASSERT_EQ(status.code(), Status::kDuplicateKey);
  EXPECT_EQ(status.message(), "Процедура или функция «Итог» объявлена повторно в строке 4");
  ASSERT_FALSE(analysis.ok());
  EXPECT_EQ(analysis.error->status.message(), status.message());
  EXPECT_EQ(analysis.Find(u"Итог"), 0);
  EXPECT_TRUE(analysis.calls().empty());
  EXPECT_FALSE(analysis.error->methods_complete);
}

// A result is replaced by the next analysis, whatever it held.
TEST(ModuleAnalyzerTest, EachAnalysisReplacesTheResult) {
  ModuleAnalysis analysis;
  ASSERT_EQ(AnalyzeText("Процедура А()\nПроцедура А()", analysis).code(), Status::kDuplicateKey);
  ASSERT_TRUE(AnalyzeText("КонецПроцедуры\nПроцедура Б()\n  Б();", analysis).ok());
  EXPECT_EQ(DumpFields(analysis), "lines=3\nleading end=0\nproc Б 1:10 end=2\n  call Б@2:2\n");
  EXPECT_EQ(analysis.Find(u"А"), -1);
  ASSERT_TRUE(AnalyzeText("", analysis).ok());
  EXPECT_EQ(DumpFields(analysis), "lines=0\n");
  EXPECT_EQ(analysis.Find(u"Б"), -1);
}

TEST(ModuleAnalyzerTest, CountsOnBothSidesAgree) {
  ModuleAnalysis analysis;
  ASSERT_TRUE(AnalyzeText("Процедура А()\n  Б(); В(); А();\nКонецПроцедуры\nПроцедура Б()\n  В(В());\n"
                          "КонецПроцедуры\nПроцедура В()\n  А();\nКонецПроцедуры",
                          analysis)
                  .ok());
  size_t calls = 0, callers = 0;
  for (int32_t m = 0; m < analysis.MethodCount(); ++m) {
    calls += analysis.CallsFrom(m).size();
    callers += analysis.CallsTo(m).size();
    for (const MethodCall& call : analysis.CallsFrom(m)) {
      const auto index = static_cast<int32_t>(&call - analysis.calls().data());
      EXPECT_EQ(analysis.CallerOf(index), m);
    }
  }
  EXPECT_EQ(calls, 6u);
  EXPECT_EQ(callers, calls);
  EXPECT_EQ(analysis.calls().size(), calls);
}

}  // namespace
}  // namespace ramulet
