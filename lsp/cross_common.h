#pragma once

#include <cstdint>
#include <string>

#include "config/configuration.h"
#include "lsp/config_view.h"
#include "lsp/protocol.h"

namespace ramulet::lsp {

// Pieces shared by the answers across modules.

// JSON objects are built member by member: an initializer list makes a
// temporary array for each member, which answers of thousands of items
// (incoming calls of a busy method) pay for in time.
inline Json NewObject() { return Json(Json::value_t::object); }
inline Json::object_t& Members(Json& object) { return *object.get_ptr<Json::object_t*>(); }
Json Range(int64_t start_line, int64_t start_character, int64_t end_line, int64_t end_character);
Json Location(std::string uri, Json range);

const MethodInfo& MethodOf(const Configuration& configuration, int32_t module, int32_t method);
bool ValidMethod(const Configuration& configuration, int32_t module, int32_t method);
int MethodSymbolKind(const MethodInfo& method);
inline constexpr int kSymbolKindModule = 2;
inline constexpr int kSymbolKindEvent = 24;

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
struct EdgeSpan {
  int32_t line = 0;
  int64_t start = 0;
  int64_t end = 0;
};
EdgeSpan SpanOf(const Configuration& configuration, const Edge& edge);
Json EdgeRange(const Configuration& configuration, const Edge& edge);
Json EdgeLocation(const ConfigView& view, const Edge& edge);

// The method a call hierarchy item stands for ({"module", "method"} in its
// "data"; method kNone for a module's body). The numbers may be stale
// after an edit: when the method there no longer has the item's name, it
// is looked up by name in the same module. Not found for a caller named
// outside the code.
struct ItemPlace {
  int32_t module = kNone;
  int32_t method = kNone;  // kNone: the module's body
  bool found = false;
};
ItemPlace PlaceOfItem(const Configuration& configuration, const Json& item);

}  // namespace ramulet::lsp
