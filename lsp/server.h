#pragma once

#include <functional>
#include <istream>
#include <ostream>
#include <set>
#include <string>
#include <string_view>

#include "lsp/protocol.h"
#include "lsp/workspace.h"

namespace ramulet::lsp {

// The language server: takes one message at a time and sends responses and
// notifications through `send` (each a complete JSON text, unframed).
// Nothing it is given makes it throw; every fault becomes an error response
// or a log message.
class Server {
 public:
  using Send = std::function<void(const std::string& body)>;
  explicit Server(Send send, size_t max_document_units = kMaxDocumentUnits)
      : send_(std::move(send)), max_document_units_(max_document_units) {}

  void HandleBody(std::string_view body);
  // A message that has arrived and waits for its turn: a cancellation
  // takes effect at once, so the request it names is not worked on.
  void NoteWaiting(std::string_view body);
  // A frame the reader could not use.
  void HandleBadFrame(const std::string& error);

  // True once `exit` arrived; the process then ends with exit_code().
  bool exited() const { return exited_; }
  // 0 after `shutdown`, 1 without, as for the client closing the input.
  int exit_code() const { return shutdown_ ? 0 : 1; }

 private:
  void HandleMessage(const Json& message);
  void HandleRequest(const Json& id, const std::string& method, const Json& params);
  void HandleNotification(const std::string& method, const Json& params);
  Json Answer(const std::string& method, const Json& params);

  Json Initialize(const Json& params);
  void DidOpen(const Json& params);
  void DidChange(const Json& params);
  void ApplyChange(TextDocument& text, const Json& change) const;
  void Cancel(const Json& params);
  void Cancelled(const Json& id);
  void Publish(const OpenDocument& document);

  void Respond(const Json& id, Json result);
  void RespondError(const Json& id, int code, const std::string& message);
  void Notify(const std::string& method, Json params);
  void Log(int type, const std::string& message);

  Send send_;
  // Documents larger than this (in UTF-16 code units) are not taken.
  size_t max_document_units_;
  Workspace workspace_;
  bool initialized_ = false;
  bool shutdown_ = false;
  bool exited_ = false;
  // Requests cancelled before their turn; answered as cancelled.
  std::set<std::string> cancelled_;
};

// Serves the base protocol on `in` and `out` until `exit` or the end of the
// input; returns the process's exit code.
int RunServer(std::istream& in, std::ostream& out, size_t max_document_units = kMaxDocumentUnits);

}  // namespace ramulet::lsp
