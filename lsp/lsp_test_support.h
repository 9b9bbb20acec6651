#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <streambuf>
#include <string>
#include <thread>
#include <vector>

#include "lsp/protocol.h"
#include "lsp/workspace.h"

namespace ramulet::lsp::testing {

// A scripted client: collects framed messages, runs the server over them
// in-process, and reads back what it sent.
class Session {
 public:
  Session& Raw(const std::string& bytes);
  Session& Request(int id, const std::string& method, Json params = Json::object());
  Session& Notify(const std::string& method, Json params = Json::object());
  // initialize + initialized, asking for `rules` ("panel", the rules most
  // tests were written for, or "language"; empty: the server's default).
  Session& Start(const std::string& rules = "panel");
  Session& Open(const std::string& uri, const std::string& text, int version = 1);
  Session& Change(const std::string& uri, int version, Json changes);
  Session& Stop();  // shutdown (id 9999) + exit

  // Runs the server over everything scripted so far (once).
  void Run(size_t max_document_units = kMaxDocumentUnits);
  int exit_code() const { return exit_code_; }
  const std::vector<Json>& sent() const { return sent_; }
  // The response to request `id`; fails the test when there is none.
  Json Response(int id) const;
  Json Result(int id) const { return Response(id).value("result", Json()); }
  // Notifications of one method, in order.
  std::vector<Json> Notifications(const std::string& method) const;

 private:
  std::string input_;
  std::vector<Json> sent_;
  int exit_code_ = -1;
};

// A client whose bytes reach the server only as the test writes them: the
// server runs on a thread of its own and reads a stream that waits for
// more input, as a pipe does.
class LiveSession {
 public:
  LiveSession();
  // Ends the input and waits for the server.
  ~LiveSession();
  LiveSession(const LiveSession&) = delete;
  LiveSession& operator=(const LiveSession&) = delete;

  void Write(const std::string& bytes);
  // The responses to request `id` sent so far, waiting until there are
  // `count` of them or `timeout` has passed.
  std::vector<Json> Responses(int id, size_t count = 1, std::chrono::seconds timeout = std::chrono::seconds(10));
  // The messages sent so far.
  std::vector<Json> Sent();
  // Waits until the messages sent satisfy `ready` or `timeout` has passed;
  // returns what was sent then.
  std::vector<Json> WaitFor(const std::function<bool(const std::vector<Json>&)>& ready,
                            std::chrono::seconds timeout = std::chrono::seconds(20));
  // The notifications of `method` sent so far, waiting until there are `count`.
  std::vector<Json> Notifications(const std::string& method, size_t count = 1,
                                  std::chrono::seconds timeout = std::chrono::seconds(20));
  // initialize (with `params` merged in) and initialized; waits for the
  // answer.
  Json Initialize(Json params);
  // Waits for the end of the progress of indexing.
  void WaitIndexed();
  // Ends the input; returns the server's exit code.
  int Close();

 private:
  // The input: what was written and not read yet; reading waits for more.
  class Input : public std::streambuf {
   public:
    void Write(const std::string& bytes);
    void Close();

   protected:
    int_type underflow() override;
    std::streamsize showmanyc() override;

   private:
    std::mutex mutex_;
    std::condition_variable more_;
    std::string pending_;
    std::string reading_;
    bool closed_ = false;
  };
  // The output, kept whole, with a signal for each write.
  class Output : public std::streambuf {
   public:
    std::string Text();
    template <typename Ready>
    bool WaitUntil(Ready ready, std::chrono::seconds timeout);

   protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* bytes, std::streamsize count) override;

   private:
    std::mutex mutex_;
    std::condition_variable written_;
    std::string text_;
  };

  Input input_;
  Output output_;
  std::thread server_;
  int exit_code_ = -1;
};

// Frames one JSON-RPC message as the client sends it.
std::string RequestFrame(int id, const std::string& method, Json params = Json::object());
std::string NotificationFrame(const std::string& method, Json params = Json::object());
std::string Frame(const std::string& body);
// The messages in framed output.
std::vector<Json> ReadSent(const std::string& output);

Json TextDocumentParams(const std::string& uri);
Json PositionParams(const std::string& uri, int line, int character);
Json RangeChange(int l1, int c1, int l2, int c2, const std::string& text);
// The notifications of `method` among `sent`, their params.
std::vector<Json> NotificationsIn(const std::vector<Json>& sent, const std::string& method);

}  // namespace ramulet::lsp::testing
