#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "panel/ramulet.h"
#include "tests/support/memory_host.h"
#include "tests/support/test_module.h"
#include "tests/support/throwing_controls.h"

namespace ramulet {
namespace {

// Modul, noting every fill bracket and whether each change came inside one.
class FillRecordingComboBox : public HeadlessComboBox {
 public:
  void BeginFill() override {
    ++begins;
    ++depth;
  }
  void EndFill() override {
    ++ends;
    --depth;
  }
  Status Clear() override {
    changes_outside += depth > 0 ? 0 : 1;
    return HeadlessComboBox::Clear();
  }
  Status Append(std::u16string_view name) override {
    changes_outside += depth > 0 ? 0 : 1;
    return HeadlessComboBox::Append(name);
  }

  int begins = 0;
  int ends = 0;
  int depth = 0;
  int changes_outside = 0;
};

constexpr char kModule[] =
    "Процедура Главная()\n"
    "  Расчет();\n"
    "КонецПроцедуры\n"
    "Функция Расчет()\n"
    "КонецФункции";

std::string LargeModule(int lines) {
  std::string text;
  for (int i = 0; i < lines; ++i) text += i % 2 == 0 ? "Процедура П" + std::to_string(i) + "()\n" : "КонецПроцедуры\n";
  return text;
}

struct FillCase {
  const char* name;
  std::string module;
  // Prepares the failure or the answer the case is about.
  std::function<void(MemoryTextModule&, ScriptedMessageBoxes&, ThrowingTreeView&)> arrange;
  bool refreshed;       // the refresh reports success
  bool lists_methods;   // Modul ends up listing the module's methods
};

std::vector<FillCase> FillCases() {
  auto nothing = [](MemoryTextModule&, ScriptedMessageBoxes&, ThrowingTreeView&) {};
  return {
      {"a refresh that completes", kModule, nothing, true, true},
      {"a refresh whose scan fails on a line", kModule,
       [](MemoryTextModule& module, ScriptedMessageBoxes&, ThrowingTreeView&) { module.FailCall("Range", 3); },
       false, false},
      {"a refresh whose tree view throws", kModule,
       [](MemoryTextModule&, ScriptedMessageBoxes&, ThrowingTreeView& tree) {
         tree.on_show = [] { throw std::runtime_error("сбой"); };
       },
       false, false},
      {"a large module the user declines", LargeModule(10000),
       [](MemoryTextModule&, ScriptedMessageBoxes& boxes, ThrowingTreeView&) {
         boxes.Answer(MessageBoxes::Answer::No);
       },
       true, false},
  };
}

// Every change a refresh makes to Modul comes between one BeginFill and one
// EndFill, whichever way the refresh ends, so the list is never left with
// its redrawing put off.
TEST(MethodListFillTest, EveryRefreshBracketsItsChangesToModulOnce) {
  for (const FillCase& c : FillCases()) {
    SCOPED_TRACE(c.name);
    std::shared_ptr<MemoryTextModule> module = MakeModule(c.module);
    module->set_log_ranges(false);
    ThrowingMessageBoxes boxes;
    HeadlessPanel controls;
    FillRecordingComboBox modul;
    ThrowingTreeView tree;
    PanelControls wired = controls.controls();
    wired.Modul = &modul;
    wired.TreeView1 = &tree;
    Ramulet panel(wired, boxes);
    std::u16string title;
    ASSERT_TRUE(panel.IConfigPlugin_Init(Variant::Object(MakeMemoryHost(module)), title).ok());
    c.arrange(*module, boxes, tree);

    Status refreshed = controls.CommandButton1.Click();

    EXPECT_EQ(refreshed.ok(), c.refreshed) << refreshed.message();
    EXPECT_EQ(modul.begins, 1);
    EXPECT_EQ(modul.ends, 1);
    EXPECT_EQ(modul.depth, 0);
    EXPECT_EQ(modul.changes_outside, 0);
    EXPECT_EQ(modul.ItemCount() > 0, c.lists_methods) << modul.ItemCount();
  }
}

}  // namespace
}  // namespace ramulet
