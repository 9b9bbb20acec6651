#pragma once

#include <functional>
#include <istream>
#include <ostream>
#include <map>
#include <string>
#include <string_view>

#include <set>

#include "lsp/protocol.h"
#include "lsp/thread_guard.h"
#include "lsp/workspace.h"
#include "lsp/workspace_index.h"

namespace ramulet::lsp {

// The language server: takes one message at a time and sends responses and
// notifications through `send` (each a complete JSON text, unframed).
// Nothing it is given makes it throw; every fault becomes an error response
// or a log message.
class Server {
 public:
  using Send = std::function<void(const std::string& body)>;
  // `analyzer` may be shared with other servers; by default the server
  // makes its own.
  // `send` is called from one thread at a time, but not always the same
  // one: the workspace is indexed on a thread of its own.
  explicit Server(Send send, size_t max_document_units = kMaxDocumentUnits,
                  std::shared_ptr<const ModuleAnalyzer> analyzer = nullptr);

  void HandleBody(std::string body);
  // Nothing waits to be handled: the diagnostics held back while edits
  // came one after another are published now.
  void Idle();
  // A message that has been read and waits for its turn, seen in the order
  // of arrival: a request is counted as waiting, and a cancellation marks
  // the requests of its id that wait at that moment, so that they are
  // answered as cancelled without being worked on. A cancellation of a
  // request answered already, or not read yet, has no effect.
  void NoteWaiting(std::string_view body);
  // A frame the reader could not use.
  void HandleBadFrame(const std::string& error);

  // True once `exit` arrived; the process then ends with exit_code().
  bool exited() const { return exited_; }
  // 0 after `shutdown`, 1 without, as for the client closing the input.
  int exit_code() const { return shutdown_ ? 0 : 1; }

 private:
  // The message is taken apart as it is handled (a document's text moves
  // out of it), so it is not const.
  void HandleMessage(Json& message, bool cancelled);
  void HandleRequest(const Json& id, const std::string& method, const Json& params, bool cancelled);
  void HandleNotification(const std::string& method, Json& params);
  Json Answer(const std::string& method, const Json& params);

  Json Initialize(const Json& params);
  void DidOpen(Json& params);
  void DidChange(const Json& params);
  void ApplyChange(TextDocument& text, const Json& change) const;
  void Cancel(const Json& params);
  void NoteCancel(std::string_view body);
  // Whether the request in `body` is one that was cancelled while it
  // waited; it waits no more.
  bool TakeWaiting(std::string_view body);
  // Runs `work`, which opens or changes `uri`; when it fails, the document
  // is refused (see Refuse). True when it succeeded.
  template <typename Work>
  bool Guarded(std::string_view method, const std::string& uri, Work work);
  // Closes the document and says why: a log message and a diagnostic on
  // it. The editor holds text that this server does not have, and every
  // answer about it would be wrong; "not open" errors are not.
  void Refuse(std::string_view method, const std::string& uri, std::string_view reason);
  // A didOpen or didChange that could not be read (`why`): its document is
  // refused; for a change that does not tell which, every open document.
  void RefuseUnread(std::string_view body, std::string_view why) noexcept;
  void Publish(const OpenDocument& document);
  // Publishes now, or once the server is idle when the document is a
  // module of an indexed configuration (its diagnostics need the
  // references resolved again).
  void PublishSoon(const OpenDocument& document);
  void PublishAll();

  // The answers across modules (cross_routing.cpp), null when the request
  // is not about a module of an indexed configuration.
  Json CrossAnswer(const std::string& method, const Json& params);
  Json CallsAnswer(const std::string& method, const Json& params);
  Json SymbolsAnswer(const Json& params);
  Json ModuleGraphAnswer(const Json& params);
  void StartIndexing();
  void FilesChanged(const Json& params);

  void Respond(const Json& id, Json result);
  void RespondWithSymbols(const Json& id, const OpenDocument& document);
  // Answers callHierarchy/incomingCalls of an item prepared across modules;
  // false for any other item.
  bool RespondWithCrossIncoming(const Json& id, const Json& params);
  void RespondError(const Json& id, int code, const std::string& message);
  void Notify(const std::string& method, Json params);
  void SendBody(const std::string& body);
  void Log(int type, const std::string& message);
  // A log message when memory allows; nothing more can be said otherwise.
  void TryLog(std::string_view prefix, std::string_view detail) noexcept;

  Send send_;
  // Held while a message is handled, and by the indexing thread when it
  // publishes; sending has a lock of its own.
  Mutex state_mutex_;
  Mutex send_mutex_;
  std::shared_ptr<const ModuleAnalyzer> analyzer_;
  // Documents larger than this (in UTF-16 code units) are not taken.
  size_t max_document_units_;
  Workspace workspace_;
  bool initialized_ = false;
  bool shutdown_ = false;
  bool exited_ = false;
  // Requests read and not handled yet, by id (JSON text), and how many of
  // the first of them were cancelled while they waited.
  std::map<std::string, size_t> waiting_;
  std::map<std::string, size_t> cancelled_;
  // Documents whose diagnostics wait for the server to be idle.
  std::set<std::string> unpublished_;
  // What initialize asked for; indexing starts on `initialized`.
  WorkspaceIndex::Options index_options_;
  bool client_shows_progress_ = false;
  bool client_registers_watchers_ = false;
  bool indexing_started_ = false;
  // Last: its thread, which calls back into the server, ends first.
  WorkspaceIndex index_;
};

// Serves the base protocol on `in` and `out` until `exit` or the end of the
// input; returns the process's exit code. Messages are read ahead of the
// one worked on only as far as they have arrived, within LookAheadLimits.
int RunServer(std::istream& in, std::ostream& out, size_t max_document_units = kMaxDocumentUnits,
              std::shared_ptr<const ModuleAnalyzer> analyzer = nullptr);

}  // namespace ramulet::lsp
