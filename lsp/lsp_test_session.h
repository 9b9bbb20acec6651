#pragma once

#include <string>
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
  // initialize + initialized.
  Session& Start();
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

Json TextDocumentParams(const std::string& uri);
Json PositionParams(const std::string& uri, int line, int character);
Json RangeChange(int l1, int c1, int l2, int c2, const std::string& text);

}  // namespace ramulet::lsp::testing
