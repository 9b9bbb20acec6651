#include "lsp/lsp_test_support.h"

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
  return Raw(RequestFrame(id, method, std::move(params)));
}

Session& Session::Notify(const std::string& method, Json params) {
  return Raw(NotificationFrame(method, std::move(params)));
}

Session& Session::Start(const std::string& rules) {
  Json params{{"processId", nullptr}, {"capabilities", Json::object()}};
  if (!rules.empty()) params["initializationOptions"] = Json{{"rules", rules}};
  Request(0, "initialize", std::move(params));
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
  sent_ = ReadSent(out.str());
}

std::vector<Json> NotificationsIn(const std::vector<Json>& sent, const std::string& method) {
  std::vector<Json> found;
  for (const Json& message : sent) {
    if (message.value("method", "") == method && !message.contains("id")) found.push_back(message["params"]);
  }
  return found;
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

LiveSession::LiveSession() {
  server_ = std::thread([this] {
    std::istream in(&input_);
    std::ostream out(&output_);
    exit_code_ = RunServer(in, out);
  });
}

LiveSession::~LiveSession() { Close(); }

void LiveSession::Write(const std::string& bytes) { input_.Write(bytes); }

std::vector<Json> LiveSession::Responses(int id, size_t count, std::chrono::seconds timeout) {
  auto responses = [id](const std::string& output) {
    std::vector<Json> found;
    for (const Json& message : ReadSent(output)) {
      if (message.value("id", Json()) == id && !message.contains("method")) found.push_back(message);
    }
    return found;
  };
  output_.WaitUntil([&](const std::string& output) { return responses(output).size() >= count; }, timeout);
  return responses(output_.Text());
}

std::vector<Json> LiveSession::Sent() { return ReadSent(output_.Text()); }

std::vector<Json> LiveSession::WaitFor(const std::function<bool(const std::vector<Json>&)>& ready,
                                       std::chrono::seconds timeout) {
  output_.WaitUntil([&](const std::string& output) { return ready(ReadSent(output)); }, timeout);
  return Sent();
}

std::vector<Json> LiveSession::Notifications(const std::string& method, size_t count, std::chrono::seconds timeout) {
  return NotificationsIn(
      WaitFor([&](const std::vector<Json>& sent) { return NotificationsIn(sent, method).size() >= count; }, timeout),
      method);
}

Json LiveSession::Initialize(Json params) {
  Json merged{{"processId", nullptr}, {"capabilities", Json::object()}};
  merged.update(params);
  Write(RequestFrame(0, "initialize", merged));
  Write(NotificationFrame("initialized"));
  std::vector<Json> responses = Responses(0);
  return responses.empty() ? Json() : responses.front();
}

void LiveSession::WaitIndexed() {
  auto ended = [](const std::vector<Json>& sent) {
    for (const Json& progress : NotificationsIn(sent, "$/progress")) {
      if (progress["value"].value("kind", "") == "end") return true;
    }
    return false;
  };
  EXPECT_TRUE(ended(WaitFor(ended))) << "the indexing did not end";
}

int LiveSession::Close() {
  input_.Close();
  if (server_.joinable()) server_.join();
  return exit_code_;
}

void LiveSession::Input::Write(const std::string& bytes) {
  std::lock_guard lock(mutex_);
  pending_ += bytes;
  more_.notify_all();
}

void LiveSession::Input::Close() {
  std::lock_guard lock(mutex_);
  closed_ = true;
  more_.notify_all();
}

LiveSession::Input::int_type LiveSession::Input::underflow() {
  std::unique_lock lock(mutex_);
  more_.wait(lock, [this] { return !pending_.empty() || closed_; });
  if (pending_.empty()) return traits_type::eof();
  reading_ = std::move(pending_);
  pending_.clear();
  setg(reading_.data(), reading_.data(), reading_.data() + reading_.size());
  return traits_type::to_int_type(reading_[0]);
}

std::streamsize LiveSession::Input::showmanyc() {
  std::lock_guard lock(mutex_);
  return static_cast<std::streamsize>(pending_.size());
}

std::string LiveSession::Output::Text() {
  std::lock_guard lock(mutex_);
  return text_;
}

template <typename Ready>
bool LiveSession::Output::WaitUntil(Ready ready, std::chrono::seconds timeout) {
  std::unique_lock lock(mutex_);
  return written_.wait_for(lock, timeout, [&] { return ready(text_); });
}

LiveSession::Output::int_type LiveSession::Output::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  char byte = traits_type::to_char_type(c);
  xsputn(&byte, 1);
  return c;
}

std::streamsize LiveSession::Output::xsputn(const char* bytes, std::streamsize count) {
  std::lock_guard lock(mutex_);
  text_.append(bytes, static_cast<size_t>(count));
  written_.notify_all();
  return count;
}

std::string Frame(const std::string& body) {
  std::ostringstream out;
  WriteMessage(out, body);
  return out.str();
}

std::string RequestFrame(int id, const std::string& method, Json params) {
  return Frame(Json{{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", std::move(params)}}.dump());
}

std::string NotificationFrame(const std::string& method, Json params) {
  return Frame(Json{{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}}.dump());
}

std::vector<Json> ReadSent(const std::string& output) {
  std::istringstream sent(output);
  std::vector<Json> messages;
  while (true) {
    FramedMessage message = ReadMessage(sent);
    if (message.kind != FramedMessage::Kind::kMessage) {
      EXPECT_EQ(message.kind, FramedMessage::Kind::kEnd) << "the server wrote a bad frame";
      return messages;
    }
    messages.push_back(Json::parse(message.body));
  }
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
