#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lsp/config_view.h"
#include "lsp/protocol.h"

namespace ramulet::lsp {

// Answers across the modules of a configuration, for a position in module
// `module` (lines from 0, characters in UTF-16 units, as the analysis
// counts them). Each returns the LSP result's JSON; null where the
// protocol allows it and nothing is found.

// textDocument/definition: on a call (in-module, `Модуль.Метод(`, a bare
// call of a global export, a variable bound by ОбщийМодуль("N"), a manager
// call), on the method named in a by-name string, or on a header.
Json CrossDefinition(const ConfigView& view, int32_t module, const TextPosition& position);
// textDocument/references: every call site of the method at the position,
// in every module (and the declaration when asked).
Json CrossReferences(const ConfigView& view, int32_t module, const TextPosition& position, bool include_declaration);
// textDocument/hover: the method's module, kind, `Экспорт`, and the counts
// of in-module and cross-module callers.
Json CrossHover(const ConfigView& view, int32_t module, const TextPosition& position);

// Call hierarchy items carry {"module", "method"} in "data" (and the
// configuration's root), so that incoming and outgoing calls find their
// method in whichever module it is.
Json CrossPrepareCallHierarchy(const ConfigView& view, int32_t module, const TextPosition& position);
// Each caller once, every site in fromRanges (at most kMaxFromRanges);
// callers named outside the code (metadata, dialogs) as items of their own
// with their kind and the location of the file naming them.
Json CrossIncomingCalls(const ConfigView& view, const Json& item);
// The same answer as the JSON text Serialize gives, appended to `out`: a
// method called from thousands of places needs no tree of JSON values.
void AppendCrossIncomingCalls(const ConfigView& view, const Json& item, std::string& out);
// Callees in this and other modules, in the order of their first call.
Json CrossOutgoingCalls(const ConfigView& view, const Json& item);

// workspace/symbol: every method of the configuration matching `query`
// (prefix, substring, or word starts such as "ПЗР" for
// ПолучитьЗначениеРеквизита), best first; appended to `symbols` as
// (rank, SymbolInformation) for the caller to merge and cut at 1,000.
struct RankedSymbol {
  int32_t rank = 0;  // lower is better
  Json symbol;
};
void CrossWorkspaceSymbols(const ConfigView& view, std::u16string_view query, std::vector<RankedSymbol>& symbols);
// Ranks `name` for `query` (folded, as the user typed it): 0 prefix, 1 word
// starts, 2 substring, -1 no match.
int32_t MatchRank(std::u16string_view name, std::u16string_view query);

// The diagnostics of module `module` (an array): calls of methods another
// module does not export ("inaccessible"), members a common module does
// not have ("unknown-member"), ОбщийМодуль("N") of a module that is not
// there ("absent-module"), and a duplicate method ("duplicate-method").
Json CrossDiagnostics(const ConfigView& view, int32_t module);

// ramulet/callTree with crossModules: the tree beneath one method that
// follows calls into other modules (the same cut and node ceiling).
// params: "method" (a method of module `module` by name, or a position on a
// header or a call: then the method called), "depth", "offset", "limit" as
// the one-module tree takes them. Each node has "name" ("Module.Method"),
// "level", "hasChildren", "line", and the "uri" and "range" of its header's
// name. Throws RpcError for a method that is not there.
Json CrossCallTree(const ConfigView& view, int32_t module, const Json& params);
// ramulet/moduleGraph: {"nodes": [{"id", "name", "kind", "uri"}], "edges":
// [{"from", "to", "weight"}]}.
Json ModuleGraph(const ConfigView& view);

}  // namespace ramulet::lsp
