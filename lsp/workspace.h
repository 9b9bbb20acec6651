#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "lsp/module_index.h"
#include "lsp/protocol.h"
#include "lsp/text_document.h"

namespace ramulet::lsp {

// Where the last page of a call tree ended, so that the next page in order
// continues there instead of walking the tree from its start again.
struct TreePageCursor {
  std::optional<std::u16string> root;
  std::optional<int64_t> depth;
  int64_t offset = -1;  // pre-order position of `node`; -1 when unused
  int32_t node = 0;
  int32_t level = 0;
  int64_t total = -1;  // nodes in this view; -1 until counted
};

// Documents larger than this (in UTF-16 code units) are not taken.
inline constexpr size_t kMaxDocumentUnits = size_t{32} << 20;

struct OpenDocument {
  // The server's analyzer and rule set, set when the document is opened.
  const ModuleAnalyzer* analyzer = nullptr;
  RuleSet rules = RuleSet::kLanguage;
  std::string uri;
  int64_t version = 0;
  TextDocument text;
  std::unique_ptr<ModuleIndex> index;
  TreePageCursor cursor;

  // Analyses the present text; every change calls it. The old index goes
  // first, so that two are never held at once: when this throws, the
  // document has no index and must be closed.
  void Analyse();
  // Throws RpcError(kInvalidParams) unless the position is on a line of
  // the text; returns it with the character limited to the line's end.
  TextPosition CheckPosition(const TextPosition& position) const;
};

// The open documents, in order of their URIs.
// Every document held has been analysed (it has an index).
class Workspace {
 public:
  // One analyzer serves every document (and may serve other workspaces).
  explicit Workspace(std::shared_ptr<const ModuleAnalyzer> analyzer = nullptr)
      : analyzer_(analyzer ? std::move(analyzer) : std::make_shared<const ModuleAnalyzer>()) {}
  // A document of `uri`, not yet held, that will be analysed with the
  // workspace's analyzer and rules.
  OpenDocument Prepare(const std::string& uri) const;
  // Takes an analysed document, in place of any open under its URI.
  OpenDocument& Put(OpenDocument document);
  // The rules documents opened from now on are read by (the language's own
  // unless the client asks for the panel's).
  void SetRules(RuleSet rules) { rules_ = rules; }
  RuleSet rules() const { return rules_; }
  void Close(const std::string& uri) { documents_.erase(uri); }
  void CloseAll() { documents_.clear(); }
  // Throws RpcError(kInvalidParams) when the document is not open.
  OpenDocument& Get(const std::string& uri);
  const std::map<std::string, OpenDocument>& documents() const { return documents_; }

 private:
  std::shared_ptr<const ModuleAnalyzer> analyzer_;
  RuleSet rules_ = RuleSet::kLanguage;
  std::map<std::string, OpenDocument> documents_;
};

}  // namespace ramulet::lsp
