#include "lsp/features.h"
#include "platform/text.h"

namespace ramulet::lsp {

Json Definition(const OpenDocument& document, const TextPosition& position) {
  int32_t method = MethodAt(document, position);
  if (method < 0) return nullptr;
  return LocationJson(document.uri, NameRange(document.index->methods()[static_cast<size_t>(method)]));
}

Json References(const OpenDocument& document, const TextPosition& position, bool include_declaration) {
  int32_t method = MethodAt(document, position);
  if (method < 0) return nullptr;
  const ModuleIndex& index = *document.index;
  Json locations = Json::array();
  if (include_declaration) {
    locations.push_back(LocationJson(document.uri, NameRange(index.methods()[static_cast<size_t>(method)])));
  }
  for (int32_t call : index.CallsTo(method)) {
    locations.push_back(LocationJson(document.uri, CallRange(index.calls()[static_cast<size_t>(call)])));
  }
  return locations;
}

namespace {

std::u16string_view TrimWhitespace(std::u16string_view text) {
  auto blank = [](char16_t c) { return c == u' ' || c == u'\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

Json Hover(const OpenDocument& document, const TextPosition& position) {
  int32_t m = MethodAt(document, position);
  if (m < 0) return nullptr;
  const ModuleIndex& index = *document.index;
  const MethodSymbol& method = index.methods()[static_cast<size_t>(m)];
  std::u16string header(document.text.Line(method.header_line));
  std::string text = "```\n" + ToUtf8(TrimWhitespace(header)) + "\n```\n\ncalls " +
                     std::to_string(index.CallsFrom(m).size()) + " / called from " +
                     std::to_string(index.CallsTo(m).size());
  return Json{{"contents", Json{{"kind", "markdown"}, {"value", text}}}};
}

}  // namespace ramulet::lsp
