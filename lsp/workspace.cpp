#include "lsp/workspace.h"

#include <algorithm>

namespace ramulet::lsp {

void OpenDocument::Analyse() {
  index.reset();
  cursor = TreePageCursor{};
  index = std::make_unique<ModuleIndex>(
      std::span<const std::u16string>(text.Lines().data(), static_cast<size_t>(text.ModuleLineCount())));
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

OpenDocument& Workspace::Put(OpenDocument document) {
  std::string uri = document.uri;
  return documents_.insert_or_assign(std::move(uri), std::move(document)).first->second;
}

OpenDocument& Workspace::Get(const std::string& uri) {
  auto found = documents_.find(uri);
  if (found == documents_.end() || !found->second.index) {
    throw RpcError(error_code::kInvalidParams, "the document " + uri + " is not open");
  }
  return found->second;
}

}  // namespace ramulet::lsp
