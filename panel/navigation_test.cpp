#include <gtest/gtest.h>

#include "host/host_configurator.h"
#include "tests/support/panel_fixture.h"
#include "tests/support/test_module.h"

namespace ramulet {
namespace {

using Strings = std::vector<std::string>;

constexpr char kModule[] =
    "Процедура Главная()\n"       // 0
    "  Расчет();\n"               // 1
    "  Вывод(Расчет());\n"        // 2
    "КонецПроцедуры\n"            // 3
    "Функция Расчет()\n"          // 4
    "  Возврат Итог();\n"         // 5
    "КонецФункции\n"              // 6
    "Функция Итог()\n"            // 7
    "  Возврат 1;\n"              // 8
    "КонецФункции\n"              // 9
    "Процедура Вывод(Значение)\n" // 10
    "КонецПроцедуры";             // 11

class NavigationTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(f.Refresh().ok()); }
  PanelFixture f{kModule};
};

TEST_F(NavigationTest, RefreshFillsMethodListAndTreeButNotTheLists) {
  EXPECT_EQ(f.Methods(), (Strings{"Главная", "Расчет", "Итог", "Вывод"}));
  EXPECT_EQ(f.controls.Modul.ListIndex(), -1);
  EXPECT_EQ(f.controls.TreeView1.shows(), 1);
  EXPECT_EQ(f.controls.TreeView1.shown(), f.panel.tree());
  EXPECT_EQ(f.panel.tree()->RootCount, 4);
  EXPECT_TRUE(f.Calls().empty());
  EXPECT_TRUE(f.boxes.shown().empty());
}

TEST_F(NavigationTest, ChoosingAMethodFillsBothListsAndSelectsItsHeader) {
  ASSERT_TRUE(f.controls.Modul.Pick(0).ok());
  EXPECT_EQ(f.Calls(), (Strings{"Расчет", "Вывод", "Расчет"}));
  EXPECT_TRUE(f.Callers().empty());
  EXPECT_EQ(f.LastSelection(), "0 0 0 19");

  ASSERT_TRUE(f.controls.Modul.Pick(2).ok());
  EXPECT_TRUE(f.Calls().empty());  // a method without calls
  EXPECT_EQ(f.Callers(), Strings{"Расчет"});
  EXPECT_EQ(f.LastSelection(), "7 0 7 14");
}

TEST_F(NavigationTest, ClickingACallSelectsItsLineAndChangesNothingElse) {
  ASSERT_TRUE(f.controls.Modul.Pick(0).ok());
  ASSERT_TRUE(f.controls.ListBox1.Click(0).ok());
  EXPECT_EQ(f.LastSelection(), "1 0 2 0");
  ASSERT_TRUE(f.controls.ListBox1.Click(2).ok());
  EXPECT_EQ(f.LastSelection(), "2 0 3 0");
  EXPECT_EQ(f.Chosen(), "Главная");
  EXPECT_EQ(f.Calls(), (Strings{"Расчет", "Вывод", "Расчет"}));
  EXPECT_EQ(f.controls.ListBox1.ListIndex(), 2);
  const Selection& last = f.module->selections().back();
  EXPECT_EQ(last.endLine.type(), Variant::Type::Int32);
  EXPECT_EQ(last.endColumn.type(), Variant::Type::Int16);
}

TEST_F(NavigationTest, ClickingACallerMakesItTheChosenMethod) {
  ASSERT_TRUE(f.controls.Modul.Pick(1).ok());
  EXPECT_EQ(f.Callers(), (Strings{"Главная", "Главная"}));  // called from two places
  ASSERT_TRUE(f.controls.ListBox2.Click(1).ok());
  EXPECT_EQ(f.Chosen(), "Главная");
  EXPECT_EQ(f.Calls(), (Strings{"Расчет", "Вывод", "Расчет"}));
  EXPECT_TRUE(f.Callers().empty());
  EXPECT_EQ(f.LastSelection(), "0 0 0 19");
}

TEST_F(NavigationTest, ClickingNodesAtAnyDepthChoosesTheirMethod) {
  struct Case {
    std::vector<std::u16string> path;
    const char* chosen;
    const char* selection;
  };
  const Case cases[] = {
      {{u"Вывод"}, "Вывод", "10 0 10 25"},
      {{u"Главная", u"Вывод"}, "Вывод", "10 0 10 25"},
      {{u"Главная", u"Расчет", u"Итог"}, "Итог", "7 0 7 14"},
      {{u"Расчет", u"Итог"}, "Итог", "7 0 7 14"},
  };
  for (const Case& c : cases) {
    int32_t node = f.NodeAt(c.path);
    ASSERT_NE(node, 0) << c.chosen;
    size_t before = f.SelectionCount();
    ASSERT_TRUE(f.controls.TreeView1.ClickNode(node).ok());
    EXPECT_EQ(f.Chosen(), c.chosen);
    EXPECT_EQ(f.LastSelection(), c.selection);
    EXPECT_EQ(f.SelectionCount(), before + 2);  // the click and the explicit second run
  }
  EXPECT_EQ(f.Callers(), Strings{"Расчет"});
}

TEST_F(NavigationTest, NodesOutsideTheTreeAndUnknownCallersChangeNothing) {
  ASSERT_TRUE(f.controls.Modul.Pick(0).ok());
  size_t before = f.SelectionCount();
  EXPECT_TRUE(f.controls.TreeView1.ClickNode(0).ok());
  EXPECT_TRUE(f.controls.TreeView1.ClickNode(9999).ok());
  EXPECT_EQ(f.Chosen(), "Главная");
  EXPECT_EQ(f.SelectionCount(), before);
}

TEST_F(NavigationTest, RefreshEmptiesTheMethodListButKeepsTheLists) {
  ASSERT_TRUE(f.controls.Modul.Pick(0).ok());
  ASSERT_TRUE(f.Refresh().ok());
  EXPECT_EQ(f.controls.Modul.ListIndex(), -1);
  EXPECT_EQ(f.Calls(), (Strings{"Расчет", "Вывод", "Расчет"}));
  size_t before = f.SelectionCount();
  ASSERT_TRUE(f.controls.ListBox1.Click(0).ok());  // no method chosen: ignored
  EXPECT_EQ(f.SelectionCount(), before);
}

TEST_F(NavigationTest, HostFailureIsShownOnceAndPanelStaysUsable) {
  f.module->FailCall("Select", 0);
  Status status = f.controls.Modul.Pick(1);
  EXPECT_EQ(status.code(), Status::kHostError);
  EXPECT_EQ(f.Calls(), Strings{"Итог"});  // what the handler did before the error stays
  ASSERT_EQ(f.boxes.shown().size(), 1u);
  EXPECT_EQ(f.boxes.shown()[0].title, std::optional<std::string>("Рамулет"));
  EXPECT_EQ(f.boxes.shown()[0].icon, MessageBoxes::Icon::Error);
  EXPECT_NE(f.boxes.shown()[0].text.find("Select"), std::string::npos);

  EXPECT_TRUE(f.controls.Modul.Pick(0).ok());
  EXPECT_EQ(f.LastSelection(), "0 0 0 19");
  EXPECT_EQ(f.boxes.shown().size(), 1u);
}

TEST_F(NavigationTest, ErrorRaisedThroughTheMethodListIsShownOnce) {
  ASSERT_TRUE(f.controls.Modul.Pick(1).ok());
  f.boxes.Forget();
  f.module->FailCall("LineEnd", 0);
  EXPECT_FALSE(f.controls.ListBox2.Click(0).ok());
  EXPECT_EQ(f.boxes.shown().size(), 1u);
  EXPECT_EQ(f.Chosen(), "Главная");

  f.boxes.Forget();
  f.module->FailCall("LineEnd", 0);
  EXPECT_TRUE(f.controls.TreeView1.ClickNode(f.NodeAt({u"Итог"})).ok());  // failures ignored
  EXPECT_TRUE(f.boxes.shown().empty());
  EXPECT_EQ(f.Chosen(), "Итог");
}

TEST(PanelRefreshTest, DuplicateMethodIsReportedByNameAndLine) {
  PanelFixture f("Процедура А()\nКонецПроцедуры\nПроцедура Б()\nКонецПроцедуры\nПроцедура А()\nКонецПроцедуры");
  EXPECT_EQ(f.Refresh().code(), Status::kDuplicateKey);
  ASSERT_EQ(f.boxes.shown().size(), 1u);
  const std::string& text = f.boxes.shown()[0].text;
  EXPECT_NE(text.find("«А»"), std::string::npos) << text;
  EXPECT_NE(text.find("строке 5"), std::string::npos) << text;
  // The refresh did not complete: the panel is left empty, nothing to choose.
  EXPECT_TRUE(f.Methods().empty());
  EXPECT_FALSE(f.controls.Modul.Pick(1).ok());
  EXPECT_EQ(f.boxes.shown().size(), 1u);
}

TEST(PanelRefreshTest, LargeModuleQuestionAnsweredYesAndNo) {
  std::string text = "Процедура Большая()\n";
  for (int i = 0; i < 10000; ++i) text += "  Большая();\n";
  text += "КонецПроцедуры";
  PanelFixture f(text);
  f.module->set_log_ranges(false);
  f.boxes.Answer(MessageBoxes::Answer::No);
  ASSERT_TRUE(f.Refresh().ok());
  EXPECT_TRUE(f.Methods().empty());
  EXPECT_EQ(f.controls.TreeView1.shows(), 0);
  f.boxes.Answer(MessageBoxes::Answer::Yes);
  ASSERT_TRUE(f.Refresh().ok());
  EXPECT_EQ(f.Methods(), Strings{"Большая"});
  EXPECT_EQ(f.panel.tables().CallCount(0), 10000);
  EXPECT_EQ(f.boxes.shown().size(), 2u);
}

TEST(PanelRefreshTest, PagedDocumentAndMissingWindowAndOtherDocuments) {
  PanelFixture f("");
  auto page = MakeModule("Процедура Страница()\nКонецПроцедуры");
  std::u16string title;
  ASSERT_TRUE(f.panel.IConfigPlugin_Init(Variant::Object(MakeMemoryHost(std::make_shared<MemoryPagedDocument>(page))),
                                         title).ok());
  ASSERT_TRUE(f.Refresh().ok());
  EXPECT_EQ(f.Methods(), Strings{"Страница"});

  ASSERT_TRUE(f.panel.IConfigPlugin_Init(Variant::Object(MakeMemoryHost(nullptr)), title).ok());
  ASSERT_TRUE(f.Refresh().ok());
  auto other = MakeModule("Процедура Другая()");
  other->SetKind(3);
  ASSERT_TRUE(f.panel.IConfigPlugin_Init(Variant::Object(MakeMemoryHost(other)), title).ok());
  ASSERT_TRUE(f.Refresh().ok());
  EXPECT_EQ(f.Methods(), Strings{"Страница"});
  EXPECT_TRUE(f.boxes.shown().empty());
}

TEST(PanelRefreshTest, DoneThenRefreshMakesANewConfiguratorThroughTheFactory) {
  PanelFixture f("Процедура А()\nКонецПроцедуры");
  int made = 0;
  HostConfigurator::SetFactory([&](std::shared_ptr<Configurator>& configurator) {
    ++made;
    configurator = MakeMemoryHost(MakeModule("Функция Новая()\nКонецФункции"));
    return Status::Ok();
  });
  f.panel.IConfigPlugin_Done();
  EXPECT_EQ(HostConfigurator::Get(), nullptr);
  ASSERT_TRUE(f.Refresh().ok());
  EXPECT_EQ(made, 1);
  EXPECT_EQ(f.Methods(), Strings{"Новая"});
  HostConfigurator::SetFactory(nullptr);
}

TEST(PanelRefreshTest, TwoPanelsOnOneThreadShareTheConfigurator) {
  PanelFixture first("Процедура Первая()\nКонецПроцедуры");
  PanelFixture second("Процедура Вторая()\nКонецПроцедуры");  // its Init replaced the first host
  ASSERT_TRUE(first.Refresh().ok());
  EXPECT_EQ(first.Methods(), Strings{"Вторая"});
  second.panel.IConfigPlugin_Done();
  HostConfigurator::SetFactory(nullptr);
  EXPECT_EQ(first.Refresh().code(), Status::kNotRegistered);
  EXPECT_EQ(first.boxes.shown().size(), 1u);
}

TEST(PanelRefreshTest, TruncatedTreeIsReportedOncePerRefresh) {
  PanelFixture f("Процедура А()\n  Б(); Б();\nКонецПроцедуры\nПроцедура Б()\n  В(); В();\nКонецПроцедуры\n"
                 "Процедура В()\nКонецПроцедуры");
  f.panel.set_node_ceiling(5);
  ASSERT_TRUE(f.Refresh().ok());
  ASSERT_EQ(f.boxes.shown().size(), 1u);
  EXPECT_EQ(f.boxes.shown()[0].title, std::optional<std::string>("Рамулет"));
  EXPECT_NE(f.boxes.shown()[0].text.find("сокращено"), std::string::npos);
  EXPECT_NE(f.boxes.shown()[0].text.find(" 5 "), std::string::npos) << f.boxes.shown()[0].text;
  EXPECT_EQ(f.panel.tree()->nodes.Count(), 5);
  ASSERT_TRUE(f.Refresh().ok());
  EXPECT_EQ(f.boxes.shown().size(), 2u);
}

}  // namespace
}  // namespace ramulet
