#include "panel/method_tables.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bench/support/module_generator.h"
#include "platform/dictionary.h"
#include "platform/text.h"
#include "tests/support/analysis_lines.h"
#include "tests/support/refresh_fixture.h"
#include "tests/support/test_module.h"

namespace ramulet {
namespace {

TEST(NomMetTest, FindsExactNamesOnly) {
  MethodTables before;
  EXPECT_EQ(before.NomMet(u"А"), -1);
  EXPECT_EQ(before.NomMet(Variant()), -1);

  RefreshRun run("Процедура Первый()\nКонецПроцедуры\nПроцедура Второй()\nКонецПроцедуры\n"
                 "Процедура Последний()\nКонецПроцедуры");
  ASSERT_TRUE(run.Run().ok());
  const MethodTables& t = run.tables;
  EXPECT_EQ(t.NomMet(u"Первый"), 0);
  EXPECT_EQ(t.NomMet(u"Последний"), t.LastMeth);
  EXPECT_EQ(t.NomMet(Variant::Text(u"Второй")), 1);
  EXPECT_EQ(t.NomMet(u"второй"), -1);
  EXPECT_EQ(t.NomMet(u"Второй "), -1);
  EXPECT_EQ(t.NomMet(u"Нет"), -1);
  EXPECT_EQ(t.NomMet(Variant::Int32(1)), -1);
  EXPECT_EQ(t.NomMet(Variant()), -1);
}

TEST(NomMetTest, LastEqualNameWinsLikeTheLinearScan) {
  MethodTables t;
  t.MethName = {u"А", u"Б", u"А"};
  t.LastMeth = 2;
  t.IndexNames();
  EXPECT_EQ(t.NomMet(u"А"), 2);
  EXPECT_EQ(t.NomMet(u"Б"), 1);
}

}  // namespace
}  // namespace ramulet

namespace ramulet {
namespace {

// The items of an array of texts and numbers, space-separated.
std::string ArrayText(const Variant& array) {
  std::string out;
  for (const Variant& item : *array.AsArray()) {
    if (!out.empty()) out += " ";
    out += item.AsText() ? Utf16ToUtf8(*item.AsText()) : std::to_string(item.ToInt32().value_or(-1));
  }
  return out;
}

// The keys of a dictionary, then "key:item" pairs of its numbers.
std::string DictionaryText(const Variant& dictionary) {
  auto d = dictionary.AsObjectOf<Dictionary>();
  std::string out;
  for (size_t i = 0; i < d->Count(); ++i) {
    if (i) out += " ";
    const Variant& key = d->KeyList()[i];
    out += key.AsText() ? Utf16ToUtf8(*key.AsText()) : std::to_string(key.ToInt32().value_or(-1));
    out += ":" + std::to_string(d->ItemList()[i].ToInt32().value_or(-1));
  }
  return out;
}

TEST(FillMethodTablesTest, FillsArraysFromDictionaries) {
  RefreshRun run("КонецПроцедуры\nПроцедура А()\nКонецПроцедуры\nФункция Б()\nКонецФункции");
  ASSERT_TRUE(run.Run().ok());
  const MethodTables& t = run.tables;
  EXPECT_EQ(t.LastMeth, 1);
  EXPECT_EQ(ArrayText(t.A), "А Б");
  EXPECT_EQ(ArrayText(t.b), "1 3");
  EXPECT_EQ(ArrayText(t.c), "0 2 4");
  EXPECT_EQ(DictionaryText(t.MethodKon), "0:0 1:2 2:4");
  EXPECT_EQ(t.d.type(), Variant::Type::Array);
  EXPECT_EQ(t.d.ArraySize(), 0u);
  EXPECT_EQ(t.Meth.AsObjectOf<Dictionary>()->Count(), 0u);
  EXPECT_TRUE(t.CommonScripts.IsEmpty());
  EXPECT_TRUE(t.q.IsEmpty());
}

// Where every method has exactly one recognised end line, taking end lines
// by key gives each method the end line the positional reading gave it (the
// items of `c` in order).
TEST(FillMethodTablesTest, OneEndLinePerMethodGivesThePositionalEndLines) {
  const ModuleShape shapes[] = {{400, 40, 3.0, 1}, {2000, 150, 5.0, 7}, {300, 100, 1.0, 3}};
  for (const ModuleShape& shape : shapes) {
    std::vector<std::u16string> lines;
    ASSERT_TRUE(GenerateModule(shape, lines).ok());
    ModuleAnalysis analysis;
    ASSERT_TRUE(AnalyzeInMemory(lines, analysis).ok());
    MethodTables tables;
    ASSERT_TRUE(FillMethodTables(analysis, tables).ok());
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

constexpr char kOldModule[] = "Процедура Старая()\n  Старая();\nКонецПроцедуры";
constexpr char kOldDump[] = "0 Старая header=0 end=2 calls=[Старая@1] callers=[0]\n";
constexpr char kNewModule[] =
    "Процедура А()\n"    // 0
    "КонецПроцедуры\n"   // 1
    "Процедура Б()\n"    // 2
    "  А();\n"           // 3
    "  Б();";            // 4

struct FillCase {
  const char* name;
  const char* module;
  const char* fault;  // a failing call of the analysis, "" for none
  int nth;
  const char* method;      // Method, MethodNach and MethodKon
  const char* method_nach;
  const char* method_kon;
  const char* a;           // A
  const char* dump;        // DumpTables
  bool analyzed;
};

// Tables that described kOldModule, filled from the analysis of another
// module: the dictionaries always describe the new one, the rest only once
// every header and end line was read; after a failure in the pass over the
// calls they hold the calls before it, and when that pass could not even
// count the lines, end lines of 0.
TEST(FillMethodTablesTest, KeepsWhatAnEarlierRefreshLeftAsTheLineAnalysisDid) {
  const FillCase cases[] = {
      {"complete", kNewModule, "", 0, "А:0 Б:1", "0:0 1:2", "1:1", "А Б",
       "0 А header=0 end=1 calls=[] callers=[1]\n1 Б header=2 end=4 calls=[А@3,Б@4] callers=[1]\n", true},
      {"a line fails among the headers", kNewModule, "Range", 3, "А:0 Б:1", "0:0 1:2", "1:1", "Старая", kOldDump,
       true},
      {"no line count for the headers", kNewModule, "LineCount", 0, "", "", "", "Старая", kOldDump, true},
      {"a repeated name", "Процедура А()\nПроцедура А()", "", 0, "А:0", "0:0", "", "Старая", kOldDump, true},
      {"a line fails among the calls", kNewModule, "Range", 8, "А:0 Б:1", "0:0 1:2", "1:1", "А Б",
       "0 А header=0 end=1 calls=[] callers=[1]\n1 Б header=2 end=4 calls=[А@3] callers=[]\n", true},
      {"no line count for the calls", kNewModule, "LineCount", 1, "А:0 Б:1", "0:0 1:2", "1:1", "А Б",
       "0 А header=0 end=0 calls=[] callers=[]\n1 Б header=2 end=0 calls=[] callers=[]\n", true},
  };
  for (const FillCase& c : cases) {
    SCOPED_TRACE(c.name);
    ModuleAnalysis old_analysis;
    ASSERT_TRUE(AnalyzeText(kOldModule, old_analysis).ok());
    MethodTables t;
    ASSERT_TRUE(FillMethodTables(old_analysis, t).ok());
    auto module = MakeModule(c.module);
    if (*c.fault) module->FailCall(c.fault, c.nth);
    ModuleAnalysis analysis;
    Status status = SharedAnalyzer().Analyze(*module, analysis);
    EXPECT_EQ(status.ok(), std::string(c.name) == "complete") << status.message();
    ASSERT_TRUE(FillMethodTables(analysis, t).ok());
    EXPECT_EQ(DictionaryText(t.Method), c.method);
    EXPECT_EQ(DictionaryText(t.MethodNach), c.method_nach);
    EXPECT_EQ(DictionaryText(t.MethodKon), c.method_kon);
    EXPECT_EQ(ArrayText(t.A), c.a);
    EXPECT_EQ(DumpTables(t), c.dump);
    EXPECT_EQ(t.analyzed, c.analyzed);
    EXPECT_EQ(t.NomMet(t.MethName.back()), t.LastMeth);
  }
}

}  // namespace
}  // namespace ramulet
