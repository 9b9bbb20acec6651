#include <gtest/gtest.h>

#include <stdexcept>

#include "panel/ramulet.h"
#include "tests/support/memory_host.h"
#include "tests/support/test_module.h"
#include "tests/support/throwing_controls.h"

namespace ramulet {
namespace {

constexpr char kModule[] =
    "Процедура Главная()\n"  // 0
    "  Расчет();\n"          // 1
    "КонецПроцедуры\n"       // 2
    "Функция Расчет()\n"     // 3
    "  Возврат Итог();\n"    // 4
    "КонецФункции\n"         // 5
    "Функция Итог()\n"       // 6
    "КонецФункции";          // 7

constexpr char kOutOfMemory[] = "Недостаточно памяти для выполнения операции.";

// A panel whose ListBox1, tree view and message boxes can be made to throw.
struct ThrowingPanel {
  std::shared_ptr<MemoryTextModule> module = MakeModule(kModule);
  ThrowingMessageBoxes boxes;
  HeadlessPanel controls;
  ThrowingListBox list1{"ListBox1"};
  ThrowingTreeView tree;
  Ramulet panel{Controls(), boxes};

  ThrowingPanel() {
    std::u16string title;
    EXPECT_TRUE(panel.IConfigPlugin_Init(Variant::Object(MakeMemoryHost(module)), title).ok());
  }
  PanelControls Controls() {
    PanelControls c = controls.controls();
    c.ListBox1 = &list1;
    c.TreeView1 = &tree;
    return c;
  }
  int32_t Node(const char16_t* top) const { return panel.tree()->nodes.Find(top); }
};

enum class Thrown { BadAlloc, StdError, Other };

void Throw(Thrown what) {
  switch (what) {
    case Thrown::BadAlloc:
      throw std::bad_alloc();
    case Thrown::StdError:
      throw std::runtime_error("сбой");
    case Thrown::Other:
      throw 42;
  }
}

enum class Action { PickMethod, ClickCaller, ClickNode, Refresh };

struct BoundaryCase {
  const char* name;
  Action action;
  Thrown thrown;
  Status::Code code;
  const char* box;  // a part of the one box shown
};

const BoundaryCase kCases[] = {
    {"pick, out of memory", Action::PickMethod, Thrown::BadAlloc, Status::kOutOfMemory, kOutOfMemory},
    {"pick, std exception", Action::PickMethod, Thrown::StdError, Status::kFail,
     "Не удалось показать выбранную процедуру:\r\nВнутренняя ошибка панели: сбой"},
    {"pick, other exception", Action::PickMethod, Thrown::Other, Status::kFail, "неизвестного вида"},
    {"caller, out of memory", Action::ClickCaller, Thrown::BadAlloc, Status::kOutOfMemory, kOutOfMemory},
    {"caller, std exception", Action::ClickCaller, Thrown::StdError, Status::kFail,
     "Не удалось перейти к вызывающей процедуре:\r\nВнутренняя ошибка панели: сбой"},
    {"node, out of memory", Action::ClickNode, Thrown::BadAlloc, Status::kOutOfMemory, kOutOfMemory},
    {"node, std exception", Action::ClickNode, Thrown::StdError, Status::kFail,
     "Не удалось перейти к процедуре узла дерева:\r\nВнутренняя ошибка панели: сбой"},
    {"refresh, out of memory", Action::Refresh, Thrown::BadAlloc, Status::kOutOfMemory, kOutOfMemory},
    {"refresh, other exception", Action::Refresh, Thrown::Other, Status::kFail, "неизвестного вида"},
};

Status Act(ThrowingPanel& p, Action action, Thrown thrown) {
  ThrowHook hook = [thrown] { Throw(thrown); };
  switch (action) {
    case Action::PickMethod:
      p.list1.on_add = hook;
      return p.controls.Modul.Pick(1);
    case Action::ClickCaller:  // Итог's caller Расчет makes a call: ListBox1 is filled
      EXPECT_TRUE(p.controls.Modul.Pick(2).ok());
      p.list1.on_add = hook;
      return p.controls.ListBox2.Click(0);
    case Action::ClickNode:
      p.list1.on_add = hook;
      return p.tree.ClickNode(p.Node(u"Расчет"));
    case Action::Refresh:
      p.tree.on_show = hook;
      return p.controls.CommandButton1.Click();
  }
  return Status::Ok();
}

TEST(ExceptionBoundaryTest, ExceptionInAHandlerBecomesOneReadableError) {
  for (const BoundaryCase& c : kCases) {
    SCOPED_TRACE(c.name);
    ThrowingPanel p;
    ASSERT_TRUE(p.controls.CommandButton1.Click().ok());
    p.boxes.Forget();
    Status status = Status::Ok();
    EXPECT_NO_THROW(status = Act(p, c.action, c.thrown));
    EXPECT_EQ(status.code(), c.code) << status.message();
    ASSERT_EQ(p.boxes.shown().size(), 1u);
    EXPECT_NE(p.boxes.shown()[0].text.find(c.box), std::string::npos) << p.boxes.shown()[0].text;
    EXPECT_EQ(p.boxes.shown()[0].title, std::optional<std::string>("Рамулет"));
    EXPECT_EQ(p.boxes.shown()[0].icon, MessageBoxes::Icon::Error);
    if (c.action == Action::Refresh) {
      EXPECT_TRUE(p.controls.Modul.items().empty());
    }

    // The panel goes on: handlers run again, and their errors are shown.
    p.list1.on_add = nullptr;
    p.tree.on_show = nullptr;
    p.boxes.Forget();
    ASSERT_TRUE(p.controls.CommandButton1.Click().ok());
    ASSERT_TRUE(p.controls.Modul.Pick(0).ok());
    p.module->FailCall("Select", 0);
    EXPECT_FALSE(p.controls.Modul.Pick(1).ok());
    EXPECT_EQ(p.boxes.shown().size(), 1u);
  }
}

TEST(ExceptionBoundaryTest, ErrorBoxWithoutMemoryFallsBackToTheFixedText) {
  ThrowingPanel p;
  ASSERT_TRUE(p.controls.CommandButton1.Click().ok());
  p.module->FailCall("Select", 0);
  p.boxes.failing_shows = 1;  // the box with the composed message
  Status status = Status::Ok();
  EXPECT_NO_THROW(status = p.controls.Modul.Pick(0));
  EXPECT_EQ(status.code(), Status::kHostError);
  ASSERT_EQ(p.boxes.shown().size(), 1u);
  EXPECT_EQ(p.boxes.shown()[0].text, kOutOfMemory);

  // Not even the fixed text can be shown: the caller still gets the error.
  p.boxes.Forget();
  p.list1.on_add = [] { throw std::bad_alloc(); };
  p.boxes.failing_shows = 1;
  EXPECT_NO_THROW(status = p.controls.Modul.Pick(1));
  EXPECT_EQ(status.code(), Status::kOutOfMemory);
  EXPECT_TRUE(p.boxes.shown().empty());
}

}  // namespace
}  // namespace ramulet
