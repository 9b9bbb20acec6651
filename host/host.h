#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/line_source.h"
#include "platform/object.h"
#include "platform/status.h"
#include "platform/variant.h"

namespace ramulet {

class HostTextDocument;

// What the panel relies on of the host's documents. Abstract so that the
// COM host, the command line's in-memory module and test fakes can stand
// behind it. Every operation reports failure through its Status. Its lines
// (LineCount, Range) are what the analysis reads.
class HostDocument : public Object, public LineSource {
 public:
  static constexpr int32_t kPagedKind = 1;
  static constexpr int32_t kTextModuleKind = 2;

  // The document's default value: 1 a document made of pages, 2 a text module.
  virtual Status Kind(int32_t& kind) = 0;
  virtual Status ActivePage(Variant& page) = 0;
  virtual Status Page(const Variant& activePage, std::shared_ptr<HostDocument>& page) = 0;
  // The same document seen through HostTextDocument; kNoInterface when the
  // document does not offer it.
  virtual Status TextDocument(std::shared_ptr<HostTextDocument>& view) = 0;
};

// The host's text-document interface of a text module.
class HostTextDocument : public HostDocument {
 public:
  // The column at which line `line` ends.
  virtual Status LineEnd(int32_t line, int32_t& column) = 0;
  // Selects the span from (startLine, startColumn) to (endLine, endColumn)
  // in the host's editor.
  virtual Status Select(int32_t startLine, int32_t startColumn, const Variant& endLine,
                        const Variant& endColumn) = 0;
};

class HostWindow {
 public:
  virtual ~HostWindow() = default;
  virtual Status Document(std::shared_ptr<HostDocument>& document) = 0;
};

class HostWindowSet {
 public:
  virtual ~HostWindowSet() = default;
  // `window` is null when no window is active.
  virtual Status ActiveWindow(std::shared_ptr<HostWindow>& window) = 0;
};

class Configurator : public Object {
 public:
  virtual Status Windows(std::shared_ptr<HostWindowSet>& windows) = 0;
};

}  // namespace ramulet
