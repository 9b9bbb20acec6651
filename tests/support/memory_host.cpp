#include "tests/support/memory_host.h"

namespace ramulet {

MemoryTextModule::MemoryTextModule(std::vector<std::u16string> lines, std::shared_ptr<HostCallLog> log)
    : lines_(std::move(lines)), log_(std::move(log)) {}

namespace {

// Enters `call` on `faults` when there are any.
Status EnterOn(const std::shared_ptr<HostFaults>& faults, const std::string& call) {
  return faults ? faults->Enter(call) : Status::Ok();
}

}  // namespace

Status HostFaults::Enter(const std::string& call) {
  if (call == call_ && countdown_ >= 0 && countdown_-- == 0) {
    return Status::Error(Status::kHostError, "the host failed the call " + call);
  }
  return Status::Ok();
}

Status MemoryTextModule::Enter(const std::string& call, const std::string& detail) {
  if (log_ && (log_ranges_ || call != "Range")) log_->push_back(detail.empty() ? call : call + " " + detail);
  return faults_->Enter(call);
}

Status MemoryTextModule::Kind(int32_t& kind) {
  RAMULET_RETURN_IF_ERROR(Enter("Kind"));
  kind = kind_;
  return Status::Ok();
}

Status MemoryTextModule::ActivePage(Variant& page) {
  RAMULET_RETURN_IF_ERROR(Enter("ActivePage"));
  page = Variant();
  return Status::Error(Status::kFail, "a text module has no pages");
}

Status MemoryTextModule::Page(const Variant&, std::shared_ptr<HostDocument>& page) {
  RAMULET_RETURN_IF_ERROR(Enter("Page"));
  page = nullptr;
  return Status::Error(Status::kFail, "a text module has no pages");
}

Status MemoryTextModule::LineCount(int32_t& count) {
  RAMULET_RETURN_IF_ERROR(Enter("LineCount"));
  count = static_cast<int32_t>(lines_.size());
  return Status::Ok();
}

Status MemoryTextModule::Range(int32_t line, std::u16string_view& text) {
  // Range runs four times per line of a refresh: skip the bookkeeping
  // unless a log or an injected failure needs it.
  if (log_ || faults_->armed()) RAMULET_RETURN_IF_ERROR(Enter("Range", log_ ? std::to_string(line) : ""));
  if (line < 0 || static_cast<size_t>(line) >= lines_.size()) {
    return Status::Error(Status::kOutOfRange, "line " + std::to_string(line) + " is outside the module");
  }
  text = lines_[line];
  return Status::Ok();
}

Status MemoryTextModule::TextDocument(std::shared_ptr<HostTextDocument>& view) {
  RAMULET_RETURN_IF_ERROR(Enter("TextDocument"));
  view = shared_from_this();
  return Status::Ok();
}

Status MemoryTextModule::LineEnd(int32_t line, int32_t& column) {
  RAMULET_RETURN_IF_ERROR(Enter("LineEnd", std::to_string(line)));
  if (line < 0 || static_cast<size_t>(line) >= lines_.size()) {
    return Status::Error(Status::kOutOfRange, "line " + std::to_string(line) + " is outside the module");
  }
  column = static_cast<int32_t>(lines_[line].size());
  return Status::Ok();
}

Status MemoryTextModule::Select(int32_t startLine, int32_t startColumn, const Variant& endLine,
                                const Variant& endColumn) {
  auto number = [](const Variant& v) {
    std::optional<int32_t> n = v.ToInt32();
    return n ? std::to_string(*n) : std::string("?");
  };
  RAMULET_RETURN_IF_ERROR(Enter("Select", std::to_string(startLine) + " " + std::to_string(startColumn) + " " +
                                              number(endLine) + " " + number(endColumn)));
  selections_.push_back(Selection{startLine, startColumn, endLine, endColumn});
  return Status::Ok();
}

MemoryPagedDocument::MemoryPagedDocument(std::shared_ptr<HostDocument> page, std::shared_ptr<HostCallLog> log,
                                         std::shared_ptr<HostFaults> faults)
    : page_(std::move(page)), log_(std::move(log)), faults_(std::move(faults)) {}

// Logged as "Paged.<call>"; the fault of "Kind" is named "Paged.Kind", so
// that it is told from the text module's.
Status MemoryPagedDocument::Enter(const char* call) {
  const std::string logged = std::string("Paged.") + call;
  if (log_) log_->push_back(logged);
  return EnterOn(faults_, logged == "Paged.Kind" ? logged : std::string(call));
}

Status MemoryPagedDocument::Kind(int32_t& kind) {
  RAMULET_RETURN_IF_ERROR(Enter("Kind"));
  kind = kPagedKind;
  return Status::Ok();
}

Status MemoryPagedDocument::ActivePage(Variant& page) {
  RAMULET_RETURN_IF_ERROR(Enter("ActivePage"));
  page = Variant::Int32(1);
  return Status::Ok();
}

Status MemoryPagedDocument::Page(const Variant& activePage, std::shared_ptr<HostDocument>& page) {
  RAMULET_RETURN_IF_ERROR(Enter("Page"));
  if (!activePage.EqualsNumber(1)) return Status::Error(Status::kOutOfRange, "no such page");
  page = page_;
  return Status::Ok();
}

Status MemoryPagedDocument::LineCount(int32_t&) {
  return Status::Error(Status::kFail, "a document made of pages has no lines of its own");
}

Status MemoryPagedDocument::Range(int32_t, std::u16string_view&) {
  return Status::Error(Status::kFail, "a document made of pages has no lines of its own");
}

Status MemoryPagedDocument::TextDocument(std::shared_ptr<HostTextDocument>& view) {
  view = nullptr;
  return Status::Error(Status::kNoInterface, "a document made of pages is not a text document");
}

Status MemoryWindow::Document(std::shared_ptr<HostDocument>& document) {
  RAMULET_RETURN_IF_ERROR(EnterOn(faults_, "Document"));
  document = document_;
  return Status::Ok();
}

Status MemoryWindowSet::ActiveWindow(std::shared_ptr<HostWindow>& window) {
  RAMULET_RETURN_IF_ERROR(EnterOn(faults_, "ActiveWindow"));
  window = active_;
  return Status::Ok();
}

Status MemoryConfigurator::Windows(std::shared_ptr<HostWindowSet>& windows) {
  RAMULET_RETURN_IF_ERROR(EnterOn(faults_, "Windows"));
  windows = windows_;
  return Status::Ok();
}

std::shared_ptr<MemoryConfigurator> MakeMemoryHost(std::shared_ptr<HostDocument> document,
                                                   std::shared_ptr<HostFaults> faults) {
  std::shared_ptr<HostWindow> window;
  if (document) window = std::make_shared<MemoryWindow>(std::move(document), faults);
  return std::make_shared<MemoryConfigurator>(std::make_shared<MemoryWindowSet>(std::move(window), faults),
                                              std::move(faults));
}

}  // namespace ramulet
