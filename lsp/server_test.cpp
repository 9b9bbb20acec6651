// Lifecycle and bad input: the server answers every fault and keeps serving.
#include "lsp/server.h"

#include <gtest/gtest.h>

#include <sstream>

#include "lsp/lsp_test_support.h"

namespace ramulet::lsp {
namespace {

using testing::PositionParams;
using testing::Session;
using testing::TextDocumentParams;

const char* const kUri = "file:///m.bsl";
const char* const kModule = "Процедура А()\n\tБ();\nКонецПроцедуры\nПроцедура Б()\nКонецПроцедуры\n";

TEST(ServerTest, InitializeAdvertisesWhatIsServed) {
  Session session;
  session.Start().Stop();
  session.Run();
  EXPECT_EQ(session.Result(0), Json::parse(R"({
    "capabilities": {"positionEncoding": "utf-16", "textDocumentSync": {"openClose": true, "change": 2},
                     "documentSymbolProvider": true, "callHierarchyProvider": true, "definitionProvider": true,
                     "referencesProvider": true, "hoverProvider": true, "workspaceSymbolProvider": true,
                     "experimental": {"ramuletCallTree": true, "ramuletModuleGraph": true}},
    "serverInfo": {"name": "ramulet", "version": "1.0.0"}})"));
  EXPECT_EQ(session.Response(9999), Json::parse(R"({"jsonrpc": "2.0", "id": 9999, "result": null})"));
  EXPECT_EQ(session.exit_code(), 0);
}

TEST(ServerTest, ExitCodeTellsWhetherShutdownCameFirst) {
  Session with_shutdown, without, closed_input, closed_after_shutdown;
  with_shutdown.Start().Stop();
  without.Start().Notify("exit");
  closed_input.Start();
  closed_after_shutdown.Start().Request(1, "shutdown");
  const std::pair<Session*, int> cases[] = {
      {&with_shutdown, 0}, {&without, 1}, {&closed_input, 1}, {&closed_after_shutdown, 0}};
  for (auto [session, code] : cases) {
    session->Run();
    EXPECT_EQ(session->exit_code(), code);
  }
}

TEST(ServerTest, TheServerStopsWhenItsOutputFails) {
  std::istringstream in("Content-Length: 2\r\n\r\n{}Content-Length: 2\r\n\r\n{}");
  std::ostringstream out;
  out.setstate(std::ios::badbit);
  EXPECT_EQ(RunServer(in, out), 1);
  EXPECT_EQ(in.tellg(), 0);  // nothing more is read for a client that cannot be answered
}

TEST(ServerTest, MessagesAfterExitAreNotRead) {
  Session session;
  session.Start().Notify("exit").Request(1, "shutdown");
  session.Run();
  EXPECT_EQ(session.sent().size(), 1u);  // only the initialize result
}

TEST(ServerTest, FaultsGetErrorResponsesAndTheServerKeepsServing) {
  struct Case {
    const char* name;
    std::string bytes;  // the faulty message, framed or not
    int code;
  };
  auto frame = [](const std::string& body) { return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body; };
  const Case cases[] = {
      {"malformed JSON", frame("{\"jsonrpc\": \"2.0\", \"id\": 5,"), -32700},
      {"invalid UTF-8", frame("{\"jsonrpc\": \"2.0\", \"id\": 5, \"method\": \"\xFF\"}"), -32700},
      {"no Content-Length", "Content-Type: x\r\n\r\n", -32700},
      {"not JSON-RPC 2.0", frame("{\"id\": 5, \"method\": \"shutdown\"}"), -32600},
      {"an array", frame("[1, 2]"), -32600},
      {"method not a string", frame("{\"jsonrpc\": \"2.0\", \"id\": 5, \"method\": 7}"), -32600},
      {"unknown method", frame(R"({"jsonrpc": "2.0", "id": 5, "method": "textDocument/rename", "params": {}})"), -32601},
      {"document not open", frame(R"({"jsonrpc": "2.0", "id": 5, "method": "textDocument/documentSymbol",
                                     "params": {"textDocument": {"uri": "file:///other.bsl"}}})"), -32602},
      {"no position", frame(R"({"jsonrpc": "2.0", "id": 5, "method": "textDocument/hover",
                               "params": {"textDocument": {"uri": "file:///m.bsl"}}})"), -32602},
      {"line past the end", frame(R"({"jsonrpc": "2.0", "id": 5, "method": "textDocument/definition",
                                     "params": {"textDocument": {"uri": "file:///m.bsl"},
                                                "position": {"line": 6, "character": 0}}})"), -32602},
      {"negative character", frame(R"({"jsonrpc": "2.0", "id": 5, "method": "textDocument/definition",
                                      "params": {"textDocument": {"uri": "file:///m.bsl"},
                                                 "position": {"line": 0, "character": -1}}})"), -32602},
      {"position of wrong type", frame(R"({"jsonrpc": "2.0", "id": 5, "method": "textDocument/references",
                                          "params": {"textDocument": {"uri": "file:///m.bsl"},
                                                     "position": {"line": "0", "character": 0}}})"), -32602},
      {"second initialize", frame(R"({"jsonrpc": "2.0", "id": 5, "method": "initialize", "params": {}})"), -32600},
      {"bad tree page", frame(R"({"jsonrpc": "2.0", "id": 5, "method": "ramulet/callTree",
                                 "params": {"textDocument": {"uri": "file:///m.bsl"}, "limit": 0}})"), -32602},
      {"tree of an unknown root", frame(R"({"jsonrpc": "2.0", "id": 5, "method": "ramulet/callTree",
                                           "params": {"textDocument": {"uri": "file:///m.bsl"}, "root": "Я"}})"), -32602},
  };
  for (const Case& c : cases) {
    Session session;
    session.Start().Open(kUri, kModule).Raw(c.bytes).Request(6, "textDocument/documentSymbol", TextDocumentParams(kUri)).Stop();
    session.Run();
    const Json* error = nullptr;
    for (const Json& message : session.sent()) {
      if (message.contains("error")) error = &message;
    }
    ASSERT_NE(error, nullptr) << c.name;
    EXPECT_EQ((*error)["error"]["code"], c.code) << c.name;
    EXPECT_TRUE((*error)["id"] == 5 || (*error)["id"].is_null()) << c.name;
    EXPECT_EQ(session.Result(6).size(), 2u) << c.name;
    EXPECT_EQ(session.exit_code(), 0) << c.name;
  }
}

TEST(ServerTest, RequestsBeforeInitializeAndAfterShutdownAreRefused) {
  Session session;
  session.Request(1, "textDocument/documentSymbol", TextDocumentParams(kUri))
      .Start()
      .Request(2, "shutdown")
      .Request(3, "workspace/symbol", Json{{"query", ""}})
      .Notify("exit");
  session.Run();
  EXPECT_EQ(session.Response(1)["error"]["code"], -32002);
  EXPECT_EQ(session.Response(3)["error"]["code"], -32600);
  EXPECT_EQ(session.exit_code(), 0);
}

TEST(ServerTest, ACancellationStopsOnlyTheRequestsWaitingWhenItIsRead) {
  Session session;
  // All of it arrives at once. 6 waits when its cancellation is read; 4 is
  // read after its cancellation (it does not wait yet), and so is the
  // second 6: both are answered.
  session.Start().Open(kUri, kModule).Notify("$/cancelRequest", Json{{"id", 4}})
      .Request(4, "textDocument/documentSymbol", TextDocumentParams(kUri))
      .Request(5, "textDocument/documentSymbol", TextDocumentParams(kUri))
      .Request(6, "textDocument/documentSymbol", TextDocumentParams(kUri))
      .Notify("$/cancelRequest", Json{{"id", 6}})
      .Notify("$/cancelRequest", Json{{"id", "not sent"}})
      .Request(6, "textDocument/documentSymbol", TextDocumentParams(kUri))
      .Stop();
  session.Run();
  EXPECT_EQ(session.Result(4).size(), 2u);
  EXPECT_EQ(session.Result(5).size(), 2u);
  std::vector<Json> sixes;
  for (const Json& message : session.sent()) {
    if (message.value("id", Json()) == 6) sixes.push_back(message);
  }
  ASSERT_EQ(sixes.size(), 2u);
  EXPECT_EQ(sixes[0]["error"]["code"], -32800);
  EXPECT_EQ(sixes[1]["result"].size(), 2u);
  EXPECT_EQ(session.exit_code(), 0);
}

TEST(ServerTest, BadNotificationsAreLoggedAndARefusedChangeClosesTheDocument) {
  Session session;
  session.Start()
      .Open(kUri, kModule, 1)
      .Change(kUri, 2, Json::array({testing::RangeChange(0, 0, 0, 0, "// ок\n"), testing::RangeChange(40, 0, 40, 0, "x")}))
      .Change("file:///not-open.bsl", 2, Json::array({Json{{"text", ""}}}))
      .Notify("textDocument/didOpen", Json{{"textDocument", Json{{"uri", 5}}}})
      .Request(1, "textDocument/definition", PositionParams(kUri, 1, 2))
      .Stop();
  session.Run();
  std::vector<Json> logs = session.Notifications("window/logMessage");
  ASSERT_EQ(logs.size(), 3u);
  EXPECT_NE(logs[0]["message"].get<std::string>().find("past the last line"), std::string::npos);
  EXPECT_NE(logs[1]["message"].get<std::string>().find("is not open"), std::string::npos);
  EXPECT_EQ(logs[0]["type"], 1);
  // The editor has made the change the server could not: the document is
  // closed on the server, with a diagnostic on it that says why.
  EXPECT_NE(logs[0]["message"].get<std::string>().find("is closed on the server"), std::string::npos);
  EXPECT_EQ(session.Response(1)["error"]["code"], -32602);
  std::vector<Json> diagnostics = session.Notifications("textDocument/publishDiagnostics");
  ASSERT_EQ(diagnostics.size(), 2u);
  EXPECT_EQ(diagnostics[1]["uri"], kUri);
  EXPECT_EQ(diagnostics[1]["diagnostics"][0]["message"], logs[0]["message"].get<std::string>().substr(24));
}

TEST(ServerTest, DocumentsTooLargeToAnalyseAreRefusedWithALogMessage) {
  const size_t limit = 1000;
  std::string huge(limit + 1, 'a');
  Session session;
  session.Start()
      .Open("file:///huge.bsl", huge)
      .Open(kUri, kModule)
      .Change(kUri, 2, Json::array({testing::RangeChange(0, 0, 0, 0, huge)}))
      .Request(1, "textDocument/documentSymbol", TextDocumentParams("file:///huge.bsl"))
      .Request(2, "textDocument/documentSymbol", TextDocumentParams(kUri))
      .Stop();
  session.Run(limit);
  std::vector<Json> logs = session.Notifications("window/logMessage");
  ASSERT_EQ(logs.size(), 2u);
  EXPECT_NE(logs[0]["message"].get<std::string>().find("too large"), std::string::npos);
  EXPECT_NE(logs[1]["message"].get<std::string>().find("too large"), std::string::npos);
  // Neither document is open: the editor holds text the server has not.
  EXPECT_EQ(session.Response(1)["error"]["code"], -32602);
  EXPECT_EQ(session.Response(2)["error"]["code"], -32602);
  std::vector<std::string> refused;
  for (const Json& params : session.Notifications("textDocument/publishDiagnostics")) {
    if (!params["diagnostics"].empty()) refused.push_back(params["uri"]);
  }
  EXPECT_EQ(refused, (std::vector<std::string>{"file:///huge.bsl", kUri}));
}

}  // namespace
}  // namespace ramulet::lsp
