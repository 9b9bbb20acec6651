#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/host.h"

namespace ramulet {

// In-memory host objects: the command line's module and the tests' host.
// Each object records the calls made on it, in order, in a shared log, and
// can be told to fail a call so that error paths can be tested.

using HostCallLog = std::vector<std::string>;

struct Selection {
  int32_t startLine;
  int32_t startColumn;
  Variant endLine;
  Variant endColumn;
};

class MemoryTextModule : public HostTextDocument, public std::enable_shared_from_this<MemoryTextModule> {
 public:
  explicit MemoryTextModule(std::vector<std::u16string> lines, std::shared_ptr<HostCallLog> log = nullptr);

  Status Kind(int32_t& kind) override;
  Status ActivePage(Variant& page) override;
  Status Page(const Variant& activePage, std::shared_ptr<HostDocument>& page) override;
  Status LineCount(int32_t& count) override;
  Status Range(int32_t line, std::u16string_view& text) override;
  Status TextDocument(std::shared_ptr<HostTextDocument>& view) override;
  Status LineEnd(int32_t line, int32_t& column) override;
  Status Select(int32_t startLine, int32_t startColumn, const Variant& endLine, const Variant& endColumn) override;

  const std::vector<std::u16string>& lines() const { return lines_; }
  const std::vector<Selection>& selections() const { return selections_; }
  // Makes the n-th call (0-based, counted over all calls) named `call`
  // ("Range", "LineCount", "LineEnd", "Select", "Kind") fail.
  void FailCall(std::string call, int nth = 0);
  // Overrides the document kind this module reports.
  void SetKind(int32_t kind) { kind_ = kind; }
  // When false, Range calls are not written to the log (large modules).
  void set_log_ranges(bool on) { log_ranges_ = on; }

 private:
  Status Enter(const std::string& call, const std::string& detail = "");

  std::vector<std::u16string> lines_;
  std::shared_ptr<HostCallLog> log_;
  std::vector<Selection> selections_;
  int32_t kind_ = kTextModuleKind;
  bool log_ranges_ = true;
  std::string fail_call_;
  int fail_countdown_ = -1;
};

// A document made of pages whose active page is one text module.
class MemoryPagedDocument : public HostDocument {
 public:
  MemoryPagedDocument(std::shared_ptr<HostDocument> page, std::shared_ptr<HostCallLog> log = nullptr);

  Status Kind(int32_t& kind) override;
  Status ActivePage(Variant& page) override;
  Status Page(const Variant& activePage, std::shared_ptr<HostDocument>& page) override;
  Status LineCount(int32_t& count) override;
  Status Range(int32_t line, std::u16string_view& text) override;
  Status TextDocument(std::shared_ptr<HostTextDocument>& view) override;

 private:
  std::shared_ptr<HostDocument> page_;
  std::shared_ptr<HostCallLog> log_;
};

class MemoryWindow : public HostWindow {
 public:
  explicit MemoryWindow(std::shared_ptr<HostDocument> document) : document_(std::move(document)) {}
  Status Document(std::shared_ptr<HostDocument>& document) override;

 private:
  std::shared_ptr<HostDocument> document_;
};

class MemoryWindowSet : public HostWindowSet {
 public:
  explicit MemoryWindowSet(std::shared_ptr<HostWindow> active) : active_(std::move(active)) {}
  Status ActiveWindow(std::shared_ptr<HostWindow>& window) override;

 private:
  std::shared_ptr<HostWindow> active_;
};

class MemoryConfigurator : public Configurator {
 public:
  explicit MemoryConfigurator(std::shared_ptr<HostWindowSet> windows) : windows_(std::move(windows)) {}
  Status Windows(std::shared_ptr<HostWindowSet>& windows) override;

 private:
  std::shared_ptr<HostWindowSet> windows_;
};

// A configurator whose active window shows `document` (none when null).
std::shared_ptr<MemoryConfigurator> MakeMemoryHost(std::shared_ptr<HostDocument> document);

}  // namespace ramulet
