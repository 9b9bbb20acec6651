#pragma once

#include <string_view>

#include "lsp/module_index.h"
#include "lsp/protocol.h"
#include "lsp/workspace.h"

namespace ramulet::lsp {

// LSP symbol kinds used for methods.
inline constexpr int kSymbolKindMethod = 6;
inline constexpr int kSymbolKindFunction = 12;

// At most this many call sites are listed in one item of a call hierarchy
// answer ("fromRanges"); an item with more says how many it left out in
// "fromRangesOmitted", so that an answer stays bounded whatever the module.
inline constexpr size_t kMaxFromRanges = 10000;

// Shared pieces of the answers.
int SymbolKind(const MethodSymbol& method);
Json WholeMethodRange(const MethodSymbol& method);
Json NameRange(const MethodSymbol& method);
Json CallRange(const CallSite& call);
Json LocationJson(const std::string& uri, const Json& range);
// The method named at the position: on its header's name or on a call of
// it; -1 when there is none.
int32_t MethodAt(const OpenDocument& document, const TextPosition& position);

// textDocument/documentSymbol
Json DocumentSymbols(const OpenDocument& document);
// DocumentSymbols as the JSON text Serialize gives, appended to `out`.
void AppendDocumentSymbols(const OpenDocument& document, std::string& out);
// workspace/symbol over every open document.
Json WorkspaceSymbols(const Workspace& workspace, std::u16string_view query);
// The params of textDocument/publishDiagnostics for the document.
Json Diagnostics(const OpenDocument& document);
// The same for a document the server refused (it is not open there): one
// error at its start that says why.
Json RefusalDiagnostics(const std::string& uri, const std::string& message);

// textDocument/definition, references, hover
Json Definition(const OpenDocument& document, const TextPosition& position);
Json References(const OpenDocument& document, const TextPosition& position, bool include_declaration);
Json Hover(const OpenDocument& document, const TextPosition& position);

// textDocument/prepareCallHierarchy, callHierarchy/outgoingCalls, incomingCalls
Json PrepareCallHierarchy(const OpenDocument& document, const TextPosition& position);
Json OutgoingCalls(Workspace& workspace, const Json& item);
Json IncomingCalls(Workspace& workspace, const Json& item);

// ramulet/callTree
Json CallTreePage(OpenDocument& document, const Json& params);

}  // namespace ramulet::lsp
