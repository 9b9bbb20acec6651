#include "lsp/server.h"

#include <new>
#include <vector>

#include "analysis/module_analyzer.h"
#include "lsp/cross_module.h"
#include "lsp/features.h"
#include "lsp/raw_json.h"

namespace ramulet::lsp {

namespace {

constexpr int kLogError = 1;
constexpr std::string_view kDidOpen = "textDocument/didOpen";
constexpr std::string_view kDidChange = "textDocument/didChange";

bool IsValidId(const Json& id) { return id.is_string() || id.is_number_integer(); }

std::string IdKey(const Json& id) { return id.dump(); }

Json ParseLeniently(std::string text) {
  ReplaceLoneSurrogateEscapes(text);
  return Json::parse(text, nullptr, false);
}

// What a message is, told without parsing it.
struct Skimmed {
  bool cancel = false;
  std::optional<std::string> request;  // the id of a request
};

Skimmed Skim(std::string_view body) {
  Skimmed skimmed;
  std::optional<std::string_view> method = RawMember(body, "method");
  if (!method) return skimmed;
  if (*method == "\"$/cancelRequest\"") {
    skimmed.cancel = true;
    return skimmed;
  }
  std::optional<std::string_view> raw_id = RawMember(body, "id");
  if (!raw_id) return skimmed;
  Json id = ParseLeniently(std::string(*raw_id));
  if (IsValidId(id)) skimmed.request = IdKey(id);
  return skimmed;
}

Json Capabilities() {
  return Json{{"positionEncoding", "utf-16"},
              {"textDocumentSync", Json{{"openClose", true}, {"change", 2}}},
              {"documentSymbolProvider", true},
              {"callHierarchyProvider", true},
              {"definitionProvider", true},
              {"referencesProvider", true},
              {"hoverProvider", true},
              {"workspaceSymbolProvider", true},
              {"experimental", Json{{"ramuletCallTree", true}, {"ramuletModuleGraph", true}}}};
}

bool Flag(const Json& object, std::initializer_list<const char*> path) {
  const Json* at = &object;
  for (const char* name : path) {
    if (!at->is_object() || !at->contains(name)) return false;
    at = &(*at)[name];
  }
  return at->is_boolean() && at->get<bool>();
}

// initializationOptions.`name`: an array of strings.
std::vector<std::string> StringsOption(const Json& params, const char* name) {
  std::vector<std::string> strings;
  auto options = params.find("initializationOptions");
  if (options == params.end() || !options->is_object() || !options->contains(name)) return strings;
  const Json& given = (*options)[name];
  bool valid = given.is_array();
  for (const Json& item : valid ? given : Json::array()) {
    if (!item.is_string()) valid = false;
    if (valid) strings.push_back(item.get<std::string>());
  }
  if (!valid) {
    throw RpcError(error_code::kInvalidParams,
                   std::string("initializationOptions.") + name + " is an array of strings, not " + given.dump());
  }
  return strings;
}

// The rule set from initializationOptions.rules: "language" (the default)
// or "panel".
RuleSet RulesOption(const Json& params) {
  auto options = params.find("initializationOptions");
  if (options == params.end() || !options->is_object() || !options->contains("rules")) return RuleSet::kLanguage;
  const Json& rules = (*options)["rules"];
  if (rules == "language") return RuleSet::kLanguage;
  if (rules == "panel") return RuleSet::kPanel;
  throw RpcError(error_code::kInvalidParams, "initializationOptions.rules is \"language\" or \"panel\", not " +
                                                 rules.dump());
}

}  // namespace

Server::Server(Send send, size_t max_document_units, std::shared_ptr<const ModuleAnalyzer> analyzer)
    : send_(std::move(send)),
      analyzer_(analyzer ? std::move(analyzer) : std::make_shared<const ModuleAnalyzer>()),
      max_document_units_(max_document_units),
      workspace_(analyzer_),
      index_(analyzer_, [this](Json message) {
        message["jsonrpc"] = "2.0";
        SendBody(Serialize(message));
      }) {
  index_.SetDocumentText([this](const std::string& uri) -> const TextDocument* {
    auto open = workspace_.documents().find(uri);
    return open == workspace_.documents().end() ? nullptr : &open->second.text;
  });
  index_.SetOnIndexed([this] {
    Locked lock(state_mutex_);
    PublishAll();
  });
}

void Server::HandleBody(std::string body) {
  Locked lock(state_mutex_);
  bool cancelled = false;
  Json message;
  try {
    cancelled = TakeWaiting(body);
    ReplaceLoneSurrogateEscapes(body);
    message = Json::parse(body, nullptr, false);
  } catch (const std::bad_alloc&) {
    message = Json();
    TryLog("out of memory while reading a message", "");
    RefuseUnread(body, "there was not enough memory to read the message");
    return;
  }
  try {
    if (message.is_discarded()) {
      RespondError(nullptr, error_code::kParseError, "the message is not valid JSON");
      RefuseUnread(body, "the message is not valid JSON");
      return;
    }
    std::string().swap(body);  // the parsed message holds its text now
    HandleMessage(message, cancelled);
  } catch (const std::bad_alloc&) {
    TryLog("out of memory while handling a message", "");
  } catch (const RpcError& error) {
    TryLog("a message could not be handled: ", error.message());
  } catch (const std::exception& error) {
    TryLog("a message could not be handled: ", error.what());
  }
}

void Server::NoteWaiting(std::string_view body) {
  try {
    Skimmed skimmed = Skim(body);
    if (skimmed.cancel) {
      NoteCancel(body);
    } else if (skimmed.request) {
      ++waiting_[*skimmed.request];
    }
  } catch (const std::bad_alloc&) {
    // Not noted: a cancellation then finds nothing waiting, and the
    // request is answered in its turn.
  }
}

void Server::NoteCancel(std::string_view body) {
  Json message = ParseLeniently(std::string(body));
  if (!message.is_object() || !message.contains("params") || !message["params"].is_object()) return;
  const Json& params = message["params"];
  auto id = params.find("id");
  if (id == params.end() || !IsValidId(*id)) return;
  auto waiting = waiting_.find(IdKey(*id));
  if (waiting != waiting_.end()) cancelled_[waiting->first] = waiting->second;
}

bool Server::TakeWaiting(std::string_view body) {
  std::optional<std::string> key = Skim(body).request;
  if (!key) return false;
  auto waiting = waiting_.find(*key);
  if (waiting == waiting_.end()) return false;
  if (--waiting->second == 0) waiting_.erase(waiting);
  auto cancelled = cancelled_.find(*key);
  if (cancelled == cancelled_.end()) return false;
  if (--cancelled->second == 0) cancelled_.erase(cancelled);
  return true;
}

void Server::HandleBadFrame(const std::string& error) {
  Locked lock(state_mutex_);
  try {
    RespondError(nullptr, error_code::kParseError, "unreadable message: " + error);
  } catch (const std::bad_alloc&) {
    TryLog("out of memory while answering an unreadable message", "");
  }
}

void Server::HandleMessage(Json& message, bool cancelled) {
  if (!message.is_object() || message.value("jsonrpc", Json()) != "2.0") {
    Json id = message.is_object() && message.contains("id") ? message["id"] : Json();
    RespondError(IsValidId(id) ? id : Json(), error_code::kInvalidRequest, "not a JSON-RPC 2.0 message");
    return;
  }
  auto method = message.find("method");
  auto id = message.find("id");
  if (method == message.end()) return;  // a response to us; the server sends no requests
  if (!method->is_string()) {
    RespondError(id != message.end() && IsValidId(*id) ? *id : Json(), error_code::kInvalidRequest,
                 "'method' must be a string");
    return;
  }
  Json no_params = Json::object();
  auto given = message.find("params");
  Json& params = given != message.end() ? *given : no_params;
  if (id == message.end()) {
    HandleNotification(method->get<std::string>(), params);
  } else if (!IsValidId(*id)) {
    RespondError(nullptr, error_code::kInvalidRequest, "'id' must be a string or an integer");
  } else {
    HandleRequest(*id, method->get<std::string>(), params, cancelled);
  }
}

void Server::HandleRequest(const Json& id, const std::string& method, const Json& params, bool cancelled) {
  if (cancelled) {
    RespondError(id, error_code::kRequestCancelled, "the request was cancelled");
    return;
  }
  if (shutdown_) {
    RespondError(id, error_code::kInvalidRequest, "the server is shut down");
    return;
  }
  if (!initialized_ && method != "initialize") {
    RespondError(id, error_code::kServerNotInitialized, "the server is not initialized");
    return;
  }
  try {
    // What the answer reads is what the diagnostics held back say: they go
    // first.
    if (!unpublished_.empty()) PublishAll();
    if (method == "textDocument/documentSymbol") {
      RespondWithSymbols(id, workspace_.Get(DocumentUri(params)));
    } else if (method == "callHierarchy/incomingCalls" && RespondWithCrossIncoming(id, params)) {
      // answered as text
    } else {
      Respond(id, Answer(method, params));
    }
  } catch (const RpcError& error) {
    RespondError(id, error.code(), error.message());
  } catch (const std::bad_alloc&) {
    RespondError(id, error_code::kInternalError, "out of memory");
  } catch (const Json::exception& error) {
    RespondError(id, error_code::kInvalidParams, error.what());
  } catch (const std::exception& error) {
    RespondError(id, error_code::kInternalError, error.what());
  }
}

Json Server::Answer(const std::string& method, const Json& params) {
  if (method == "initialize") return Initialize(params);
  if (method == "shutdown") {
    shutdown_ = true;
    return nullptr;
  }
  if (method == "workspace/symbol") return SymbolsAnswer(params);
  if (method == "callHierarchy/outgoingCalls" || method == "callHierarchy/incomingCalls") {
    return CallsAnswer(method, params);
  }
  if (method == "ramulet/moduleGraph") return ModuleGraphAnswer(params);
  bool known = method == "textDocument/documentSymbol" || method == "textDocument/prepareCallHierarchy" ||
               method == "textDocument/definition" || method == "textDocument/references" ||
               method == "textDocument/hover" || method == "ramulet/callTree";
  if (!known) throw RpcError(error_code::kMethodNotFound, "unknown method '" + method + "'");
  Json across = CrossAnswer(method, params);
  if (!across.is_null()) return across;
  if (!workspace_.documents().count(DocumentUri(params)) && index_.Holds(DocumentUri(params))) return nullptr;
  OpenDocument& document = workspace_.Get(DocumentUri(params));
  if (method == "textDocument/documentSymbol") return DocumentSymbols(document);
  if (method == "ramulet/callTree") return CallTreePage(document, params);
  TextPosition position = PositionMember(params, "position");
  if (method == "textDocument/prepareCallHierarchy") return PrepareCallHierarchy(document, position);
  if (method == "textDocument/definition") return Definition(document, position);
  if (method == "textDocument/hover") return Hover(document, position);
  bool declaration = false;
  if (params.contains("context") && params["context"].is_object()) {
    declaration = params["context"].value("includeDeclaration", false);
  }
  return References(document, position, declaration);
}

Json Server::Initialize(const Json& params) {
  if (initialized_) throw RpcError(error_code::kInvalidRequest, "the server is already initialized");
  if (!params.is_object()) throw RpcError(error_code::kInvalidParams, "'params' must be an object");
  workspace_.SetRules(RulesOption(params));
  // The configurations are read by the language's rules; a client that asks
  // for the panel's gets the panel's answers on its open documents alone.
  if (workspace_.rules() == RuleSet::kLanguage) index_options_.folders = WorkspaceFolders(params);
  index_options_.global_modules = StringsOption(params, "globalModules");
  index_options_.exclude = StringsOption(params, "exclude");
  client_shows_progress_ = Flag(params, {"capabilities", "window", "workDoneProgress"});
  client_registers_watchers_ =
      Flag(params, {"capabilities", "workspace", "didChangeWatchedFiles", "dynamicRegistration"});
  initialized_ = true;
  return Json{{"capabilities", Capabilities()}, {"serverInfo", Json{{"name", "ramulet"}, {"version", "1.0.0"}}}};
}

void Server::HandleNotification(const std::string& method, Json& params) {
  if (method == "exit") {
    exited_ = true;
    return;
  }
  if (!initialized_ || shutdown_) return;
  try {
    if (method == "initialized") return StartIndexing();
    if (method == "workspace/didChangeWatchedFiles") return FilesChanged(params);
    if (method == "$/cancelRequest") return Cancel(params);
    if (method == "textDocument/didOpen") return DidOpen(params);
    if (method == "textDocument/didChange") return DidChange(params);
    if (method == "textDocument/didClose") {
      std::string uri = DocumentUri(params);
      workspace_.Close(uri);
      index_.DocumentClosed(uri);
      unpublished_.erase(uri);
      Notify("textDocument/publishDiagnostics", Json{{"uri", uri}, {"diagnostics", Json::array()}});
      return;
    }
    // Other notifications ($/setTrace, workspace/didChangeConfiguration,
    // didSave, ...) ask for nothing this server does.
  } catch (const RpcError& error) {
    Log(kLogError, method + ": " + error.message());
  } catch (const Json::exception& error) {
    Log(kLogError, method + ": " + error.what());
  }
}

void Server::Cancel(const Json& params) {
  const Json& id = Member(params, "id");
  if (!IsValidId(id)) throw RpcError(error_code::kInvalidParams, "'id' must be a string or an integer");
  // A request that waited when this was read is marked already
  // (NoteWaiting); any other one named here was answered or comes later.
}

void Server::DidOpen(Json& params) {
  const Json& item = Member(params, "textDocument");
  std::string uri = StringMember(item, "uri");
  // The document is taken only together with its analysis: one that
  // cannot be analysed is not open, whatever was open under its URI before.
  bool opened = Guarded(kDidOpen, uri, [&] {
    OpenDocument document = workspace_.Prepare(uri);
    document.version = IntegerMember(item, "version");
    if (!Member(item, "text").is_string()) throw RpcError(error_code::kInvalidParams, "'text' must be a string");
    Json& text = params["textDocument"]["text"];  // there: Member found it
    std::u16string units = ToUtf16(text.get_ref<const std::string&>());
    // The UTF-8 text is no longer needed: its room goes to the analysis.
    std::string().swap(text.get_ref<std::string&>());
    if (units.size() > max_document_units_) {
      throw RpcError(error_code::kInvalidParams, "the document " + uri + " is too large to analyse (" +
                                                     std::to_string(units.size()) + " characters)");
    }
    document.text.Replace(units);
    std::u16string().swap(units);
    document.Analyse();
    workspace_.Put(std::move(document));
  });
  if (!opened) return;
  index_.DocumentChanged(uri);
  PublishSoon(workspace_.Get(uri));
}

void Server::DidChange(const Json& params) {
  std::string uri = DocumentUri(params);
  OpenDocument& document = workspace_.Get(uri);
  // Changes apply one after another. One that cannot be taken closes the
  // document: the editor has made it already, so any text kept here would
  // differ from the editor's from then on.
  bool changed = Guarded(kDidChange, uri, [&] {
    const Json& changes = Member(params, "contentChanges");
    if (!changes.is_array()) throw RpcError(error_code::kInvalidParams, "'contentChanges' must be an array");
    int64_t version = IntegerMember(Member(params, "textDocument"), "version");
    for (const Json& change : changes) ApplyChange(document.text, change);
    document.version = version;
    document.Analyse();
  });
  if (!changed) return;
  index_.DocumentChanged(uri);
  PublishSoon(document);
}

template <typename Work>
bool Server::Guarded(std::string_view method, const std::string& uri, Work work) {
  try {
    work();
    return true;
  } catch (const RpcError& error) {
    Refuse(method, uri, error.message());
  } catch (const std::bad_alloc&) {
    Refuse(method, uri, "there is not enough memory to analyse the document " + uri);
  } catch (const std::exception& error) {
    Refuse(method, uri, error.what());
  }
  return false;
}

void Server::Refuse(std::string_view method, const std::string& uri, std::string_view reason) {
  workspace_.Close(uri);
  index_.DocumentClosed(uri);
  unpublished_.erase(uri);
  std::string message = std::string(reason) + "; " + uri + " is closed on the server until the editor opens it again";
  Log(kLogError, std::string(method) + ": " + message);
  Notify("textDocument/publishDiagnostics", RefusalDiagnostics(uri, message));
}

void Server::RefuseUnread(std::string_view body, std::string_view why) noexcept {
  try {
    if (!initialized_ || shutdown_) return;
    std::optional<std::string_view> method = RawMember(body, "method");
    auto is = [&](std::string_view name) {
      std::string quoted = "\"" + std::string(name) + "\"";
      return method ? *method == quoted : body.find(quoted) != std::string_view::npos;
    };
    bool open = is(kDidOpen);
    if (!open && !is(kDidChange)) return;
    std::string reason = std::string(open ? "the document could not be opened: " : "the change could not be read: ");
    reason += why;
    std::optional<std::string_view> raw_uri = FirstRawStringMember(body, "uri");
    Json uri = raw_uri ? ParseLeniently(std::string(*raw_uri)) : Json();
    if (uri.is_string()) {
      const std::string& name = uri.get_ref<const std::string&>();
      if (open || workspace_.documents().count(name) > 0) Refuse(open ? kDidOpen : kDidChange, name, reason);
      return;
    }
    if (open) return;
    // Whose change it was cannot be told: no open document can be trusted.
    std::vector<std::string> uris;
    for (const auto& [open_uri, document] : workspace_.documents()) uris.push_back(open_uri);
    for (const std::string& open_uri : uris) Refuse(kDidChange, open_uri, reason);
  } catch (...) {
    // Without memory even for this, no document can be trusted to match
    // the editor's.
    for (const auto& [open_uri, document] : workspace_.documents()) {
      try {
        index_.DocumentClosed(open_uri);
      } catch (...) {
        // The module is read again from its file at the next answer.
      }
    }
    workspace_.CloseAll();
    unpublished_.clear();
    TryLog("out of memory: every document is closed on the server until the editor opens it again", "");
  }
}

void Server::ApplyChange(TextDocument& text, const Json& change) const {
  std::u16string units = ToUtf16(StringMember(change, "text"));
  bool ranged = change.contains("range");
  // An edit can grow the text by at most what it inserts.
  if ((ranged ? text.Size() : 0) + units.size() > max_document_units_) {
    throw RpcError(error_code::kInvalidParams, "the change makes the document too large to analyse");
  }
  if (!ranged) {
    text.Replace(units);
    return;
  }
  Status applied = text.Edit(RangeMember(change, "range"), units);
  if (!applied.ok()) throw RpcError(error_code::kInvalidParams, "the change was not applied: " + applied.message());
}

void Server::Publish(const OpenDocument& document) {
  Json params = Diagnostics(document);
  if (auto located = index_.Locate(document.uri)) {
    // The module's own duplicate method is there already.
    for (Json& diagnostic : CrossDiagnostics(located->view, located->module)) {
      if (diagnostic.value("code", Json()) != "duplicate-method") params["diagnostics"].push_back(std::move(diagnostic));
    }
  }
  unpublished_.erase(document.uri);
  Notify("textDocument/publishDiagnostics", std::move(params));
}

void Server::PublishSoon(const OpenDocument& document) {
  if (index_.Holds(document.uri)) {
    unpublished_.insert(document.uri);
  } else {
    Publish(document);
  }
}

void Server::PublishAll() {
  for (const auto& [uri, document] : workspace_.documents()) {
    if (index_.Holds(uri)) unpublished_.insert(uri);
  }
  std::set<std::string> uris = unpublished_;
  for (const std::string& uri : uris) {
    auto open = workspace_.documents().find(uri);
    try {
      if (open != workspace_.documents().end()) Publish(open->second);
    } catch (const std::exception& error) {
      TryLog("the diagnostics of " + uri + " could not be published: ", error.what());
    }
  }
  unpublished_.clear();
}

void Server::Idle() {
  Locked lock(state_mutex_);
  if (unpublished_.empty() || shutdown_) return;
  try {
    PublishAll();
  } catch (const std::bad_alloc&) {
    TryLog("out of memory while publishing diagnostics", "");
  }
}

void Server::SendBody(const std::string& body) {
  Locked lock(send_mutex_);
  send_(body);
}

void Server::Respond(const Json& id, Json result) {
  SendBody(Serialize(Json{{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}}));
}

// The outline is written straight into the response, the largest answer
// the server gives: one string, no tree of JSON values.
void Server::RespondWithSymbols(const Json& id, const OpenDocument& document) {
  std::string body = "{\"id\":" + Serialize(id) + ",\"jsonrpc\":\"2.0\",\"result\":";
  AppendDocumentSymbols(document, body);
  body += '}';
  SendBody(body);
}

// Incoming calls across modules may list thousands of sites: they too are
// written straight into the response.
bool Server::RespondWithCrossIncoming(const Json& id, const Json& params) {
  if (!params.is_object() || !params.contains("item") || !params["item"].is_object()) return false;
  const Json& item = params["item"];
  if (!item.contains("data") || !item["data"].is_object()) return false;
  const Json& data = item["data"];
  if (!data.contains("root") || !data["root"].is_string()) return false;
  std::optional<ConfigView> view = index_.ViewOfRoot(data["root"].get<std::string>());
  if (!view) throw RpcError(error_code::kInvalidParams, "the item's configuration is not indexed");
  std::string body = "{\"id\":" + Serialize(id) + ",\"jsonrpc\":\"2.0\",\"result\":";
  AppendCrossIncomingCalls(*view, item, body);
  body += '}';
  SendBody(body);
  return true;
}

void Server::RespondError(const Json& id, int code, const std::string& message) {
  SendBody(Serialize(Json{{"jsonrpc", "2.0"}, {"id", id}, {"error", Json{{"code", code}, {"message", message}}}}));
}

void Server::Notify(const std::string& method, Json params) {
  SendBody(Serialize(Json{{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}}));
}

void Server::Log(int type, const std::string& message) {
  Notify("window/logMessage", Json{{"type", type}, {"message", message}});
}

void Server::TryLog(std::string_view prefix, std::string_view detail) noexcept {
  try {
    Log(kLogError, std::string(prefix) + std::string(detail));
  } catch (...) {
    // Without the memory to say it, there is nobody else to tell.
  }
}

}  // namespace ramulet::lsp
