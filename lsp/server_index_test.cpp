// The server with workspace folders: indexing shown as progress, watchers
// registered, diagnostics of modules of a configuration, the requests
// across modules answered, bad options refused.
#include <gtest/gtest.h>

#include "config/layout_test_support.h"
#include "lsp/file_uri.h"
#include "lsp/lsp_test_support.h"

namespace ramulet::lsp {
namespace {

using ramulet::testing::TempTree;
using testing::LiveSession;
using testing::NotificationFrame;
using testing::NotificationsIn;
using testing::PositionParams;
using testing::RequestFrame;

constexpr const char* kCommon = "CommonModules/Общий/Ext/Module.bsl";
constexpr const char* kManager = "Catalogs/Валюты/Ext/ManagerModule.bsl";

void WriteDump(const TempTree& tree) {
  tree.Write("Configuration.xml", "<MetaDataObject/>");
  tree.Write("CommonModules/Общий.xml",
             "<MetaDataObject><CommonModule><Properties><Global>false</Global></Properties></CommonModule>");
  tree.Write(kCommon, "Процедура П() Экспорт\nКонецПроцедуры\n");
  tree.Write("Catalogs/Валюты.xml", "<MetaDataObject/>");
  tree.Write(kManager, "Процедура М()\n  Общий.П();\nКонецПроцедуры\n");
}

// An old-platform dump of two modules (ASCII names: no code page needed).
void WriteOldDump(const TempTree& tree) {
  tree.Write("ГлобальныйМодуль.1s", "Procedure Common() Export\nEndProcedure\n");
  tree.Write("Документы/Д/МодульПроведения.1s", "Procedure Post()\n  Common();\nEndProcedure\n");
}

Json Capabilities(bool progress, bool watchers) {
  return Json{{"window", Json{{"workDoneProgress", progress}}},
              {"workspace", Json{{"didChangeWatchedFiles", Json{{"dynamicRegistration", watchers}}}}}};
}

Json Folders(const std::string& root) {
  return Json::array({Json{{"uri", FileUriFromPath(root)}, {"name", "c"}}});
}

std::vector<Json> RequestsOf(const std::vector<Json>& sent, const std::string& method) {
  std::vector<Json> found;
  for (const Json& message : sent) {
    if (message.value("method", "") == method && message.contains("id")) found.push_back(message);
  }
  return found;
}

TEST(ServerIndexTest, ProgressAndWatchersOnlyWhenTheClientHasThem) {
  for (int run = 0; run < 4; ++run) {
    const bool supported = run % 2 == 0;
    TempTree tree;
    (run < 2 ? WriteDump : WriteOldDump)(tree);
    LiveSession session;
    session.Initialize(Json{{"capabilities", Capabilities(supported, supported)},
                            {"workspaceFolders", Folders(tree.root())}});
    // The module graph is answered once indexing is over, whatever the client.
    session.Write(RequestFrame(1, "ramulet/moduleGraph", Json::object()));
    if (supported) session.WaitIndexed();
    std::vector<Json> graph = session.Responses(1);
    ASSERT_EQ(graph.size(), 1u);
    EXPECT_TRUE(graph[0]["result"]["nodes"].is_array());
    EXPECT_TRUE(graph[0]["result"]["edges"].is_array());
    std::vector<Json> sent = session.Sent();
    std::vector<Json> registrations = RequestsOf(sent, "client/registerCapability");
    EXPECT_EQ(RequestsOf(sent, "window/workDoneProgress/create").size(), supported ? 1u : 0u);
    ASSERT_EQ(registrations.size(), supported ? 1u : 0u);
    if (supported) {
      const Json& registration = registrations[0]["params"]["registrations"][0];
      EXPECT_EQ(registration["method"], "workspace/didChangeWatchedFiles");
      EXPECT_EQ(registration["registerOptions"]["watchers"].size(), 7u);
      std::vector<Json> progress = NotificationsIn(sent, "$/progress");
      ASSERT_GE(progress.size(), 2u);
      EXPECT_EQ(progress.front()["value"]["kind"], "begin");
      EXPECT_EQ(progress.back()["value"]["kind"], "end");
      EXPECT_EQ(progress.back()["value"]["message"], "2 modules indexed");
    } else {
      EXPECT_TRUE(NotificationsIn(sent, "$/progress").empty());
    }
    EXPECT_EQ(session.Close(), 1);
  }
}

TEST(ServerIndexTest, ModulesOfTheConfigurationAreAnsweredFromIt) {
  TempTree tree;
  WriteDump(tree);
  const std::string common = FileUriFromPath(tree.Path(kCommon));
  const std::string manager = FileUriFromPath(tree.Path(kManager));
  LiveSession session;
  session.Initialize(Json{{"capabilities", Capabilities(true, true)}, {"rootUri", FileUriFromPath(tree.root())}});
  session.WaitIndexed();
  // Opened with a duplicate method: diagnostics come once, the duplicate
  // among them once.
  session.Write(NotificationFrame(
      "textDocument/didOpen",
      Json{{"textDocument", Json{{"uri", common}, {"languageId", "bsl"}, {"version", 1},
                                 {"text", "Процедура П() Экспорт\nКонецПроцедуры\nПроцедура П()\nКонецПроцедуры\n"}}}}));
  std::vector<Json> diagnostics = session.Notifications("textDocument/publishDiagnostics");
  ASSERT_EQ(diagnostics.size(), 1u);
  EXPECT_EQ(diagnostics[0]["uri"], common);
  size_t duplicates = 0;
  for (const Json& diagnostic : diagnostics[0]["diagnostics"]) duplicates += diagnostic.value("code", "") == "duplicate-method";
  EXPECT_EQ(duplicates, 1u);
  // A module that is not open is answered from the configuration; a
  // document of no configuration and not open is refused as before.
  session.Write(RequestFrame(2, "textDocument/definition", PositionParams(manager, 1, 9)));
  session.Write(RequestFrame(3, "textDocument/definition", PositionParams("file:///elsewhere.bsl", 0, 0)));
  session.Write(RequestFrame(4, "workspace/symbol", Json{{"query", "П"}}));
  session.Write(RequestFrame(5, "ramulet/moduleGraph", testing::TextDocumentParams(manager)));
  EXPECT_FALSE(session.Responses(2).at(0).contains("error"));
  EXPECT_TRUE(session.Responses(3).at(0).contains("error"));
  EXPECT_TRUE(session.Responses(4).at(0)["result"].is_array());
  EXPECT_TRUE(session.Responses(5).at(0)["result"].contains("nodes"));
  // A file changed on disk republishes the open module's diagnostics.
  tree.Write(kManager, "Процедура М()\nКонецПроцедуры\n");
  session.Write(NotificationFrame("workspace/didChangeWatchedFiles",
                                  Json{{"changes", Json::array({Json{{"uri", manager}, {"type", 2}}})}}));
  std::vector<Json> republished = session.Notifications("textDocument/publishDiagnostics", 2);
  EXPECT_EQ(republished.size(), 2u) << Json(republished).dump();
  // Edits one after another: diagnostics go out once the edits stop.
  for (int version = 2; version < 40; ++version) {
    session.Write(NotificationFrame(
        "textDocument/didChange",
        Json{{"textDocument", Json{{"uri", common}, {"version", version}}},
             {"contentChanges", Json::array({Json{{"text", "Процедура П() Экспорт\nКонецПроцедуры\n"}}})}}));
  }
  session.Write(RequestFrame(6, "shutdown", nullptr));
  session.Responses(6);
  std::vector<Json> published = session.Notifications("textDocument/publishDiagnostics", 3);
  ASSERT_GE(published.size(), 3u);
  EXPECT_LT(published.size(), 40u);
  EXPECT_EQ(published.back()["version"], 39);
  EXPECT_TRUE(published.back()["diagnostics"].empty());
}

// initializationOptions reach the index; a folder that cannot be read is
// told once and the others are indexed.
TEST(ServerIndexTest, OptionsAndAMissingFolder) {
  TempTree tree;
  WriteDump(tree);
  const std::string missing = tree.root() + "-missing";
  LiveSession session;
  session.Initialize(Json{{"capabilities", Capabilities(true, false)},
                          {"workspaceFolders", Json::array({Json{{"uri", FileUriFromPath(tree.root())}},
                                                            Json{{"uri", FileUriFromPath(missing)}}})},
                          {"initializationOptions", Json{{"exclude", Json::array({"Catalogs/**"})},
                                                         {"globalModules", Json::array({"Общий"})}}}});
  session.WaitIndexed();
  std::vector<Json> sent = session.Sent();
  EXPECT_EQ(NotificationsIn(sent, "$/progress").back()["value"]["message"], "1 modules indexed");
  size_t told = 0;
  for (const Json& log : NotificationsIn(sent, "window/logMessage")) {
    told += log["message"].get<std::string>().find(missing) != std::string::npos;
  }
  EXPECT_EQ(told, 1u);
  // Answers go on.
  session.Write(RequestFrame(1, "workspace/symbol", Json{{"query", ""}}));
  EXPECT_TRUE(session.Responses(1).at(0)["result"].is_array());
}

TEST(ServerIndexTest, OptionsThatAreNotArraysOfStringsAreRefused) {
  for (const char* name : {"exclude", "globalModules"}) {
    LiveSession session;
    session.Write(RequestFrame(0, "initialize",
                               Json{{"processId", nullptr},
                                    {"capabilities", Json::object()},
                                    {"initializationOptions", Json{{name, Json::array({1})}}}}));
    std::vector<Json> response = session.Responses(0);
    ASSERT_EQ(response.size(), 1u);
    EXPECT_EQ(response[0]["error"]["code"], -32602) << name;
  }
}

}  // namespace
}  // namespace ramulet::lsp
