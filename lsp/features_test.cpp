// Exact answers to each request over a small module, before and after
// incremental edits that move methods and calls.
#include <gtest/gtest.h>

#include "lsp/features.h"
#include "lsp/lsp_test_support.h"
#include "platform/text.h"

namespace ramulet::lsp {
namespace {

using testing::PositionParams;
using testing::RangeChange;
using testing::Session;
using testing::TextDocumentParams;

const char* const kUri = "file:///m.bsl";

// Line numbers are those the answers use (0-based).
const char* const kModule =
    "Процедура Главная() Далее\n"          // 0  forward declaration
    "Процедура Главная()\n"                // 1
    "\tПомощник(1);\n"                     // 2
    "\tИтог = Расчет(2) + Помощник(3);\n"  // 3
    "КонецПроцедуры\n"                     // 4
    "\n"                                   // 5
    "Функция Помощник(Х)\n"                // 6
    "\tВозврат Расчет(Х);\n"               // 7
    "КонецФункции\n"                       // 8
    "\n"                                   // 9
    "Функция Расчет(Х)\n"                  // 10
    "\tВозврат Х * 2;\n"                   // 11
    "КонецФункции\n";                      // 12

Json R(int l1, int c1, int l2, int c2) {
  return Json{{"start", Json{{"line", l1}, {"character", c1}}}, {"end", Json{{"line", l2}, {"character", c2}}}};
}

Json Item(const std::string& name, int kind, Json range, Json selection) {
  return Json{{"name", name}, {"kind", kind}, {"uri", kUri}, {"range", range}, {"selectionRange", selection},
              {"data", Json{{"name", name}}}};
}

Json Main(int shift = 0) { return Item("Главная", 6, R(1 + shift, 0, 4 + shift, 14), R(1 + shift, 10, 1 + shift, 17)); }
Json Helper(int shift = 0) { return Item("Помощник", 12, R(6 + shift, 0, 8 + shift, 12), R(6 + shift, 8, 6 + shift, 16)); }
Json Calc(int shift = 0) { return Item("Расчет", 12, R(10 + shift, 0, 12 + shift, 12), R(10 + shift, 8, 10 + shift, 14)); }

Json Symbol(const Json& item) {
  return Json{{"name", item["name"]}, {"kind", item["kind"]}, {"range", item["range"]},
              {"selectionRange", item["selectionRange"]}};
}

Json Loc(Json range) { return Json{{"uri", kUri}, {"range", range}}; }

TEST(FeaturesTest, DocumentSymbolsListMethodsButNotForwardDeclarations) {
  Session session;
  session.Start().Open(kUri, kModule).Request(1, "textDocument/documentSymbol", TextDocumentParams(kUri)).Stop();
  session.Run();
  EXPECT_EQ(session.Result(1), Json::array({Symbol(Main()), Symbol(Helper()), Symbol(Calc())}));
  EXPECT_EQ(session.Notifications("textDocument/publishDiagnostics"),
            std::vector<Json>{Json::parse(R"({"uri": "file:///m.bsl", "version": 1, "diagnostics": []})")});
}

TEST(FeaturesTest, CallHierarchyFromHeadersAndCalls) {
  Session session;
  session.Start()
      .Open(kUri, kModule)
      .Request(1, "textDocument/prepareCallHierarchy", PositionParams(kUri, 1, 12))  // header name
      .Request(2, "textDocument/prepareCallHierarchy", PositionParams(kUri, 3, 28))  // on Помощник(3)
      .Request(3, "textDocument/prepareCallHierarchy", PositionParams(kUri, 3, 5))   // on Итог
      .Request(4, "callHierarchy/outgoingCalls", Json{{"item", Main()}})
      .Request(5, "callHierarchy/incomingCalls", Json{{"item", Calc()}})
      .Request(6, "callHierarchy/incomingCalls", Json{{"item", Main()}})
      .Stop();
  session.Run();
  EXPECT_EQ(session.Result(1), Json::array({Main()}));
  EXPECT_EQ(session.Result(2), Json::array({Helper()}));
  EXPECT_EQ(session.Result(3), nullptr);
  EXPECT_EQ(session.Result(4),
            Json::array({Json{{"to", Helper()}, {"fromRanges", Json::array({R(2, 1, 2, 9), R(3, 20, 3, 28)})}},
                         Json{{"to", Calc()}, {"fromRanges", Json::array({R(3, 8, 3, 14)})}}}));
  EXPECT_EQ(session.Result(5),
            Json::array({Json{{"from", Main()}, {"fromRanges", Json::array({R(3, 8, 3, 14)})}},
                         Json{{"from", Helper()}, {"fromRanges", Json::array({R(7, 9, 7, 15)})}}}));
  EXPECT_EQ(session.Result(6), Json::array());
}

TEST(FeaturesTest, DefinitionReferencesHoverAndWorkspaceSymbols) {
  Session session;
  session.Start()
      .Open(kUri, kModule)
      .Open("file:///b.bsl", "Функция ПомощникДругой()\nКонецФункции\n")
      .Request(1, "textDocument/definition", PositionParams(kUri, 7, 12))
      .Request(2, "textDocument/references",
               Json{{"textDocument", Json{{"uri", kUri}}}, {"position", Json{{"line", 2}, {"character", 1}}},
                    {"context", Json{{"includeDeclaration", true}}}})
      .Request(3, "textDocument/references",
               Json{{"textDocument", Json{{"uri", kUri}}}, {"position", Json{{"line", 6}, {"character", 16}}},
                    {"context", Json{{"includeDeclaration", false}}}})
      .Request(4, "textDocument/hover", PositionParams(kUri, 1, 10))
      .Request(5, "workspace/symbol", Json{{"query", "помощ"}})
      .Request(6, "textDocument/definition", PositionParams(kUri, 11, 200))  // past the line's end: its end
      .Stop();
  session.Run();
  EXPECT_EQ(session.Result(1), Loc(R(10, 8, 10, 14)));
  EXPECT_EQ(session.Result(2), Json::array({Loc(R(6, 8, 6, 16)), Loc(R(2, 1, 2, 9)), Loc(R(3, 20, 3, 28))}));
  EXPECT_EQ(session.Result(3), Json::array({Loc(R(2, 1, 2, 9)), Loc(R(3, 20, 3, 28))}));
  EXPECT_EQ(session.Result(4), Json::parse(R"({"contents": {"kind": "markdown",
      "value": "```\nПроцедура Главная()\n```\n\ncalls 3 / called from 0"}})"));
  EXPECT_EQ(session.Result(5),
            Json::parse(R"([{"name": "ПомощникДругой", "kind": 12,
                             "location": {"uri": "file:///b.bsl", "range": {"start": {"line": 0, "character": 0},
                                                                            "end": {"line": 1, "character": 12}}}},
                            {"name": "Помощник", "kind": 12,
                             "location": {"uri": "file:///m.bsl", "range": {"start": {"line": 6, "character": 0},
                                                                            "end": {"line": 8, "character": 12}}}}])"));
  EXPECT_EQ(session.Result(6), nullptr);
}

TEST(FeaturesTest, IncrementalEditsMoveMethodsAndCalls) {
  Session session;
  session.Start()
      .Open(kUri, kModule)
      // Two lines above everything, then a call of Главная split onto a new
      // line inside Расчет (now at 12..15), then the first call's line joined
      // with the next one.
      .Change(kUri, 2, Json::array({RangeChange(0, 0, 0, 0, "// один\r\n// два\n")}))
      .Change(kUri, 3, Json::array({RangeChange(13, 15, 13, 15, "\r\n\tГлавная();")}))
      .Change(kUri, 4, Json::array({RangeChange(4, 13, 5, 1, " ")}))
      .Request(1, "textDocument/documentSymbol", TextDocumentParams(kUri))
      .Request(2, "callHierarchy/outgoingCalls", Json{{"item", Main()}})
      .Request(3, "callHierarchy/incomingCalls", Json{{"item", Main()}})
      .Request(4, "textDocument/prepareCallHierarchy", PositionParams(kUri, 13, 3))
      .Stop();
  session.Run();
  // Главная: header 3, "\tПомощник(1); Итог = Расчет(2) + Помощник(3);" on 4, end 5.
  Json main = Item("Главная", 6, R(3, 0, 5, 14), R(3, 10, 3, 17));
  Json helper = Helper(1);
  Json calc = Item("Расчет", 12, R(11, 0, 14, 12), R(11, 8, 11, 14));
  EXPECT_EQ(session.Result(1), Json::array({Symbol(main), Symbol(helper), Symbol(calc)}));
  EXPECT_EQ(session.Result(2),
            Json::array({Json{{"to", helper}, {"fromRanges", Json::array({R(4, 1, 4, 9), R(4, 33, 4, 41)})}},
                         Json{{"to", calc}, {"fromRanges", Json::array({R(4, 21, 4, 27)})}}}));
  EXPECT_EQ(session.Result(3), Json::array({Json{{"from", calc}, {"fromRanges", Json::array({R(13, 1, 13, 8)})}}}));
  EXPECT_EQ(session.Result(4), Json::array({main}));
  EXPECT_EQ(session.Notifications("textDocument/publishDiagnostics").back()["version"], 4);
}

TEST(FeaturesTest, ColumnsCountUtf16CodeUnits) {
  Session session;
  // U+1F600 is two UTF-16 code units (four bytes of UTF-8).
  session.Start()
      .Open(kUri, "Процедура А()\n\tТ = \"\xF0\x9F\x98\x80\" + Б(1);\nКонецПроцедуры\nПроцедура Б(Х)\nКонецПроцедуры")
      .Request(1, "callHierarchy/outgoingCalls",
               Json{{"item", Json{{"name", "А"}, {"uri", kUri}, {"kind", 6}}}})
      .Request(2, "textDocument/definition", PositionParams(kUri, 1, 12))
      .Request(3, "textDocument/definition", PositionParams(kUri, 1, 11))
      .Stop();
  session.Run();
  EXPECT_EQ(session.Result(1)[0]["fromRanges"], Json::array({R(1, 12, 1, 13)}));
  EXPECT_EQ(session.Result(2), Loc(R(3, 10, 3, 11)));
  EXPECT_EQ(session.Result(3), nullptr);
}

TEST(FeaturesTest, FullChangesReplaceTheText) {
  Session session;
  session.Start()
      .Open(kUri, kModule)
      .Change(kUri, 2, Json::array({Json{{"text", "Процедура Новая()\r\nКонецПроцедуры"}}}))
      .Request(1, "textDocument/documentSymbol", TextDocumentParams(kUri))
      .Stop();
  session.Run();
  EXPECT_EQ(session.Result(1), Json::parse(R"([{"name": "Новая", "kind": 6,
      "range": {"start": {"line": 0, "character": 0}, "end": {"line": 1, "character": 14}},
      "selectionRange": {"start": {"line": 0, "character": 10}, "end": {"line": 0, "character": 15}}}])"));
}

TEST(FeaturesTest, ADuplicateMethodKeepsTheSymbolsBeforeItAndIsReported) {
  Session session;
  session.Start()
      .Open(kUri, "Процедура А()\nКонецПроцедуры\nФункция Б()\nКонецФункции\nПроцедура А()\nКонецПроцедуры\n")
      .Request(1, "textDocument/documentSymbol", TextDocumentParams(kUri))
      .Request(2, "ramulet/callTree", TextDocumentParams(kUri))
      .Stop();
  session.Run();
  EXPECT_EQ(session.Result(1), Json::parse(R"([
      {"name": "А", "kind": 6, "range": {"start": {"line": 0, "character": 0}, "end": {"line": 1, "character": 14}},
       "selectionRange": {"start": {"line": 0, "character": 10}, "end": {"line": 0, "character": 11}}},
      {"name": "Б", "kind": 12, "range": {"start": {"line": 2, "character": 0}, "end": {"line": 3, "character": 12}},
       "selectionRange": {"start": {"line": 2, "character": 8}, "end": {"line": 2, "character": 9}}}])"));
  EXPECT_EQ(session.Notifications("textDocument/publishDiagnostics").at(0), Json::parse(R"({
      "uri": "file:///m.bsl", "version": 1, "diagnostics": [{
        "range": {"start": {"line": 4, "character": 10}, "end": {"line": 4, "character": 11}},
        "severity": 1, "source": "ramulet", "code": "duplicate-method",
        "message": "the method 'А' is declared twice: the first declaration is on line 1; the module is analysed only up to here"}]})"));
  EXPECT_EQ(session.Response(2)["error"]["code"], -32803);
}

TEST(FeaturesTest, BeforeADuplicateMethodsEndOnTheirRecordedEndLines) {
  Session session;
  session.Start()
      .Open(kUri, "Процедура А()\nКонецПроцедуры\n\nПеременная = 1;\nПроцедура Б()\nПроцедура А()\n")
      .Request(1, "textDocument/documentSymbol", TextDocumentParams(kUri))
      .Stop();
  session.Run();
  Json symbols = session.Result(1);
  ASSERT_EQ(symbols.size(), 2u);
  EXPECT_EQ(symbols[0]["range"], R(0, 0, 1, 14));  // its end line, not the line before Б
  EXPECT_EQ(symbols[1]["range"], R(4, 0, 4, 13));  // no end line: up to the duplicate
}

TEST(FeaturesTest, TheDuplicateDiagnosticMarksTheNameNotTextInsideTheKeyword) {
  Session session;
  // "ра" also ends the keyword Процедура.
  session.Start().Open(kUri, "Процедура ра()\nКонецПроцедуры\n  Процедура ра()\nКонецПроцедуры\n").Stop();
  session.Run();
  EXPECT_EQ(session.Notifications("textDocument/publishDiagnostics").at(0)["diagnostics"][0]["range"],
            R(2, 12, 2, 14));
}

TEST(FeaturesTest, CallTreePagesWalkThePanelsTreeInPreOrder) {
  Session session;
  Json page{{"textDocument", Json{{"uri", kUri}}}, {"offset", 0}, {"limit", 4}};
  Json next = page;
  next["offset"] = 4;
  Json far = page;
  far["offset"] = 7;
  Json shallow{{"textDocument", Json{{"uri", kUri}}}, {"depth", 0}, {"offset", 0}, {"limit", 100}};
  Json one_root{{"textDocument", Json{{"uri", kUri}}}, {"root", "Помощник"}, {"offset", 0}, {"limit", 100}};
  session.Start()
      .Open(kUri, kModule)
      .Request(1, "ramulet/callTree", page)
      .Request(2, "ramulet/callTree", next)
      .Request(3, "ramulet/callTree", far)
      .Request(4, "ramulet/callTree", shallow)
      .Request(5, "ramulet/callTree", one_root)
      .Stop();
  session.Run();
  auto node = [](const char* name, int level, int line, bool children) {
    return Json{{"name", name}, {"level", level}, {"line", line}, {"hasChildren", children}};
  };
  // Главная: Помощник (-> Расчет), Расчет, Помощник (-> Расчет); then the
  // other top-level nodes.
  Json all = Json::array({node("Главная", 0, 1, true), node("Помощник", 1, 6, true), node("Расчет", 2, 10, false),
                          node("Расчет", 1, 10, false), node("Помощник", 1, 6, true), node("Расчет", 2, 10, false),
                          node("Помощник", 0, 6, true), node("Расчет", 1, 10, false), node("Расчет", 0, 10, false)});
  auto slice = [&](size_t from, size_t to) {
    return Json(std::vector<Json>(all.begin() + static_cast<std::ptrdiff_t>(from), all.begin() + static_cast<std::ptrdiff_t>(to)));
  };
  EXPECT_EQ(session.Result(1), (Json{{"nodeCount", 9}, {"truncated", false}, {"total", 9}, {"offset", 0},
                                     {"nodes", slice(0, 4)}, {"next", 4}}));
  EXPECT_EQ(session.Result(2), (Json{{"nodeCount", 9}, {"truncated", false}, {"total", 9}, {"offset", 4},
                                     {"nodes", slice(4, 8)}, {"next", 8}}));
  EXPECT_EQ(session.Result(3), (Json{{"nodeCount", 9}, {"truncated", false}, {"total", 9}, {"offset", 7},
                                     {"nodes", slice(7, 9)}, {"next", nullptr}}));
  EXPECT_EQ(session.Result(4)["nodes"], Json::array({node("Главная", 0, 1, false), node("Помощник", 0, 6, false),
                                                     node("Расчет", 0, 10, false)}));
  EXPECT_EQ(session.Result(4)["total"], 3);
  EXPECT_EQ(session.Result(5)["nodes"], slice(6, 8));
}

}  // namespace
}  // namespace ramulet::lsp

namespace ramulet::lsp {
namespace {

// The outline written straight into the response is the text the JSON
// library writes of the same symbols, byte for byte.
TEST(FeaturesTest, TheOutlineIsWrittenAsTheJsonLibraryWritesIt) {
  for (RuleSet rules : {RuleSet::kPanel, RuleSet::kLanguage}) {
    Workspace workspace;
    workspace.SetRules(rules);
    OpenDocument document = workspace.Prepare("file:///o.bsl");
    document.text.Replace(U16("Функция Ёж(А = \"\\\")\")\n\tЁж();\nКонецФункции\r\nПроцедура П1() Экспорт\n"
                              "Процедура Пустая()\nКонецПроцедуры"));
    document.Analyse();
    std::string written;
    AppendDocumentSymbols(document, written);
    EXPECT_EQ(written, Serialize(DocumentSymbols(document)));
    EXPECT_GE(DocumentSymbols(document).size(), 2u);
  }
}

}  // namespace
}  // namespace ramulet::lsp
