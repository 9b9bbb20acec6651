// The answers across modules on small configurations built in memory: one
// of the newer platform with every kind of reference, and an old-platform
// one with a global module and a dialog.
#include "lsp/cross_module.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "lsp/features.h"
#include "tests/support/config_fixture.h"

namespace ramulet::lsp {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

NamedCaller Named(NamedCaller::Kind kind, std::string caller, std::string via, std::string path, std::string target,
                  std::string method, int32_t line) {
  NamedCaller named;
  named.kind = kind;
  named.caller = std::move(caller);
  named.via = std::move(via);
  named.path = std::move(path);
  named.target = std::move(target);
  named.method = std::move(method);
  named.line = line;
  named.column = 6;
  return named;
}

// The caller's lines are numbered in the comments the cases refer to.
const char* const kCaller =
    "Процедура Вызовы() Экспорт\n"                            // 0
    "\tА = ОбщегоНазначения.ПолучитьЗначениеРеквизита(1);\n"  // 1 common at 22
    "\tМ = ОбщийМодуль(\"ОбщегоНазначения\");\n"              // 2
    "\tМ.ПолучитьЗначениеРеквизита(2);\n"                     // 3 common-var at 3
    "\tСправочники.Валюты.Курс();\n"                          // 4 manager at 20
    "\tСообщить2();\n"                                        // 5 global at 1
    "\tЗапустить(\"Глобальный.Задание\");\n"                  // 6 by-name at 12
    "\tОбщегоНазначения.Скрытая();\n"                         // 7 inaccessible at 18
    "\tОбщегоНазначения.Нет();\n"                             // 8 unknown-member at 18
    "\tН = ОбщийМодуль(\"Отсутствует\");\n"                   // 9
    "\tН.Метод();\n"                                          // 10 absent-module at 3
    "\tЛокальная();\n"                                        // 11 in-module at 1
    "\tОбщая();\n"                                            // 12 ambiguous at 1
    "КонецПроцедуры\n"                                        // 13
    "Процедура Локальная()\n"                                 // 14
    "\tОбщегоНазначения.ПолучитьЗначениеРеквизита(3);\n"      // 15 common at 18
    "КонецПроцедуры\n"                                        // 16
    "ОбщегоНазначения.ПолучитьЗначениеРеквизита(4);\n";       // 17 body, common at 17

class CrossModuleTest : public ::testing::Test {
 protected:
  CrossModuleTest() {
    const std::vector<FixtureModule> modules = {
        {"CommonModule.ОбщегоНазначения", "CommonModule", false,
         "Функция ПолучитьЗначениеРеквизита(Ссылка) Экспорт\n\tВозврат Скрытая();\nКонецФункции\n"
         "Функция Скрытая()\nКонецФункции\n"},
        {"CommonModule.Глобальный", "CommonModule", true,
         "Процедура Сообщить2() Экспорт\nКонецПроцедуры\nПроцедура Задание() Экспорт\nКонецПроцедуры\n"
         "Процедура Общая() Экспорт\nКонецПроцедуры\n"},
        {"CommonModule.ГлобальныйБ", "CommonModule", true, "Процедура Общая() Экспорт\nКонецПроцедуры\n"},
        {"Catalog.Валюты.ManagerModule", "ManagerModule", false, "Функция Курс() Экспорт\nКонецФункции\n"},
        {"CommonModule.Клиент", "CommonModule", false, kCaller},
        {"CommonModule.Дубли", "CommonModule", false, "Процедура А()\nКонецПроцедуры\nПроцедура А()\nКонецПроцедуры\n"},
    };
    const std::vector<NamedCaller> callers = {Named(NamedCaller::Kind::kMetadata, "ScheduledJob.J", "ScheduledJob",
                                                    "ScheduledJobs/J.xml", "CommonModule.Глобальный", "Задание", 3)};
    BuildConfiguration(modules, callers, ConfigLayout::kDesigner, configuration_);
    view_.configuration = &configuration_;
    view_.root = "/conf";
    caller_ = Module("CommonModule.Клиент");
  }

  int32_t Module(const std::string& name) const { return configuration_.FindModule(name); }

  // "Module.Method line:character" of a location.
  std::string Describe(const Json& location) const {
    const std::string uri = location["uri"].get<std::string>();
    std::string where = uri;
    for (size_t m = 0; m < configuration_.modules.size(); ++m) {
      if (view_.ModuleUri(static_cast<int32_t>(m)) == uri) where = configuration_.modules[m].name;
    }
    const Json& range = location.contains("range") ? location["range"] : location["selectionRange"];
    return where + " " + std::to_string(range["start"]["line"].get<int>()) + ":" +
           std::to_string(range["start"]["character"].get<int>()) + "-" +
           std::to_string(range["end"]["character"].get<int>());
  }

  std::vector<std::string> DescribeAll(const Json& locations) const {
    std::vector<std::string> lines;
    for (const Json& location : locations) lines.push_back(Describe(location));
    return lines;
  }

  Json ItemAt(int32_t module, int line, int character) const {
    Json items = CrossPrepareCallHierarchy(view_, module, {line, character});
    EXPECT_TRUE(items.is_array() && items.size() == 1) << items.dump();
    return items.is_array() && !items.empty() ? items[0] : Json();
  }

  Configuration configuration_;
  ConfigView view_;
  int32_t caller_ = kNone;
};

TEST_F(CrossModuleTest, DefinitionOfEveryKindOfCall) {
  struct Case {
    const char* title;
    int line;
    int character;
    const char* expected;  // Describe of the location, "" for null
  };
  const Case cases[] = {
      {"common module call", 1, 22, "CommonModule.ОбщегоНазначения 0:8-33"},
      {"last character of the name", 1, 46, "CommonModule.ОбщегоНазначения 0:8-33"},
      {"just past the name", 1, 47, ""},
      {"on the receiver", 1, 10, ""},
      {"bound variable", 3, 5, "CommonModule.ОбщегоНазначения 0:8-33"},
      {"manager call", 4, 21, "Catalog.Валюты.ManagerModule 0:8-12"},
      {"bare call of a global export", 5, 1, "CommonModule.Глобальный 0:10-19"},
      {"method named in a string", 6, 13, "CommonModule.Глобальный 2:10-17"},
      {"on the method's part of the string", 6, 29, "CommonModule.Глобальный 2:10-17"},
      {"not exported, still a method", 7, 18, "CommonModule.ОбщегоНазначения 3:8-15"},
      {"unknown member", 8, 18, ""},
      {"absent module", 10, 3, ""},
      {"in-module call", 11, 2, "CommonModule.Клиент 14:10-19"},
      {"on a header", 14, 12, "CommonModule.Клиент 14:10-19"},
      {"blank line end", 13, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    const Json answer = CrossDefinition(view_, caller_, {c.line, c.character});
    EXPECT_EQ(answer.is_null() ? std::string() : Describe(answer), c.expected) << answer.dump();
  }
}

TEST_F(CrossModuleTest, DefinitionOfABareCallTwoGlobalModulesExportListsBoth) {
  const Json answer = CrossDefinition(view_, caller_, {12, 1});
  ASSERT_TRUE(answer.is_array());
  EXPECT_THAT(DescribeAll(answer), ElementsAre("CommonModule.Глобальный 4:10-15", "CommonModule.ГлобальныйБ 0:10-15"));
}

TEST_F(CrossModuleTest, ReferencesInEveryModuleAndFromMetadata) {
  EXPECT_THAT(
      DescribeAll(CrossReferences(view_, caller_, {1, 25}, true)),
      ElementsAre("CommonModule.ОбщегоНазначения 0:8-33", "CommonModule.Клиент 1:22-47", "CommonModule.Клиент 3:3-28",
                  "CommonModule.Клиент 15:18-43", "CommonModule.Клиент 17:17-42"));
  EXPECT_EQ(CrossReferences(view_, caller_, {1, 25}, false).size(), 4u);
  // Задание: named in a string, and by a scheduled job in its own file.
  EXPECT_THAT(DescribeAll(CrossReferences(view_, Module("CommonModule.Глобальный"), {2, 11}, false)),
              ElementsAre("CommonModule.Клиент 6:12-30", view_.FileUri("ScheduledJobs/J.xml") + " 3:6-13"));
  EXPECT_TRUE(CrossReferences(view_, caller_, {8, 18}, true).is_null());
}

TEST_F(CrossModuleTest, HoverShowsTheModuleExportAndCallerCounts) {
  const std::string exported = CrossHover(view_, caller_, {1, 22})["contents"]["value"];
  EXPECT_THAT(exported, HasSubstr("Функция ПолучитьЗначениеРеквизита Экспорт"));
  EXPECT_THAT(exported, HasSubstr("CommonModule.ОбщегоНазначения (CommonModule)"));
  EXPECT_THAT(exported, HasSubstr("called from 0 in the module, 4 from other modules"));
  const std::string hidden = CrossHover(view_, caller_, {7, 18})["contents"]["value"];
  EXPECT_THAT(hidden, HasSubstr("Функция Скрытая\n"));
  EXPECT_THAT(hidden, HasSubstr("called from 1 in the module, 1 from other modules"));
  const std::string job = CrossHover(view_, caller_, {6, 12})["contents"]["value"];
  EXPECT_THAT(job, HasSubstr("Процедура Задание Экспорт"));
  EXPECT_THAT(job, HasSubstr(", 1 by metadata or dialogs"));
  EXPECT_TRUE(CrossHover(view_, caller_, {10, 3}).is_null());
}

TEST_F(CrossModuleTest, IncomingCallsGroupEachCallerOnceWithEverySite) {
  const Json item = ItemAt(caller_, 1, 22);
  EXPECT_EQ(item["detail"], "CommonModule.ОбщегоНазначения");
  EXPECT_EQ(item["data"],
            (Json{{"module", Module("CommonModule.ОбщегоНазначения")}, {"method", 0}, {"root", view_.root}}));
  const Json incoming = CrossIncomingCalls(view_, item);
  ASSERT_EQ(incoming.size(), 3u) << incoming.dump();
  EXPECT_EQ(incoming[0]["from"]["name"], "Вызовы");
  EXPECT_EQ(incoming[0]["fromRanges"], Json::array({RangeJson(1, 22, 1, 47), RangeJson(3, 3, 3, 28)}));
  EXPECT_EQ(incoming[1]["from"]["name"], "Локальная");
  EXPECT_EQ(incoming[2]["from"]["name"], "CommonModule.Клиент");  // the module body
  EXPECT_EQ(incoming[2]["from"]["data"]["method"], kNone);
  EXPECT_EQ(Describe(incoming[2]["from"]), "CommonModule.Клиент 17:17-42");
}

TEST_F(CrossModuleTest, IncomingCallsAreTheTextTheLibraryWritesAndTheirItemsArePreparedOnes) {
  std::string text;
  AppendCrossIncomingCalls(view_, ItemAt(caller_, 1, 22), text);
  EXPECT_EQ(text, Serialize(Json::parse(text)));
  const Json incoming = Json::parse(text);
  // A client asks again with the items it was given: they are the ones
  // prepareCallHierarchy makes.
  EXPECT_EQ(incoming[0]["from"], ItemAt(caller_, 0, 12));
  EXPECT_EQ(incoming[1]["from"], ItemAt(caller_, 14, 12));
  text.clear();
  AppendCrossIncomingCalls(view_, Json{{"name", "Нет"}, {"data", {{"module", caller_}, {"method", 99}}}}, text);
  EXPECT_EQ(text, "[]");
}

TEST(CrossModuleLimitsTest, IncomingCallsOfOneCallerKeepTheirFirstSitesAndSayHowManyWereLeftOut) {
  std::string body;
  for (size_t i = 0; i < kMaxFromRanges + 3; ++i) body += "Общий.Метод();\n";
  Configuration configuration = MakeConfiguration({
      {"CommonModule.Общий", "CommonModule", false, "Процедура Метод() Экспорт\nКонецПроцедуры\n"},
      {"CommonModule.Вызывающий", "CommonModule", false, body},
  });
  const ConfigView view{&configuration, "/c"};
  const Json incoming = CrossIncomingCalls(view, CrossPrepareCallHierarchy(view, 0, {0, 10})[0]);
  ASSERT_EQ(incoming.size(), 1u);
  EXPECT_EQ(incoming[0]["fromRanges"].size(), kMaxFromRanges);
  EXPECT_EQ(incoming[0]["fromRanges"].back(),
            RangeJson(static_cast<int64_t>(kMaxFromRanges) - 1, 6, static_cast<int64_t>(kMaxFromRanges) - 1, 11));
  EXPECT_EQ(incoming[0]["fromRangesOmitted"], 3);
}

TEST_F(CrossModuleTest, IncomingCallsListMetadataCallersAsItemsOfTheirOwn) {
  const Json incoming = CrossIncomingCalls(view_, ItemAt(Module("CommonModule.Глобальный"), 2, 11));
  ASSERT_EQ(incoming.size(), 2u) << incoming.dump();
  EXPECT_EQ(incoming[0]["from"]["name"], "Вызовы");
  const Json& job = incoming[1]["from"];
  EXPECT_EQ(job["name"], "ScheduledJob.J");
  EXPECT_EQ(job["detail"], "metadata ScheduledJob");
  EXPECT_EQ(Describe(job), view_.FileUri("ScheduledJobs/J.xml") + " 3:6-13");
  // Nothing calls a scheduled job.
  EXPECT_EQ(CrossIncomingCalls(view_, job), Json::array());
}

TEST_F(CrossModuleTest, OutgoingCallsInSourceOrderOfFirstCall) {
  const Json outgoing = CrossOutgoingCalls(view_, ItemAt(caller_, 0, 12));
  std::vector<std::string> callees;
  for (const Json& call : outgoing) {
    callees.push_back(call["to"]["detail"].get<std::string>() + "." + call["to"]["name"].get<std::string>() + " x" +
                      std::to_string(call["fromRanges"].size()));
  }
  EXPECT_THAT(callees, ElementsAre("CommonModule.ОбщегоНазначения.ПолучитьЗначениеРеквизита x2",
                                   "Catalog.Валюты.ManagerModule.Курс x1", "CommonModule.Глобальный.Сообщить2 x1",
                                   "CommonModule.Глобальный.Задание x1", "CommonModule.ОбщегоНазначения.Скрытая x1",
                                   "CommonModule.Клиент.Локальная x1", "CommonModule.Глобальный.Общая x1",
                                   "CommonModule.ГлобальныйБ.Общая x1"));
}

TEST_F(CrossModuleTest, ItemsFindTheirMethodByNameWhenTheNumbersAreStale) {
  Json item = ItemAt(caller_, 14, 12);
  item["data"]["method"] = 0;  // Вызовы now, but the item names Локальная
  const Json outgoing = CrossOutgoingCalls(view_, item);
  ASSERT_EQ(outgoing.size(), 1u);
  EXPECT_EQ(outgoing[0]["to"]["name"], "ПолучитьЗначениеРеквизита");
  item["name"] = "Нет";
  EXPECT_EQ(CrossOutgoingCalls(view_, item), Json::array());
  item["data"] = Json{{"module", 999}, {"method", 0}};
  EXPECT_EQ(CrossIncomingCalls(view_, item), Json::array());
}

TEST_F(CrossModuleTest, DiagnosticsOfCallsThatReachNothingAndOfADuplicateMethod) {
  std::vector<std::string> found;
  for (const Json& diagnostic : CrossDiagnostics(view_, caller_)) {
    const Json& start = diagnostic["range"]["start"];
    found.push_back(diagnostic["code"].get<std::string>() + " " + std::to_string(start["line"].get<int>()) + ":" +
                    std::to_string(start["character"].get<int>()) + "-" +
                    std::to_string(diagnostic["range"]["end"]["character"].get<int>()) + " " +
                    std::to_string(diagnostic["severity"].get<int>()) + " " + diagnostic["message"].get<std::string>());
    EXPECT_EQ(diagnostic["source"], "ramulet");
  }
  EXPECT_THAT(found, ElementsAre("inaccessible 7:18-25 2 'Скрытая' of CommonModule.ОбщегоНазначения is not exported",
                                 "unknown-member 8:18-21 2 CommonModule.ОбщегоНазначения has no method 'Нет'",
                                 "absent-module 10:3-14 2 no module 'Отсутствует' in the configuration"));
  const Json duplicate = CrossDiagnostics(view_, Module("CommonModule.Дубли"));
  ASSERT_EQ(duplicate.size(), 1u);
  EXPECT_EQ(duplicate[0]["code"], "duplicate-method");
  EXPECT_EQ(duplicate[0]["severity"], 1);
  EXPECT_EQ(duplicate[0]["range"], RangeJson(2, 10, 2, 11));
  EXPECT_EQ(CrossDiagnostics(view_, Module("CommonModule.Глобальный")), Json::array());
}

TEST_F(CrossModuleTest, CallTreeFollowsCallsIntoOtherModules) {
  const Json page = CrossCallTree(view_, caller_, Json{{"method", "Локальная"}, {"limit", 2}});
  ASSERT_EQ(page["nodes"].size(), 2u) << page.dump();
  EXPECT_EQ(page["nodes"][0]["name"], "CommonModule.Клиент.Локальная");
  const Json& callee = page["nodes"][1];
  EXPECT_EQ(callee["name"], "CommonModule.ОбщегоНазначения.ПолучитьЗначениеРеквизита");
  EXPECT_EQ(callee["level"], 1);
  EXPECT_EQ(callee["hasChildren"], true);  // it calls Скрытая
  EXPECT_EQ(Describe(callee), "CommonModule.ОбщегоНазначения 0:8-33");
  EXPECT_EQ(page["total"], 3);
  EXPECT_EQ(page["next"], 2);

  // By position (a call names its callee), paged.
  const Json second =
      CrossCallTree(view_, caller_, Json{{"method", {{"line", 0}, {"character", 12}}}, {"offset", 1}, {"limit", 2}});
  EXPECT_EQ(second["nodes"][0]["name"], "CommonModule.ОбщегоНазначения.ПолучитьЗначениеРеквизита");
  EXPECT_EQ(second["nodes"][1]["name"], "CommonModule.ОбщегоНазначения.Скрытая");
  EXPECT_EQ(second["offset"], 1);
  EXPECT_EQ(CrossCallTree(view_, caller_, Json{{"method", "Вызовы"}, {"depth", 0}})["total"], 1);

  EXPECT_THROW(CrossCallTree(view_, caller_, Json{{"method", "Нет"}}), RpcError);
  EXPECT_THROW(CrossCallTree(view_, caller_, Json{{"method", {{"line", 13}, {"character", 0}}}}), RpcError);
  EXPECT_THROW(CrossCallTree(view_, caller_, Json{{"method", "Вызовы"}, {"limit", 0}}), RpcError);
}

TEST_F(CrossModuleTest, ModuleGraphWeighsCallSitesBetweenModules) {
  const Json graph = ModuleGraph(view_);
  ASSERT_EQ(graph["nodes"].size(), configuration_.modules.size());
  EXPECT_EQ(graph["nodes"][caller_]["name"], "CommonModule.Клиент");
  EXPECT_EQ(graph["nodes"][caller_]["uri"], view_.ModuleUri(caller_));
  std::vector<std::string> edges;
  for (const Json& edge : graph["edges"]) {
    edges.push_back(configuration_.modules[edge["from"].get<size_t>()].name + " -> " +
                    configuration_.modules[edge["to"].get<size_t>()].name + " " +
                    std::to_string(edge["weight"].get<int>()));
  }
  // Calls within a module and references from metadata are no module edges.
  EXPECT_THAT(edges, ElementsAre("CommonModule.Клиент -> CommonModule.ОбщегоНазначения 6",
                                 "CommonModule.Клиент -> CommonModule.Глобальный 3",
                                 "CommonModule.Клиент -> CommonModule.ГлобальныйБ 1",
                                 "CommonModule.Клиент -> Catalog.Валюты.ManagerModule 1"));
}

TEST(CrossModuleOldPlatformTest, GlobalModuleCallsAndDialogCallers) {
  const std::vector<FixtureModule> modules = {
      {"ГлобальныйМодуль", "GlobalModule", true, "Процедура Глоб() Экспорт\nКонецПроцедуры\n"},
      {"Документ.Д.МодульПроведения", "PostingModule", false, "Процедура Провести()\n\tГлоб();\nКонецПроцедуры\n"},
      {"Справочник.С.Форма", "FormModule", false, "Процедура Кнопка()\nКонецПроцедуры"},
  };
  const std::vector<NamedCaller> callers = {Named(NamedCaller::Kind::kDialog, "Справочник.С.Форма", "Глоб(\"а\\б\")",
                                                  "Справочники/С/Форма.frm", "Справочник.С.Форма", "Глоб", 2)};
  Configuration configuration;
  BuildConfiguration(modules, callers, ConfigLayout::kOldDump, configuration);
  const ConfigView view{&configuration, "/old"};
  const int32_t posting = configuration.FindModule("Документ.Д.МодульПроведения");
  EXPECT_EQ(CrossDefinition(view, posting, {1, 2}),
            (Json{{"uri", view.ModuleUri(0)}, {"range", RangeJson(0, 10, 0, 14)}}));
  const Json incoming = CrossIncomingCalls(view, CrossPrepareCallHierarchy(view, 0, {0, 10})[0]);
  ASSERT_EQ(incoming.size(), 2u) << incoming.dump();
  EXPECT_EQ(incoming[0]["from"]["name"], "Провести");
  EXPECT_EQ(incoming[1]["from"]["name"], "Справочник.С.Форма");
  EXPECT_EQ(incoming[1]["from"]["detail"], "dialog Глоб(\"а\\б\")");
  EXPECT_EQ(incoming[1]["from"]["uri"], view.FileUri("Справочники/С/Форма.frm"));
  EXPECT_EQ(incoming[1]["fromRanges"][0], RangeJson(2, 6, 2, 10));
}

}  // namespace
}  // namespace ramulet::lsp
