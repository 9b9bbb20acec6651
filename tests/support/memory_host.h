#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/host.h"

namespace ramulet {

// In-memory host objects for the tests and the benchmarks. The text module
// records the calls made on it, in order, in a shared log. Every object can
// be told to fail a call, through the HostFaults it shares with the others
// of one host, so that error paths can be tested.

using HostCallLog = std::vector<std::string>;

// One injected host failure: the n-th call (0-based, counted over all the
// objects sharing it) of the named operation fails with kHostError.
class HostFaults {
 public:
  void Fail(std::string call, int nth) {
    call_ = std::move(call);
    countdown_ = nth;
  }
  void Clear() { countdown_ = -1; }
  bool armed() const { return countdown_ >= 0; }
  // Counts a call of `call`; an error when it is the one to fail.
  Status Enter(const std::string& call);

 private:
  std::string call_;
  int countdown_ = -1;
};

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
  // Makes the n-th call (0-based) named `call` fail: the module's own
  // ("Range", "LineCount", "LineEnd", "Select", "Kind", "TextDocument") or,
  // when faults() is handed to them, those of the other objects of the host.
  void FailCall(std::string call, int nth = 0) { faults_->Fail(std::move(call), nth); }
  // The module's faults, to share with the window chain and a paged
  // document (MakeMemoryHost, MemoryPagedDocument).
  const std::shared_ptr<HostFaults>& faults() const { return faults_; }
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
  std::shared_ptr<HostFaults> faults_ = std::make_shared<HostFaults>();
};

// A document made of pages whose active page is one text module. Its calls
// "Paged.Kind", "ActivePage" and "Page" fail through `faults`.
class MemoryPagedDocument : public HostDocument {
 public:
  MemoryPagedDocument(std::shared_ptr<HostDocument> page, std::shared_ptr<HostCallLog> log = nullptr,
                      std::shared_ptr<HostFaults> faults = nullptr);

  Status Kind(int32_t& kind) override;
  Status ActivePage(Variant& page) override;
  Status Page(const Variant& activePage, std::shared_ptr<HostDocument>& page) override;
  Status LineCount(int32_t& count) override;
  Status Range(int32_t line, std::u16string_view& text) override;
  Status TextDocument(std::shared_ptr<HostTextDocument>& view) override;

 private:
  Status Enter(const char* call);

  std::shared_ptr<HostDocument> page_;
  std::shared_ptr<HostCallLog> log_;
  std::shared_ptr<HostFaults> faults_;
};

// The window chain; "Document", "ActiveWindow" and "Windows" fail through
// `faults` (none when null).
class MemoryWindow : public HostWindow {
 public:
  MemoryWindow(std::shared_ptr<HostDocument> document, std::shared_ptr<HostFaults> faults = nullptr)
      : document_(std::move(document)), faults_(std::move(faults)) {}
  Status Document(std::shared_ptr<HostDocument>& document) override;

 private:
  std::shared_ptr<HostDocument> document_;
  std::shared_ptr<HostFaults> faults_;
};

class MemoryWindowSet : public HostWindowSet {
 public:
  MemoryWindowSet(std::shared_ptr<HostWindow> active, std::shared_ptr<HostFaults> faults = nullptr)
      : active_(std::move(active)), faults_(std::move(faults)) {}
  Status ActiveWindow(std::shared_ptr<HostWindow>& window) override;

 private:
  std::shared_ptr<HostWindow> active_;
  std::shared_ptr<HostFaults> faults_;
};

class MemoryConfigurator : public Configurator {
 public:
  MemoryConfigurator(std::shared_ptr<HostWindowSet> windows, std::shared_ptr<HostFaults> faults = nullptr)
      : windows_(std::move(windows)), faults_(std::move(faults)) {}
  Status Windows(std::shared_ptr<HostWindowSet>& windows) override;

 private:
  std::shared_ptr<HostWindowSet> windows_;
  std::shared_ptr<HostFaults> faults_;
};

// A configurator whose active window shows `document` (none when null).
// The window chain's calls fail through `faults` when it is given (a text
// module's faults(), say, to inject any one failure of a refresh).
std::shared_ptr<MemoryConfigurator> MakeMemoryHost(std::shared_ptr<HostDocument> document,
                                                   std::shared_ptr<HostFaults> faults = nullptr);

}  // namespace ramulet
