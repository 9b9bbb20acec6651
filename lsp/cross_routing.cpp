// Where the server's answers come from once the workspace is indexed: a
// module of an indexed configuration is answered across modules, any
// other document as one module.
#include <algorithm>

#include "lsp/cross_module.h"
#include "lsp/features.h"
#include "lsp/server.h"
#include "platform/text.h"

namespace ramulet::lsp {

namespace {

constexpr size_t kMaxWorkspaceSymbols = 1000;
// One-module symbols that the ranking does not place come after those it does.
constexpr int32_t kUnrankedSymbol = 3;

// Where a symbol is, to find the same method given twice.
std::string SymbolKey(const Json& symbol) {
  const Json& location = symbol.value("location", Json::object());
  return location.value("uri", "") + "#" + location.value("range", Json::object()).value("start", Json()).dump() +
         "#" + symbol.value("name", "");
}

}  // namespace

Json Server::CrossAnswer(const std::string& method, const Json& params) {
  if (method == "textDocument/documentSymbol") return nullptr;
  if (method == "ramulet/callTree" && !(params.contains("crossModules") && params["crossModules"] == true)) {
    return nullptr;
  }
  const std::string uri = DocumentUri(params);
  std::optional<WorkspaceIndex::Located> located = index_.Locate(uri);
  if (!located) return nullptr;
  if (method == "ramulet/callTree") return CrossCallTree(located->view, located->module, params);
  TextPosition position = PositionMember(params, "position");
  auto open = workspace_.documents().find(uri);
  if (open != workspace_.documents().end()) position = open->second.CheckPosition(position);
  if (method == "textDocument/definition") return CrossDefinition(located->view, located->module, position);
  if (method == "textDocument/hover") return CrossHover(located->view, located->module, position);
  if (method == "textDocument/prepareCallHierarchy") {
    return CrossPrepareCallHierarchy(located->view, located->module, position);
  }
  bool declaration = false;
  if (params.contains("context") && params["context"].is_object()) {
    declaration = params["context"].value("includeDeclaration", false);
  }
  return CrossReferences(located->view, located->module, position, declaration);
}

// An item prepared across modules names its configuration's root in its
// data; any other is one of an open document's.
Json Server::CallsAnswer(const std::string& method, const Json& params) {
  const Json& item = Member(params, "item");
  const bool incoming = method == "callHierarchy/incomingCalls";
  const Json* data = item.is_object() && item.contains("data") ? &item["data"] : nullptr;
  if (data != nullptr && data->is_object() && data->contains("root") && (*data)["root"].is_string()) {
    std::optional<ConfigView> view = index_.ViewOfRoot((*data)["root"].get<std::string>());
    if (!view) throw RpcError(error_code::kInvalidParams, "the item's configuration is not indexed");
    return incoming ? CrossIncomingCalls(*view, item) : CrossOutgoingCalls(*view, item);
  }
  return incoming ? IncomingCalls(workspace_, item) : OutgoingCalls(workspace_, item);
}

Json Server::SymbolsAnswer(const Json& params) {
  const std::u16string query = ToUtf16(StringMember(params, "query"));
  std::vector<RankedSymbol> ranked;
  for (const ConfigView& view : index_.Views()) CrossWorkspaceSymbols(view, query, ranked);
  std::set<std::string> seen;
  for (const RankedSymbol& symbol : ranked) seen.insert(SymbolKey(symbol.symbol));
  for (Json& symbol : WorkspaceSymbols(workspace_, query)) {
    if (seen.count(SymbolKey(symbol)) > 0) continue;
    int32_t rank = MatchRank(ToUtf16(symbol.value("name", "")), query);
    ranked.push_back(RankedSymbol{rank < 0 ? kUnrankedSymbol : rank, std::move(symbol)});
  }
  std::stable_sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) { return a.rank < b.rank; });
  Json symbols = Json::array();
  for (size_t i = 0; i < ranked.size() && i < kMaxWorkspaceSymbols; ++i) symbols.push_back(std::move(ranked[i].symbol));
  return symbols;
}

// The graph of the configuration of the document given, or of the first
// configuration; an empty one while none is indexed.
Json Server::ModuleGraphAnswer(const Json& params) {
  if (params.is_object() && params.contains("textDocument")) {
    const std::string uri = DocumentUri(params);
    if (auto located = index_.Locate(uri)) return ModuleGraph(located->view);
    throw RpcError(error_code::kInvalidParams, uri + " is not a module of an indexed configuration");
  }
  std::vector<ConfigView> views = index_.Views();
  if (views.empty()) return Json{{"nodes", Json::array()}, {"edges", Json::array()}};
  return ModuleGraph(views.front());
}

void Server::StartIndexing() {
  if (indexing_started_) return;
  indexing_started_ = true;
  if (client_registers_watchers_ && !index_options_.folders.empty()) {
    Json watchers = Json::array();
    for (const char* glob : {"**/*.bsl", "**/*.os", "**/*.1s", "**/*.xml", "**/*.mdo", "**/*.frm", "**/*.MD"}) {
      watchers.push_back(Json{{"globPattern", glob}});
    }
    Json registration{{"id", "ramulet/watchedFiles"},
                      {"method", "workspace/didChangeWatchedFiles"},
                      {"registerOptions", Json{{"watchers", watchers}}}};
    SendBody(Serialize(Json{{"jsonrpc", "2.0"},
                            {"id", "ramulet/registerWatchers"},
                            {"method", "client/registerCapability"},
                            {"params", Json{{"registrations", Json::array({registration})}}}}));
  }
  index_.Start(index_options_, client_shows_progress_);
}

void Server::FilesChanged(const Json& params) {
  if (!index_.FilesChanged(params)) return;
  for (const auto& [uri, document] : workspace_.documents()) {
    if (index_.Holds(uri)) unpublished_.insert(uri);
  }
}

}  // namespace ramulet::lsp
