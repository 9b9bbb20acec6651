#include "lsp/server.h"

#include <new>

#include "lsp/features.h"

namespace ramulet::lsp {

namespace {

constexpr int kLogError = 1;
constexpr size_t kMaxCancelled = 1024;

bool IsValidId(const Json& id) { return id.is_string() || id.is_number_integer(); }

std::string IdKey(const Json& id) { return id.dump(); }

Json Capabilities() {
  return Json{{"positionEncoding", "utf-16"},
              {"textDocumentSync", Json{{"openClose", true}, {"change", 2}}},
              {"documentSymbolProvider", true},
              {"callHierarchyProvider", true},
              {"definitionProvider", true},
              {"referencesProvider", true},
              {"hoverProvider", true},
              {"workspaceSymbolProvider", true},
              {"experimental", Json{{"ramuletCallTree", true}}}};
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

void Server::HandleBody(std::string_view body) {
  Json message = Json::parse(body, nullptr, false);
  if (message.is_discarded()) {
    RespondError(nullptr, error_code::kParseError, "the message is not valid JSON");
    return;
  }
  try {
    HandleMessage(message);
  } catch (const std::bad_alloc&) {
    Log(kLogError, "out of memory while handling a message");
  } catch (const std::exception& error) {
    Log(kLogError, std::string("a message could not be handled: ") + error.what());
  }
}

void Server::NoteWaiting(std::string_view body) {
  // Only a cancellation is looked at before its turn; it is cheap to spot.
  if (body.find("$/cancelRequest") == std::string_view::npos) return;
  Json message = Json::parse(body, nullptr, false);
  if (!message.is_object() || message.value("method", Json()) != "$/cancelRequest") return;
  auto params = message.find("params");
  if (params == message.end() || !params->is_object() || !params->contains("id")) return;
  const Json& id = (*params)["id"];
  if (IsValidId(id)) Cancelled(id);
}

void Server::Cancelled(const Json& id) {
  if (cancelled_.size() >= kMaxCancelled) cancelled_.clear();
  cancelled_.insert(IdKey(id));
}

void Server::HandleBadFrame(const std::string& error) {
  RespondError(nullptr, error_code::kParseError, "unreadable message: " + error);
}

void Server::HandleMessage(const Json& message) {
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
  static const Json kNoParams = Json::object();
  auto given = message.find("params");
  const Json& params = given != message.end() ? *given : kNoParams;
  if (id == message.end()) {
    HandleNotification(method->get<std::string>(), params);
  } else if (!IsValidId(*id)) {
    RespondError(nullptr, error_code::kInvalidRequest, "'id' must be a string or an integer");
  } else {
    HandleRequest(*id, method->get<std::string>(), params);
  }
}

void Server::HandleRequest(const Json& id, const std::string& method, const Json& params) {
  if (cancelled_.erase(IdKey(id)) > 0) {
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
    Respond(id, Answer(method, params));
  } catch (const RpcError& error) {
    RespondError(id, error.code(), error.what());
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
  if (method == "workspace/symbol") return WorkspaceSymbols(workspace_, ToUtf16(StringMember(params, "query")));
  if (method == "callHierarchy/outgoingCalls") return OutgoingCalls(workspace_, Member(params, "item"));
  if (method == "callHierarchy/incomingCalls") return IncomingCalls(workspace_, Member(params, "item"));
  bool known = method == "textDocument/documentSymbol" || method == "textDocument/prepareCallHierarchy" ||
               method == "textDocument/definition" || method == "textDocument/references" ||
               method == "textDocument/hover" || method == "ramulet/callTree";
  if (!known) throw RpcError(error_code::kMethodNotFound, "unknown method '" + method + "'");
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
  initialized_ = true;
  return Json{{"capabilities", Capabilities()}, {"serverInfo", Json{{"name", "ramulet"}, {"version", "1.0.0"}}}};
}

void Server::HandleNotification(const std::string& method, const Json& params) {
  if (method == "exit") {
    exited_ = true;
    return;
  }
  if (!initialized_ || shutdown_) return;
  try {
    if (method == "initialized") return;
    if (method == "$/cancelRequest") return Cancel(params);
    if (method == "textDocument/didOpen") return DidOpen(params);
    if (method == "textDocument/didChange") return DidChange(params);
    if (method == "textDocument/didClose") {
      std::string uri = DocumentUri(params);
      workspace_.Close(uri);
      Notify("textDocument/publishDiagnostics", Json{{"uri", uri}, {"diagnostics", Json::array()}});
      return;
    }
    // Other notifications ($/setTrace, workspace/didChangeConfiguration,
    // didSave, ...) ask for nothing this server does.
  } catch (const RpcError& error) {
    Log(kLogError, method + ": " + error.what());
  } catch (const Json::exception& error) {
    Log(kLogError, method + ": " + error.what());
  }
}

void Server::Cancel(const Json& params) {
  const Json& id = Member(params, "id");
  if (!IsValidId(id)) throw RpcError(error_code::kInvalidParams, "'id' must be a string or an integer");
  // A request still waiting was marked when this arrived (NoteWaiting);
  // this one names a request answered already or not read yet.
  Cancelled(id);
}

void Server::DidOpen(const Json& params) {
  const Json& item = Member(params, "textDocument");
  std::string uri = StringMember(item, "uri");
  std::string text = StringMember(item, "text");
  int64_t version = IntegerMember(item, "version");
  std::u16string units = ToUtf16(text);
  if (units.size() > max_document_units_) {
    throw RpcError(error_code::kInvalidParams, "the document " + uri + " is too large to analyse (" +
                                                   std::to_string(units.size()) + " characters)");
  }
  OpenDocument& document = workspace_.Open(uri);
  document.text.Replace(units);
  document.version = version;
  document.Analyse();
  Publish(document);
}

void Server::DidChange(const Json& params) {
  OpenDocument& document = workspace_.Get(DocumentUri(params));
  const Json& changes = Member(params, "contentChanges");
  if (!changes.is_array()) throw RpcError(error_code::kInvalidParams, "'contentChanges' must be an array");
  int64_t version = IntegerMember(Member(params, "textDocument"), "version");
  if (changes.size() == 1) {
    // One change (what clients send while typing) is applied in place: an
    // edit that cannot be applied changes nothing.
    ApplyChange(document.text, changes[0]);
  } else {
    // Changes apply one after another; one that cannot be applied leaves
    // the text as it was before this notification.
    TextDocument edited = document.text;
    for (const Json& change : changes) ApplyChange(edited, change);
    document.text = std::move(edited);
  }
  document.version = version;
  document.Analyse();
  Publish(document);
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

void Server::Publish(const OpenDocument& document) { Notify("textDocument/publishDiagnostics", Diagnostics(document)); }

void Server::Respond(const Json& id, Json result) {
  send_(Serialize(Json{{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}}));
}

void Server::RespondError(const Json& id, int code, const std::string& message) {
  send_(Serialize(Json{{"jsonrpc", "2.0"}, {"id", id}, {"error", Json{{"code", code}, {"message", message}}}}));
}

void Server::Notify(const std::string& method, Json params) {
  send_(Serialize(Json{{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}}));
}

void Server::Log(int type, const std::string& message) {
  Notify("window/logMessage", Json{{"type", type}, {"message", message}});
}

}  // namespace ramulet::lsp
