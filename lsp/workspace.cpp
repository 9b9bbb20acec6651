#include "lsp/workspace.h"

#include <algorithm>

namespace ramulet::lsp {

void OpenDocument::Analyse() {
  const std::vector<std::u16string_view> lines = text.ModuleLineViews();
  index = std::make_unique<ModuleIndex>(lines);
  cursor = TreePageCursor{};
}

TextPosition OpenDocument::CheckPosition(const TextPosition& position) const {
  if (position.line >= text.LineCount()) {
    throw RpcError(error_code::kInvalidParams, "line " + std::to_string(position.line) +
                                                   " is past the end of the document (" +
                                                   std::to_string(text.LineCount()) + " lines)");
  }
  auto length = static_cast<int64_t>(text.Line(static_cast<int32_t>(position.line)).size());
  return TextPosition{position.line, std::min(position.character, length)};
}

OpenDocument& Workspace::Open(const std::string& uri) {
  OpenDocument& document = documents_[uri];
  document.uri = uri;
  return document;
}

OpenDocument& Workspace::Get(const std::string& uri) {
  auto found = documents_.find(uri);
  if (found == documents_.end()) {
    throw RpcError(error_code::kInvalidParams, "the document " + uri + " is not open");
  }
  return found->second;
}

}  // namespace ramulet::lsp
