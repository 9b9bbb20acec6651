#pragma once

#include "plugin/com/com.h"

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "host/host.h"
#include "plugin/com/com_object_ref.h"
#include "plugin/com/com_ptr.h"
#include "plugin/com/com_text.h"

namespace ramulet::win32 {

// The members of a host document that the panel calls by name. Each name is
// looked up once per document object and its dispatch ID kept.
class LateBoundDocument {
 public:
  explicit LateBoundDocument(ComPtr<IDispatch> document) : document_(std::move(document)) {}

  // The default value (DISPID_VALUE).
  Status Kind(int32_t& kind);
  Status ActivePage(Variant& page);
  Status Page(const Variant& activePage, std::shared_ptr<HostDocument>& page);
  Status LineCount(int32_t& count);
  // The line index goes by reference (VT_BYREF | VT_I4); the text comes back
  // as a BSTR, which this object keeps, uncopied, until the next call.
  Status Range(int32_t line, std::u16string_view& text);

  IDispatch* dispatch() const { return document_.get(); }

 private:
  enum Member { kActivePage, kPage, kLineCount, kRange, kMemberCount };
  Status Id(Member member, DISPID& id);
  Status Call(Member member, VARIANT* args, UINT arg_count, VARIANT& result);

  ComPtr<IDispatch> document_;
  std::array<std::optional<DISPID>, kMemberCount> ids_;
  OwnedBstr line_text_;  // the text of the last Range
};

// A document shown in the host's active window, held as a generic
// automation object.
class ComDocument : public HostDocument, public ComIdentity {
 public:
  explicit ComDocument(ComPtr<IDispatch> document) : members_(std::move(document)) {}

  Status Kind(int32_t& kind) override { return members_.Kind(kind); }
  Status ActivePage(Variant& page) override { return members_.ActivePage(page); }
  Status Page(const Variant& activePage, std::shared_ptr<HostDocument>& page) override {
    return members_.Page(activePage, page);
  }
  Status LineCount(int32_t& count) override { return members_.LineCount(count); }
  Status Range(int32_t line, std::u16string_view& text) override { return members_.Range(line, text); }
  // The document seen through IHostTextDocument.
  Status TextDocument(std::shared_ptr<HostTextDocument>& view) override;

  IUnknown* ComUnknown() const override { return reinterpret_cast<IUnknown*>(members_.dispatch()); }
  bool IsDispatch() const override { return true; }

 private:
  LateBoundDocument members_;
};

// A text module through the host's IHostTextDocument: the line-end query
// (slot 20) and the selection (slot 32); its late-bound members are called
// through the same interface pointer.
class ComTextDocument : public HostTextDocument,
                        public ComIdentity,
                        public std::enable_shared_from_this<ComTextDocument> {
 public:
  explicit ComTextDocument(ComPtr<IHostTextDocument> text);

  Status Kind(int32_t& kind) override { return members_.Kind(kind); }
  Status ActivePage(Variant& page) override { return members_.ActivePage(page); }
  Status Page(const Variant& activePage, std::shared_ptr<HostDocument>& page) override {
    return members_.Page(activePage, page);
  }
  Status LineCount(int32_t& count) override { return members_.LineCount(count); }
  Status Range(int32_t line, std::u16string_view& text) override { return members_.Range(line, text); }
  Status TextDocument(std::shared_ptr<HostTextDocument>& view) override;
  Status LineEnd(int32_t line, int32_t& column) override;
  Status Select(int32_t startLine, int32_t startColumn, const Variant& endLine, const Variant& endColumn) override;

  IUnknown* ComUnknown() const override { return text_.unknown(); }
  bool IsDispatch() const override { return true; }

 private:
  ComPtr<IHostTextDocument> text_;
  LateBoundDocument members_;
};

}  // namespace ramulet::win32
