#include "lsp/workspace.h"

#include <algorithm>

namespace ramulet::lsp {

namespace {

// The document's module lines (without the empty line after a final
// break), read in place by the analysis.
class DocumentLines : public LineSource {
 public:
  explicit DocumentLines(const TextDocument& text) : text_(text) {}
  Status LineCount(int32_t& count) override {
    count = text_.ModuleLineCount();
    return Status::Ok();
  }
  Status Range(int32_t line, std::u16string_view& text) override {
    if (line < 0 || line >= text_.ModuleLineCount()) {
      return Status::Error(Status::kOutOfRange, "line " + std::to_string(line) + " is outside the module");
    }
    text = text_.Line(line);
    return Status::Ok();
  }

 private:
  const TextDocument& text_;
};

}  // namespace

void OpenDocument::Analyse() {
  // The old index goes first: the new one is never built beside it.
  index.reset();
  cursor = TreePageCursor{};
  DocumentLines lines(text);
  index = std::make_unique<ModuleIndex>(*analyzer, lines, rules);
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

OpenDocument Workspace::Prepare(const std::string& uri) const {
  OpenDocument document;
  document.uri = uri;
  document.analyzer = analyzer_.get();
  document.rules = rules_;
  return document;
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
