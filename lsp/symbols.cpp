#include "platform/text.h"
#include "lsp/features.h"

namespace ramulet::lsp {

int SymbolKind(const MethodSymbol& method) {
  return method.kind == MethodKind::kFunction ? kSymbolKindFunction : kSymbolKindMethod;
}

// From the start of the header line to the end of the method's end line.
Json WholeMethodRange(const MethodSymbol& method) {
  return RangeJson(method.header_line, 0, method.end_line, method.end_character);
}

Json NameRange(const MethodSymbol& method) {
  return RangeJson(method.header_line, method.name_start, method.header_line, method.name_end);
}

Json CallRange(const CallSite& call) { return RangeJson(call.line, call.start, call.line, call.end); }

Json LocationJson(const std::string& uri, const Json& range) { return Json{{"uri", uri}, {"range", range}}; }

int32_t MethodAt(const OpenDocument& document, const TextPosition& position) {
  TextPosition at = document.CheckPosition(position);
  auto line = static_cast<int32_t>(at.line);
  auto character = static_cast<int32_t>(at.character);
  int32_t header = document.index->HeaderNameAt(line, character);
  if (header >= 0) return header;
  std::optional<CallSite> call = document.index->CallAt(line, character);
  return call ? call->callee : -1;
}

Json DocumentSymbols(const OpenDocument& document) {
  Json symbols = Json::array();
  for (const MethodSymbol& method : document.index->methods()) {
    symbols.push_back(Json{{"name", ToUtf8(method.name)},
                           {"kind", SymbolKind(method)},
                           {"range", WholeMethodRange(method)},
                           {"selectionRange", NameRange(method)}});
  }
  return symbols;
}

namespace {

void AppendPosition(int32_t line, int32_t character, std::string& out) {
  out += "{\"character\":";
  out += std::to_string(character);
  out += ",\"line\":";
  out += std::to_string(line);
  out += '}';
}

void AppendRange(int32_t start_line, int32_t start_character, int32_t end_line, int32_t end_character,
                 std::string& out) {
  out += "{\"end\":";
  AppendPosition(end_line, end_character, out);
  out += ",\"start\":";
  AppendPosition(start_line, start_character, out);
  out += '}';
}

}  // namespace

// Written as the JSON library writes DocumentSymbols (members in name
// order, no spaces), symbol after symbol into one string: a document of
// hundreds of thousands of methods needs no tree of JSON values first.
void AppendDocumentSymbols(const OpenDocument& document, std::string& out) {
  out += '[';
  bool first = true;
  for (const MethodSymbol& method : document.index->methods()) {
    if (!first) out += ',';
    first = false;
    out += "{\"kind\":";
    out += std::to_string(SymbolKind(method));
    out += ",\"name\":";
    out += Serialize(Json(ToUtf8(method.name)));
    out += ",\"range\":";
    AppendRange(method.header_line, 0, method.end_line, method.end_character, out);
    out += ",\"selectionRange\":";
    AppendRange(method.header_line, method.name_start, method.header_line, method.name_end, out);
    out += '}';
  }
  out += ']';
}

Json WorkspaceSymbols(const Workspace& workspace, std::u16string_view query) {
  std::u16string wanted = UpperCase(query);
  Json symbols = Json::array();
  for (const auto& [uri, document] : workspace.documents()) {
    for (const MethodSymbol& method : document.index->methods()) {
      if (!Contains(UpperCase(method.name), wanted)) continue;
      symbols.push_back(Json{{"name", ToUtf8(method.name)},
                             {"kind", SymbolKind(method)},
                             {"location", LocationJson(uri, WholeMethodRange(method))}});
    }
  }
  return symbols;
}

namespace {

Json Diagnostic(const Json& range, const std::string& message) {
  return Json{{"range", range}, {"severity", 1}, {"source", "ramulet"}, {"message", message}};
}

Json DuplicateDiagnostic(const DuplicateMethod& duplicate) {
  Json range = RangeJson(duplicate.line, duplicate.name_start, duplicate.line, duplicate.name_end);
  std::string message = "the method '" + ToUtf8(duplicate.name) + "' is declared twice";
  if (duplicate.first_line >= 0) {
    message += ": the first declaration is on line " + std::to_string(duplicate.first_line + 1);
  }
  message += "; the module is analysed only up to here";
  Json diagnostic = Diagnostic(range, message);
  diagnostic["code"] = "duplicate-method";
  return diagnostic;
}

}  // namespace

Json Diagnostics(const OpenDocument& document) {
  Json diagnostics = Json::array();
  const ModuleIndex& index = *document.index;
  if (index.duplicate()) {
    diagnostics.push_back(DuplicateDiagnostic(*index.duplicate()));
  } else if (!index.status().ok()) {
    diagnostics.push_back(Diagnostic(RangeJson(0, 0, 0, 0), "the module could not be analysed: " + index.status().message()));
  }
  Json params{{"uri", document.uri}, {"diagnostics", diagnostics}};
  params["version"] = document.version;
  return params;
}

Json RefusalDiagnostics(const std::string& uri, const std::string& message) {
  return Json{{"uri", uri}, {"diagnostics", Json::array({Diagnostic(RangeJson(0, 0, 0, 0), message)})}};
}

}  // namespace ramulet::lsp
