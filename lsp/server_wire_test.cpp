// What reaches the server and how it reads it: partial frames, floods,
// over-long lengths, cancellations in time, and text that JSON allows but
// the parser does not.
#include "lsp/server.h"

#include <gtest/gtest.h>

#include <sstream>

#include "lsp/lsp_test_support.h"
#include "lsp/message_queue.h"

namespace ramulet::lsp {
namespace {

using testing::Frame;
using testing::LiveSession;
using testing::NotificationFrame;
using testing::RequestFrame;
using testing::Session;
using testing::TextDocumentParams;

const char* const kUri = "file:///m.bsl";
const char* const kModule = "Процедура А()\n\tБ();\nКонецПроцедуры\nПроцедура Б()\nКонецПроцедуры\n";

std::string StartFrames() {
  return RequestFrame(0, "initialize", Json{{"processId", nullptr}, {"capabilities", Json::object()}}) +
         NotificationFrame("initialized") +
         NotificationFrame("textDocument/didOpen", Json{{"textDocument", Json{{"uri", kUri}, {"languageId", "bsl"},
                                                                              {"version", 1}, {"text", kModule}}}});
}

std::string StopFrames() { return RequestFrame(9999, "shutdown", nullptr) + NotificationFrame("exit"); }

TEST(ServerWireTest, ARequestIsAnsweredWhileTheNextMessageHasArrivedOnlyInPart) {
  LiveSession session;
  std::string next = RequestFrame(2, "textDocument/documentSymbol", TextDocumentParams(kUri));
  session.Write(StartFrames() + RequestFrame(1, "textDocument/documentSymbol", TextDocumentParams(kUri)) +
                next.substr(0, next.size() / 2));
  // A client that waits for this answer before it writes the rest.
  std::vector<Json> first = session.Responses(1);
  ASSERT_EQ(first.size(), 1u) << "no answer while the next frame is incomplete";
  EXPECT_EQ(first[0]["result"].size(), 2u);
  session.Write(next.substr(next.size() / 2) + StopFrames());
  ASSERT_EQ(session.Responses(2).size(), 1u);
  EXPECT_EQ(session.Responses(2)[0]["result"].size(), 2u);
  EXPECT_EQ(session.Close(), 0);
}

TEST(ServerWireTest, ACancellationOfAnAnsweredRequestDoesNotStopTheNextOneWithItsId) {
  LiveSession session;
  session.Write(StartFrames() + RequestFrame(5, "textDocument/documentSymbol", TextDocumentParams(kUri)));
  ASSERT_EQ(session.Responses(5).size(), 1u);
  // Late: 5 was answered. The id is then used again.
  session.Write(NotificationFrame("$/cancelRequest", Json{{"id", 5}}) +
                RequestFrame(5, "textDocument/documentSymbol", TextDocumentParams(kUri)));
  std::vector<Json> fives = session.Responses(5, 2);
  ASSERT_EQ(fives.size(), 2u);
  EXPECT_EQ(fives[1]["result"].size(), 2u) << fives[1].dump();
  session.Write(StopFrames());
  EXPECT_EQ(session.Close(), 0);
}

TEST(ServerWireTest, AnOverlongMessageIsRefusedAtOnceAndReadingGoesOn) {
  const std::string lengths[] = {"9223372036854775807", std::to_string((size_t{64} << 20) + 1)};
  for (const std::string& length : lengths) {
    Session session;
    // No body follows the header: the client meant none, or lied.
    session.Start().Open(kUri, kModule).Raw("Content-Length: " + length + "\r\n\r\n")
        .Request(1, "textDocument/documentSymbol", TextDocumentParams(kUri)).Stop();
    session.Run();
    std::vector<Json> errors;
    for (const Json& message : session.sent()) {
      if (message.contains("error")) errors.push_back(message);
    }
    ASSERT_EQ(errors.size(), 1u) << length;
    EXPECT_TRUE(errors[0]["id"].is_null());
    EXPECT_EQ(errors[0]["error"]["code"], -32700);
    EXPECT_NE(errors[0]["error"]["message"].get<std::string>().find("larger than"), std::string::npos);
    EXPECT_EQ(session.Result(1).size(), 2u) << length;
    EXPECT_EQ(session.exit_code(), 0);
  }
}

// Records where the input was when the server first wrote.
class FirstWriteProbe : public std::stringbuf {
 public:
  explicit FirstWriteProbe(std::istream& in) : in_(in) {}
  std::streamoff read_before_answer = -1;

 protected:
  std::streamsize xsputn(const char* bytes, std::streamsize count) override {
    if (read_before_answer < 0) read_before_answer = in_.rdbuf()->pubseekoff(0, std::ios::cur, std::ios::in);
    return std::stringbuf::xsputn(bytes, count);
  }

 private:
  std::istream& in_;
};

TEST(ServerWireTest, AFloodIsReadOnlyAsFarAsTheLookAheadLimits) {
  std::string flood;
  std::string trace = NotificationFrame("$/setTrace", Json{{"value", "off"}});
  const size_t count = LookAheadLimits{}.messages * 3;
  for (size_t i = 0; i < count; ++i) flood += trace;
  std::string initialize = RequestFrame(0, "initialize", Json{{"capabilities", Json::object()}});
  std::istringstream in(initialize + flood + StopFrames());
  FirstWriteProbe probe(in);
  std::ostream out(&probe);
  EXPECT_EQ(RunServer(in, out), 0);
  // The answer to initialize was written with at most the limit's worth of
  // messages read behind it, not the whole flood.
  ASSERT_GT(probe.read_before_answer, 0);
  EXPECT_LE(static_cast<size_t>(probe.read_before_answer),
            initialize.size() + LookAheadLimits{}.messages * trace.size());
}

TEST(ServerWireTest, ALoneSurrogateEscapeIsReadAsOneReplacementCharacter) {
  struct Case {
    const char* name;
    std::string inserted;  // JSON string text inserted at the start of line 1
    int call_at;           // where the call of Б on line 1 then starts
  };
  const Case cases[] = {
      {"a lone high surrogate", R"(\ud83d)", 2},
      {"a lone low surrogate", R"(\uDC00)", 2},
      {"a low one before a high one", R"(\udc00\ud83d)", 3},
      {"a high one before no low one", R"(\ud83dA)", 3},
      {"a pair, kept", R"(\ud83d\ude00)", 3},
      {"an escaped backslash before u", R"(\\ud83d)", 7},
  };
  for (const Case& c : cases) {
    std::string change = R"({"jsonrpc":"2.0","method":"textDocument/didChange","params":{"textDocument":{"uri":")" +
                         std::string(kUri) + R"(","version":2},"contentChanges":[{"range":{"start":{"line":1,"character":0},)"
                         R"("end":{"line":1,"character":0}},"text":")" + c.inserted + R"("}]}})";
    Session session;
    session.Start().Open(kUri, kModule).Raw(Frame(change))
        .Request(1, "textDocument/references", Json{{"textDocument", Json{{"uri", kUri}}},
                                                   {"position", Json{{"line", 3}, {"character", 11}}}})
        .Stop();
    session.Run();
    EXPECT_TRUE(session.Notifications("window/logMessage").empty()) << c.name;
    Json calls = session.Result(1);
    ASSERT_EQ(calls.size(), 1u) << c.name << ": " << calls.dump();
    EXPECT_EQ(calls[0]["range"]["start"], Json::parse(R"({"line": 1, "character": )" + std::to_string(c.call_at) + "}"))
        << c.name;
  }
}

TEST(ServerWireTest, AChangeThatCannotBeReadClosesItsDocument) {
  struct Case {
    const char* name;
    std::string body;
    std::vector<std::string> closed;
  };
  const std::string other = "file:///other.bsl";
  const std::string head = R"({"jsonrpc":"2.0","method":"textDocument/didChange","params":{"textDocument":{"uri":")";
  const Case cases[] = {
      {"invalid UTF-8", head + kUri + R"(","version":2},"contentChanges":[{"text":"\xFF"}]}})", {kUri}},
      {"a bad escape", head + kUri + R"(","version":2},"contentChanges":[{"text":"\q"}]}})", {kUri}},
      {"cut short", head + other + R"(","version":2},"contentChanges":[{"te)", {other}},
      {"no document named", R"({"jsonrpc":"2.0","method":"textDocument/didChange","params":{"textDocu)", {kUri, other}},
  };
  for (const Case& c : cases) {
    Session session;
    session.Start().Open(kUri, kModule).Open(other, kModule).Raw(Frame(c.body))
        .Request(1, "textDocument/documentSymbol", TextDocumentParams(kUri))
        .Request(2, "textDocument/documentSymbol", TextDocumentParams(other))
        .Stop();
    session.Run();
    std::vector<std::string> closed;
    for (const Json& params : session.Notifications("textDocument/publishDiagnostics")) {
      if (!params["diagnostics"].empty()) closed.push_back(params["uri"]);
    }
    EXPECT_EQ(closed, c.closed) << c.name;
    EXPECT_EQ(session.Notifications("window/logMessage").size(), c.closed.size()) << c.name;
    bool first_closed = std::find(closed.begin(), closed.end(), kUri) != closed.end();
    bool second_closed = std::find(closed.begin(), closed.end(), other) != closed.end();
    EXPECT_EQ(session.Response(1).contains("error"), first_closed) << c.name;
    EXPECT_EQ(session.Response(2).contains("error"), second_closed) << c.name;
  }
}

TEST(ServerWireTest, ErrorMessagesKeepEveryByteOfTheNamesInThem) {
  struct Case {
    std::string method;
    Json params;
    std::string message;
  };
  const std::string nul_name("Б\0x", 4);
  const Case cases[] = {
      {std::string("a\0b", 3), Json::object(), std::string("unknown method 'a\0b'", 20)},
      {"ramulet/callTree", Json{{"textDocument", Json{{"uri", kUri}}}, {"root", nul_name}},
       "no method named '" + nul_name + "' in the tree"},
  };
  for (const Case& c : cases) {
    Session session;
    session.Start().Open(kUri, kModule).Request(1, c.method, c.params).Stop();
    session.Run();
    EXPECT_EQ(session.Response(1)["error"]["message"], c.message);
  }
}

}  // namespace
}  // namespace ramulet::lsp
