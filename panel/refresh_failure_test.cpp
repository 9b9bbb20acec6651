#include <gtest/gtest.h>

#include "host/host_configurator.h"
#include "tests/support/analysis_lines.h"
#include "tests/support/memory_host.h"
#include "tests/support/panel_fixture.h"
#include "tests/support/test_module.h"

namespace ramulet {
namespace {

using Strings = std::vector<std::string>;

// The module shown before the failing refresh: five methods.
constexpr char kFirst[] =
    "Процедура Главная()\n"
    "  Расчет(); Вывод(1);\n"
    "КонецПроцедуры\n"
    "Функция Расчет()\n"
    "  Возврат Итог() + Налог();\n"
    "КонецФункции\n"
    "Функция Итог()\n"
    "  Возврат Налог();\n"
    "КонецФункции\n"
    "Функция Налог()\n"
    "  Возврат 0;\n"
    "КонецФункции\n"
    "Процедура Вывод(Значение)\n"
    "  Главная();\n"
    "КонецПроцедуры";

// The module the failing refresh reads: three other methods.
constexpr char kSecond[] =
    "Процедура Один()\n"      // 0: the scan's first line
    "  Два();\n"              // 1: the analysis's first line
    "КонецПроцедуры\n"        // 2
    "Функция Два()\n"         // 3
    "  Возврат Три();\n"      // 4: a middle line
    "КонецФункции\n"          // 5
    "Процедура Три()\n"       // 6
    "  Один();\n"             // 7
    "КонецПроцедуры";         // 8: the last line

const char16_t* const kAllNames[] = {u"Главная", u"Расчет", u"Итог", u"Налог", u"Вывод",
                                     u"Один",    u"Два",    u"Три"};

enum class Pass { Scan, Analysis };

// The position, among all Range calls of one refresh of kSecond, of the
// `read`-th read of `line` in `pass` (each pass reads a line once). The refresh reads LineCount
// for the question, for the scan and for the analysis, in that order.
int RangeCall(Pass pass, int32_t line, int read) {
  auto log = std::make_shared<HostCallLog>();
  auto module = MakeModule(kSecond, log);
  HostConfigurator::Set(MakeMemoryHost(module));
  ModuleAnalysis analysis;
  MethodTables tables;
  ScriptedMessageBoxes boxes;
  struct : MethodList {
    Status Clear() override { return Status::Ok(); }
    Status Append(std::u16string_view) override { return Status::Ok(); }
  } modul;
  EXPECT_TRUE(Refresh(SharedAnalyzer(), analysis, tables, modul, boxes, nullptr).ok());
  int line_counts = 0, ranges = 0;
  const std::string wanted = "Range " + std::to_string(line);
  for (const std::string& call : *log) {
    if (call == "LineCount") ++line_counts;
    if (call.rfind("Range ", 0) != 0) continue;
    Pass now = line_counts >= 3 ? Pass::Analysis : Pass::Scan;
    if (now == pass && call == wanted && read-- == 0) return ranges;
    ++ranges;
  }
  ADD_FAILURE() << "line " << line << " is not read in that pass";
  return -1;
}

struct FaultCase {
  const char* name;
  const char* call;  // the failing host operation
  int nth;           // which of its calls fails (0-based)
  bool paged = false;
};

std::vector<FaultCase> AllFaults() {
  std::vector<FaultCase> cases = {
      {"first Windows", "Windows", 0},
      {"second Windows", "Windows", 1},
      {"first ActiveWindow", "ActiveWindow", 0},
      {"second ActiveWindow", "ActiveWindow", 1},
      {"Document", "Document", 0},
      {"kind before the pages", "Kind", 0},
      {"kind of the text module", "Kind", 1},
      {"kind of a paged document", "Paged.Kind", 0, true},
      {"ActivePage", "ActivePage", 0, true},
      {"Page", "Page", 0, true},
      {"kind of the active page", "Kind", 0, true},
      {"LineCount for the question", "LineCount", 0},
      {"LineCount of the scan", "LineCount", 1},
      {"LineCount of the analysis", "LineCount", 2},
      {"TextDocument", "TextDocument", 0},
  };
  struct RangeFault {
    const char* name;
    Pass pass;
    int32_t line;
    int read;
  };
  static const RangeFault kRanges[] = {
      {"scan, first line", Pass::Scan, 0, 0},         {"scan, middle line", Pass::Scan, 4, 0},
      {"scan, last line", Pass::Scan, 8, 0},          {"analysis, first line", Pass::Analysis, 1, 0},
      {"analysis, middle line", Pass::Analysis, 4, 0}, {"analysis, last line", Pass::Analysis, 8, 0},
  };
  for (const RangeFault& range : kRanges) {
    cases.push_back({range.name, "Range", RangeCall(range.pass, range.line, range.read)});
  }
  return cases;
}

// A panel over kFirst, refreshed, with a method chosen, and every node of
// its tree kept as the value RodEst takes.
class RefreshFailureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    old_nodes.clear();
    UseHost(f.host);
    ASSERT_TRUE(f.Refresh().ok());
    ASSERT_TRUE(f.controls.Modul.Pick(1).ok());
    ASSERT_FALSE(f.Calls().empty());
    for (int32_t node = 1; node <= f.panel.tree()->nodes.Count(); ++node) {
      old_nodes.push_back(Variant::Object(std::make_shared<TreeNode>(f.panel.tree(), node)));
    }
    f.boxes.Forget();
  }

  void UseHost(const std::shared_ptr<Configurator>& configurator) {
    std::u16string title;
    ASSERT_TRUE(f.panel.IConfigPlugin_Init(Variant::Object(configurator), title).ok());
  }

  // Nothing the panel shows or answers can reach either module any more.
  void ExpectEmptyPanel(const std::string& name) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(f.Methods().empty());
    EXPECT_TRUE(f.Calls().empty());
    EXPECT_TRUE(f.Callers().empty());
    EXPECT_EQ(f.controls.Modul.ListIndex(), -1);
    EXPECT_EQ(f.panel.tree()->nodes.Count(), 0);
    EXPECT_EQ(f.controls.TreeView1.shown(), f.panel.tree());
    const MethodTables& t = f.panel.tables();
    EXPECT_FALSE(t.analyzed);
    EXPECT_EQ(t.LastMeth, -1);
    EXPECT_TRUE(t.MethName.empty());
    EXPECT_TRUE(t.Method.IsEmpty());
    EXPECT_TRUE(t.b.IsEmpty());
    EXPECT_EQ(t.curTextDoc, nullptr);
    EXPECT_TRUE(t.q.EqualsNumber(0));
    EXPECT_EQ(f.panel.analysis().MethodCount(), 0);
    EXPECT_TRUE(f.panel.analysis().ok());
    for (const char16_t* method : kAllNames) {
      Variant index;
      ASSERT_TRUE(f.panel.NomMet(Variant::Text(method), index).ok());
      EXPECT_TRUE(index.EqualsNumber(-1));
    }
    const size_t selections = f.SelectionCount();
    for (size_t i = 0; i < old_nodes.size(); ++i) {
      const int32_t node = static_cast<int32_t>(i + 1);
      EXPECT_TRUE(f.panel.tree()->nodes.Text(node).empty());
      EXPECT_TRUE(f.controls.TreeView1.ClickNode(node).ok());
      Variant found;
      Status status = f.panel.RodEst(old_nodes[i], Variant::Text(u"Главная"), Variant::Int16(1), found);
      EXPECT_EQ(status.code(), Status::kInvalidArgument) << status.message();
    }
    EXPECT_FALSE(f.controls.ListBox1.Click(0).ok());
    EXPECT_FALSE(f.controls.ListBox2.Click(0).ok());
    EXPECT_FALSE(f.controls.Modul.Pick(0).ok());
    EXPECT_EQ(f.SelectionCount(), selections);
  }

  // A refresh that completes afterwards shows the second module, whole.
  void ExpectRecovery(const std::string& name) {
    SCOPED_TRACE(name);
    f.boxes.Forget();
    ASSERT_TRUE(f.Refresh().ok());
    EXPECT_EQ(f.Methods(), (Strings{"Один", "Два", "Три"}));
    EXPECT_EQ(f.panel.analysis().MethodCount(), 3);
    EXPECT_TRUE(f.panel.tables().q.EqualsNumber(f.panel.tree()->nodes.Count()));
    ASSERT_TRUE(f.controls.TreeView1.ClickNode(f.NodeAt({u"Один", u"Два"})).ok());
    EXPECT_EQ(f.Chosen(), "Два");
    EXPECT_EQ(f.Calls(), Strings{"Три"});
    EXPECT_EQ(f.Callers(), Strings{"Один"});
    Variant found;
    int32_t deepest = f.NodeAt({u"Один", u"Два", u"Три"});
    ASSERT_TRUE(f.panel.RodEst(Variant::Object(std::make_shared<TreeNode>(f.panel.tree(), deepest)),
                               Variant::Text(u"Один"), Variant::Int16(0), found)
                    .ok());
    EXPECT_TRUE(found.EqualsNumber(1));
  }

  PanelFixture f{kFirst};
  std::vector<Variant> old_nodes;
};

TEST_F(RefreshFailureTest, HostFailureAnywhereLeavesAnEmptyPanel) {
  const std::vector<FaultCase> faults = AllFaults();
  for (const FaultCase& fault : faults) {
    SetUp();  // each case starts from a panel showing kFirst
    // One set of faults for the whole host: the module's.
    auto second = MakeModule(kSecond);
    std::shared_ptr<HostDocument> shown = second;
    if (fault.paged) shown = std::make_shared<MemoryPagedDocument>(second, nullptr, second->faults());
    second->FailCall(fault.call, fault.nth);
    UseHost(MakeMemoryHost(shown, second->faults()));
    Status status = f.Refresh();
    EXPECT_EQ(status.code(), Status::kHostError) << fault.name << ": " << status.message();
    ASSERT_EQ(f.boxes.shown().size(), 1u) << fault.name;
    EXPECT_EQ(f.boxes.shown()[0].icon, MessageBoxes::Icon::Error) << fault.name;
    EXPECT_NE(f.boxes.shown()[0].text.find(fault.call), std::string::npos) << f.boxes.shown()[0].text;
    ExpectEmptyPanel(fault.name);
    ExpectRecovery(fault.name);
  }
}

TEST_F(RefreshFailureTest, DuplicateMethodLeavesAnEmptyPanel) {
  auto second = MakeModule(std::string(kSecond) + "\nПроцедура Два()\nКонецПроцедуры");
  UseHost(MakeMemoryHost(second));
  Status status = f.Refresh();
  EXPECT_EQ(status.code(), Status::kDuplicateKey);
  ASSERT_EQ(f.boxes.shown().size(), 1u);
  EXPECT_NE(f.boxes.shown()[0].text.find("«Два»"), std::string::npos) << f.boxes.shown()[0].text;
  ExpectEmptyPanel("duplicate");
}

// No active window, a document that is not a text module, and No to the
// question about a large module change nothing the panel shows.
TEST_F(RefreshFailureTest, QuietStopsLeaveThePanelAsItWas) {
  const Strings methods = f.Methods(), calls = f.Calls(), callers = f.Callers();
  const std::string chosen = f.Chosen();
  const int32_t nodes = f.panel.tree()->nodes.Count();
  auto not_text = MakeModule(kSecond);
  not_text->SetKind(3);
  std::string large;
  for (int i = 0; i < 10000; ++i) large += "Процедура П" + std::to_string(i) + "()\n";
  struct Stop {
    const char* name;
    std::shared_ptr<Configurator> host;
    bool declined;
  };
  const Stop stops[] = {{"no active window", MakeMemoryHost(nullptr), false},
                        {"not a text module", MakeMemoryHost(not_text), false},
                        {"large module declined", MakeMemoryHost(MakeModule(large)), true}};
  for (const Stop& stop : stops) {
    SCOPED_TRACE(stop.name);
    if (stop.declined) f.boxes.Answer(MessageBoxes::Answer::No);
    UseHost(stop.host);
    ASSERT_TRUE(f.Refresh().ok());
    EXPECT_EQ(f.boxes.shown().size(), stop.declined ? 1u : 0u);
    f.boxes.Forget();
    EXPECT_EQ(f.Methods(), methods);
    EXPECT_EQ(f.Calls(), calls);
    EXPECT_EQ(f.Callers(), callers);
    EXPECT_EQ(f.Chosen(), chosen);
    EXPECT_EQ(f.panel.tree()->nodes.Count(), nodes);
    for (size_t i = 0; i < old_nodes.size(); ++i) {
      Variant found;
      ASSERT_TRUE(f.panel.RodEst(old_nodes[i], Variant::Text(u"Главная"), Variant::Int16(0), found).ok());
    }
    Variant index;
    ASSERT_TRUE(f.panel.NomMet(Variant::Text(u"Вывод"), index).ok());
    EXPECT_TRUE(index.EqualsNumber(4));
    ASSERT_TRUE(f.controls.ListBox1.Click(0).ok());
    EXPECT_EQ(f.module->selections().back().startLine, 4);  // Расчет calls Итог on line 4 of kFirst
  }
}

}  // namespace
}  // namespace ramulet
