#include "panel/refresh.h"

#include <gtest/gtest.h>

#include "platform/dictionary.h"
#include "platform/text.h"
#include "host/host_configurator.h"
#include "tests/support/analysis_lines.h"
#include "tests/support/refresh_fixture.h"
#include "tests/support/test_module.h"

namespace ramulet {
namespace {

std::vector<std::string> Names(const RecordingMethodList& list) {
  std::vector<std::string> names;
  for (const std::u16string& name : list.names) names.push_back(Utf16ToUtf8(name));
  return names;
}

// "key:item" pairs of a dictionary of numbers.
std::string NumberPairs(const Variant& dictionary) {
  auto d = dictionary.AsObjectOf<Dictionary>();
  std::string out;
  for (size_t i = 0; i < d->Count(); ++i) {
    if (i) out += " ";
    out += std::to_string(*d->KeyList()[i].ToInt32()) + ":" + std::to_string(*d->ItemList()[i].ToInt32());
  }
  return out;
}

struct HeaderCase {
  const char* line;
  const char* recorded;  // nullptr: the line is not a header
};

TEST(ModuleScannerTest, RecognisesHeaderForms) {
  const HeaderCase cases[] = {
      {"Процедура Тест()", "Тест"},
      {"   процедура Тест(А, Б)", "Тест"},
      {"\tФункция Тест(Знач А = 0, Б = \"x\", В = 'y') Экспорт", "Тест"},
      {"private Процедура Тест()", "Тест"},
      {"PRIVATE   фУнКцИя Тест()", "Тест"},
      {"privateПроцедура Тест()", "Тест"},
      {"\t private\tПроцедура\tТест ()", "Тест"},
      {"Процедура Т¬ест1_x(А.Б)", "Т¬ест1_x"},
      {"Процедура Тест(А)Б + 1", "Тест"},
      {"ПРОЦЕДУРА Test() // комментарий", "Test"},
      {"ПроцедураТест()", nullptr},
      {"Процедура Тест(А,", nullptr},
      {"Процедура Тест(А = -1)", nullptr},
      {"Процедура Тест(А; Б)", nullptr},
      {"Процедура Учёт()", "Учёт"},
      {"Процедура ЁЛКА(Ёж, ёж = \"ё\")", "ЁЛКА"},
      {"Процедура Тест() Далее", nullptr},
      {"Процедура ДалееТест()", nullptr},
      {"Процедура Тест(дАлЕе)", nullptr},
      {"Функция Тест() // вызывается далее", nullptr},
      {"// Процедура Тест()", nullptr},
      {"Перем Процедура Тест()", nullptr},
      {"Процедура Тест", nullptr},
  };
  for (const HeaderCase& c : cases) {
    RefreshRun run(std::string(c.line) + "\nКонецПроцедуры");
    ASSERT_TRUE(run.Run().ok()) << c.line << ": " << run.status.message();
    std::vector<std::string> expected;
    if (c.recorded) expected.push_back(c.recorded);
    EXPECT_EQ(Names(run.modul), expected) << c.line;
    EXPECT_EQ(run.tables.Method.AsObjectOf<Dictionary>()->Count(), expected.size()) << c.line;
  }
}

struct EndCase {
  const char* line;
  bool is_end;
};

TEST(ModuleScannerTest, RecognisesEndLinesAfterLeadingSpacesOnly) {
  const EndCase cases[] = {
      {"КонецПроцедуры", true},      {"   КонецФункции;", true},       {"конецпроцедуры // x", true},
      {"КОНЕЦФУНКЦИИЗдесь", true},   {"\tКонецПроцедуры", false},      {"// КонецПроцедуры", false},
      {"Если КонецПроцедуры", false}, {"Конец Процедуры", false},
  };
  for (const EndCase& c : cases) {
    RefreshRun run(std::string("Процедура А()\n") + c.line);
    ASSERT_TRUE(run.Run().ok()) << c.line;
    EXPECT_EQ(NumberPairs(run.tables.MethodKon), c.is_end ? "1:1" : "") << c.line;
  }
}

TEST(ModuleScannerTest, RecordsFirstEndLinePerMethodCounter) {
  RefreshRun run(
      "КонецФункции\n"         // 0: before any header, key 0
      "Процедура А()\n"        // 1
      "КонецПроцедуры\n"       // 2: key 1
      "КонецПроцедуры\n"       // 3: ignored
      "Процедура Б() Далее\n"  // 4: forward declaration
      "Процедура В()\n"        // 5: no end line of its own
      "Функция Г()\n"          // 6
      "КонецФункции");         // 7: key 3
  ASSERT_TRUE(run.Run().ok()) << run.status.message();
  EXPECT_EQ(Names(run.modul), (std::vector<std::string>{"А", "В", "Г"}));
  EXPECT_EQ(NumberPairs(run.tables.MethodNach), "0:1 1:5 2:6");
  EXPECT_EQ(NumberPairs(run.tables.MethodKon), "0:0 1:2 3:7");
  EXPECT_EQ(run.tables.Meth.AsObjectOf<Dictionary>()->Count(), 0u);
  EXPECT_EQ(run.report.outcome, RefreshReport::Outcome::Completed);
  EXPECT_EQ(run.tree_builds, 1);
}

TEST(ModuleScannerTest, NamesDifferingInCaseAreTwoMethods) {
  RefreshRun run("Процедура Счет()\nКонецПроцедуры\nПроцедура СЧЕТ()\nКонецПроцедуры");
  ASSERT_TRUE(run.Run().ok());
  EXPECT_EQ(Names(run.modul), (std::vector<std::string>{"Счет", "СЧЕТ"}));
}

TEST(ModuleScannerTest, DuplicateNameEndsRefreshAndKeepsWhatWasRecorded) {
  RefreshRun run("Процедура А()\nКонецПроцедуры\nПроцедура Б()\nКонецПроцедуры\nФункция А()\nКонецФункции\n"
                 "Процедура В()\nКонецПроцедуры");
  Status status = run.Run();
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.code(), Status::kDuplicateKey);
  EXPECT_NE(status.message().find("«А»"), std::string::npos) << status.message();
  EXPECT_NE(status.message().find("строке 5"), std::string::npos) << status.message();
  EXPECT_EQ(run.report.outcome, RefreshReport::Outcome::Failed);
  EXPECT_EQ(Utf16ToUtf8(*run.report.duplicate_name), "А");
  EXPECT_EQ(run.report.duplicate_line, 4);
  EXPECT_EQ(Names(run.modul), (std::vector<std::string>{"А", "Б"}));
  EXPECT_EQ(NumberPairs(run.tables.MethodNach), "0:0 1:2");
  EXPECT_EQ(NumberPairs(run.tables.MethodKon), "1:1 2:3");
  EXPECT_FALSE(run.tables.analyzed);
  EXPECT_EQ(run.tree_builds, 0);
}

TEST(ModuleScannerTest, EmptyModuleCompletesWithEmptyTablesAndStillBuildsTree) {
  RefreshRun run("");
  ASSERT_TRUE(run.Run().ok()) << run.status.message();
  EXPECT_EQ(run.modul.clears, 1);
  EXPECT_TRUE(run.modul.names.empty());
  EXPECT_EQ(run.tables.LastMeth, -1);
  EXPECT_TRUE(run.tables.analyzed);
  EXPECT_EQ(run.tree_builds, 1);
  EXPECT_EQ(run.tables.NomMet(u"А"), -1);
}

std::string ManyLines(int count) {
  std::string text = "Процедура А()\n";
  for (int i = 1; i < count; ++i) text += "Б = 1;\n";
  text.pop_back();
  return text;
}

TEST(ModuleScannerTest, AsksBeforeTenThousandLinesAndNoLeavesEverything) {
  RefreshRun small(ManyLines(9999));
  ASSERT_TRUE(small.Run().ok());
  EXPECT_TRUE(small.boxes.shown().empty());

  RefreshRun run("Процедура Старая()\nКонецПроцедуры");
  ASSERT_TRUE(run.Run().ok());
  HostConfigurator::Set(MakeMemoryHost(MakeModule(ManyLines(10000))));
  run.boxes.Answer(MessageBoxes::Answer::No);
  ASSERT_TRUE(run.Run().ok());
  ASSERT_EQ(run.boxes.shown().size(), 1u);
  const auto& box = run.boxes.shown()[0];
  EXPECT_EQ(box.text, "В модуле более 10000 строк, обработка может занять продолжительное время!\r\nПродолжить?");
  EXPECT_EQ(box.title, std::optional<std::string>("Рамулет"));
  EXPECT_EQ(box.buttons, MessageBoxes::Buttons::YesNo);
  EXPECT_EQ(box.icon, MessageBoxes::Icon::Question);
  EXPECT_EQ(run.report.outcome, RefreshReport::Outcome::Declined);
  EXPECT_EQ(Names(run.modul), std::vector<std::string>{"Старая"});
  EXPECT_EQ(run.tables.MethName, std::vector<std::u16string>{u"Старая"});
  EXPECT_EQ(run.tables.curTextDoc, run.module);

  run.boxes.Answer(MessageBoxes::Answer::Yes);
  ASSERT_TRUE(run.Run().ok());
  EXPECT_EQ(Names(run.modul), std::vector<std::string>{"А"});
}

TEST(ModuleScannerTest, StopsQuietlyWithoutActiveWindowOrTextModule) {
  RefreshRun run("Процедура А()\nКонецПроцедуры");
  ASSERT_TRUE(run.Run().ok());
  auto previous_doc = run.tables.doc.AsObject();

  HostConfigurator::Set(MakeMemoryHost(nullptr));
  ASSERT_TRUE(run.Run().ok());
  EXPECT_EQ(run.report.outcome, RefreshReport::Outcome::NoActiveWindow);
  EXPECT_EQ(run.tables.doc.AsObject(), previous_doc);

  auto other = MakeModule("Процедура Б()");
  other->SetKind(3);
  HostConfigurator::Set(MakeMemoryHost(other));
  ASSERT_TRUE(run.Run().ok());
  EXPECT_EQ(run.report.outcome, RefreshReport::Outcome::NotTextModule);
  EXPECT_EQ(run.tables.doc.AsObject(), other);      // doc already holds the new document
  EXPECT_EQ(run.tables.curTextDoc, run.module);     // the rest still describes the old one
  EXPECT_EQ(Names(run.modul), std::vector<std::string>{"А"});
  EXPECT_TRUE(run.boxes.shown().empty());
}

TEST(ModuleScannerTest, ScansActivePageOfPagedDocument) {
  RefreshRun run("");
  auto page = MakeModule("Функция Страница()\nКонецФункции", run.log);
  HostConfigurator::Set(MakeMemoryHost(std::make_shared<MemoryPagedDocument>(page, run.log)));
  ASSERT_TRUE(run.Run().ok()) << run.status.message();
  EXPECT_EQ(Names(run.modul), std::vector<std::string>{"Страница"});
  EXPECT_EQ(run.tables.curTextDoc, page);
  EXPECT_EQ(run.tables.doc.AsObject(), page);
}

TEST(ModuleScannerTest, CallsTheHostInOrder) {
  RefreshRun run("Процедура А()\nКонецПроцедуры");
  ASSERT_TRUE(run.Run().ok());
  // One Range call per line and pass.
  const HostCallLog expected = {"Kind",    "Kind",    "LineCount", "TextDocument", "LineCount",
                                "Range 0", "Range 1", "LineCount", "Range 1"};
  EXPECT_EQ(*run.log, expected);
}

TEST(ModuleScannerTest, HostFailureEndsRefreshKeepingWhatWasRead) {
  RefreshRun run("Процедура А()\nКонецПроцедуры\nПроцедура Б()\nКонецПроцедуры");
  run.module->FailCall("Range", 2);  // the scan's read of line 2
  Status status = run.Run();
  EXPECT_EQ(status.code(), Status::kHostError);
  EXPECT_NE(status.message().find("Range"), std::string::npos);
  EXPECT_EQ(Names(run.modul), std::vector<std::string>{"А"});
  EXPECT_EQ(NumberPairs(run.tables.MethodKon), "1:1");
  EXPECT_FALSE(run.tables.analyzed);
  EXPECT_EQ(run.tree_builds, 0);
}

TEST(ModuleScannerTest, EmptyConfiguratorIsMadeThroughTheFactory) {
  auto module = MakeModule("Процедура А()\nКонецПроцедуры");
  int made = 0;
  HostConfigurator::Clear();
  HostConfigurator::SetFactory([&](std::shared_ptr<Configurator>& configurator) {
    ++made;
    configurator = MakeMemoryHost(module);
    return Status::Ok();
  });
  ModuleAnalysis analysis;
  MethodTables tables;
  RecordingMethodList modul;
  ScriptedMessageBoxes boxes;
  ASSERT_TRUE(Refresh(SharedAnalyzer(), analysis, tables, modul, boxes, nullptr).ok());
  ASSERT_TRUE(Refresh(SharedAnalyzer(), analysis, tables, modul, boxes, nullptr).ok());
  EXPECT_EQ(made, 1);
  EXPECT_EQ(Names(modul), std::vector<std::string>{"А"});

  HostConfigurator::Clear();
  HostConfigurator::SetFactory(nullptr);
  Status status = Refresh(SharedAnalyzer(), analysis, tables, modul, boxes, nullptr);
  EXPECT_EQ(status.code(), Status::kNotRegistered);
}

}  // namespace
}  // namespace ramulet

namespace ramulet {
namespace {

// A text module whose text view the host does not give.
class ModuleWithoutView : public MemoryTextModule {
 public:
  using MemoryTextModule::MemoryTextModule;
  Status TextDocument(std::shared_ptr<HostTextDocument>& view) override {
    view = nullptr;
    return Status::Ok();
  }
};

// A host answering a call with nothing ends the refresh with a message the
// user can read in the error box.
TEST(ModuleScannerTest, EmptyHostAnswersEndTheRefreshWithAMessage) {
  auto module = MakeModule("Процедура А()\nКонецПроцедуры");
  auto window_of = [](std::shared_ptr<HostDocument> document) {
    return std::make_shared<MemoryConfigurator>(
        std::make_shared<MemoryWindowSet>(std::make_shared<MemoryWindow>(std::move(document))));
  };
  struct Case {
    const char* name;
    std::shared_ptr<Configurator> host;
    const char* message;
  };
  const Case cases[] = {
      {"no window set", std::make_shared<MemoryConfigurator>(nullptr), "хост не вернул набор окон"},
      {"no document", window_of(nullptr), "хост не вернул документ активного окна"},
      {"no active page", MakeMemoryHost(std::make_shared<MemoryPagedDocument>(nullptr)),
       "хост не вернул активную страницу документа"},
      {"no text view", MakeMemoryHost(std::make_shared<ModuleWithoutView>(ModuleLines("Процедура Б()"))),
       "хост не вернул текстовое представление документа"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RefreshRun run("");
    HostConfigurator::Set(c.host);
    Status status = run.Run();
    EXPECT_EQ(status.code(), Status::kHostError);
    EXPECT_EQ(status.message(), c.message);
    EXPECT_EQ(run.report.outcome, RefreshReport::Outcome::Failed);
    EXPECT_EQ(run.tree_builds, 0);
  }
}

}  // namespace
}  // namespace ramulet
