#pragma once

#include <cstdint>
#include <string>

#include "config/configuration.h"
#include "lsp/config_view.h"
#include "lsp/protocol.h"

namespace ramulet::lsp {

// Pieces shared by the answers across modules.

const MethodInfo& MethodOf(const Configuration& configuration, int32_t module, int32_t method);
bool ValidMethod(const Configuration& configuration, int32_t module, int32_t method);
int MethodSymbolKind(const MethodInfo& method);

// The method's name on its header line.
Json HeaderNameRange(const MethodInfo& method);
// From the start of the header line to the start of the line after the
// method's end (the module's text is not kept, so the end line's length is
// not known).
Json WholeRange(const MethodInfo& method);
// The header name of method `method` of module `module`, in its file.
Json MethodLocation(const ConfigView& view, int32_t module, int32_t method);

// Where an edge's caller names its callee: the call site's name in the
// calling module, or the handler's name in the file of a metadata or
// dialog caller.
std::string EdgeUri(const ConfigView& view, const Edge& edge);
Json EdgeRange(const Configuration& configuration, const Edge& edge);
Json EdgeLocation(const ConfigView& view, const Edge& edge);

}  // namespace ramulet::lsp
