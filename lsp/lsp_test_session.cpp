#include "lsp/lsp_test_session.h"

#include <gtest/gtest.h>

#include <sstream>

#include "lsp/message_framing.h"
#include "lsp/server.h"

namespace ramulet::lsp::testing {

Session& Session::Raw(const std::string& bytes) {
  input_ += bytes;
  return *this;
}

Session& Session::Request(int id, const std::string& method, Json params) {
  std::ostringstream out;
  WriteMessage(out, Json{{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", params}}.dump());
  return Raw(out.str());
}

Session& Session::Notify(const std::string& method, Json params) {
  std::ostringstream out;
  WriteMessage(out, Json{{"jsonrpc", "2.0"}, {"method", method}, {"params", params}}.dump());
  return Raw(out.str());
}

Session& Session::Start() {
  Request(0, "initialize", Json{{"processId", nullptr}, {"capabilities", Json::object()}});
  return Notify("initialized");
}

Session& Session::Open(const std::string& uri, const std::string& text, int version) {
  return Notify("textDocument/didOpen",
                Json{{"textDocument", Json{{"uri", uri}, {"languageId", "bsl"}, {"version", version}, {"text", text}}}});
}

Session& Session::Change(const std::string& uri, int version, Json changes) {
  return Notify("textDocument/didChange",
                Json{{"textDocument", Json{{"uri", uri}, {"version", version}}}, {"contentChanges", changes}});
}

Session& Session::Stop() {
  Request(9999, "shutdown", nullptr);
  return Notify("exit");
}

void Session::Run(size_t max_document_units) {
  std::istringstream in(input_);
  std::ostringstream out;
  exit_code_ = RunServer(in, out, max_document_units);
  std::istringstream sent(out.str());
  while (true) {
    FramedMessage message = ReadMessage(sent);
    if (message.kind != FramedMessage::Kind::kMessage) {
      EXPECT_EQ(message.kind, FramedMessage::Kind::kEnd) << "the server wrote a bad frame";
      break;
    }
    sent_.push_back(Json::parse(message.body));
  }
}

Json Session::Response(int id) const {
  for (const Json& message : sent_) {
    if (message.contains("id") && message["id"] == id && !message.contains("method")) return message;
  }
  ADD_FAILURE() << "no response to request " << id;
  return Json::object();
}

std::vector<Json> Session::Notifications(const std::string& method) const {
  std::vector<Json> found;
  for (const Json& message : sent_) {
    if (message.value("method", "") == method && !message.contains("id")) found.push_back(message["params"]);
  }
  return found;
}

Json TextDocumentParams(const std::string& uri) { return Json{{"textDocument", Json{{"uri", uri}}}}; }

Json PositionParams(const std::string& uri, int line, int character) {
  return Json{{"textDocument", Json{{"uri", uri}}}, {"position", Json{{"line", line}, {"character", character}}}};
}

Json RangeChange(int l1, int c1, int l2, int c2, const std::string& text) {
  return Json{{"range", Json{{"start", Json{{"line", l1}, {"character", c1}}}, {"end", Json{{"line", l2}, {"character", c2}}}}},
              {"text", text}};
}

}  // namespace ramulet::lsp::testing
