#include "tests/support/faulty_host.h"

namespace ramulet {

Status HostFaults::Enter(const std::string& call) {
  if (call == call_ && countdown_ >= 0 && countdown_-- == 0) {
    return Status::Error(Status::kHostError, "the host failed the call " + call);
  }
  return Status::Ok();
}

namespace {

class FaultyPagedDocument : public HostDocument {
 public:
  FaultyPagedDocument(std::shared_ptr<HostDocument> page, std::shared_ptr<HostFaults> faults)
      : page_(std::move(page)), faults_(std::move(faults)) {}

  Status Kind(int32_t& kind) override {
    RAMULET_RETURN_IF_ERROR(faults_->Enter("Paged.Kind"));
    kind = kPagedKind;
    return Status::Ok();
  }
  Status ActivePage(Variant& page) override {
    RAMULET_RETURN_IF_ERROR(faults_->Enter("ActivePage"));
    page = Variant::Int32(1);
    return Status::Ok();
  }
  Status Page(const Variant&, std::shared_ptr<HostDocument>& page) override {
    RAMULET_RETURN_IF_ERROR(faults_->Enter("Page"));
    page = page_;
    return Status::Ok();
  }
  Status LineCount(int32_t&) override { return NoLines(); }
  Status Range(int32_t, std::u16string_view&) override { return NoLines(); }
  Status TextDocument(std::shared_ptr<HostTextDocument>& view) override {
    view = nullptr;
    return Status::Error(Status::kNoInterface, "a document made of pages is not a text document");
  }

 private:
  static Status NoLines() { return Status::Error(Status::kFail, "a document made of pages has no lines of its own"); }

  std::shared_ptr<HostDocument> page_;
  std::shared_ptr<HostFaults> faults_;
};

class FaultyWindow : public HostWindow {
 public:
  FaultyWindow(std::shared_ptr<HostDocument> document, std::shared_ptr<HostFaults> faults)
      : document_(std::move(document)), faults_(std::move(faults)) {}
  Status Document(std::shared_ptr<HostDocument>& document) override {
    RAMULET_RETURN_IF_ERROR(faults_->Enter("Document"));
    document = document_;
    return Status::Ok();
  }

 private:
  std::shared_ptr<HostDocument> document_;
  std::shared_ptr<HostFaults> faults_;
};

class FaultyWindowSet : public HostWindowSet {
 public:
  FaultyWindowSet(std::shared_ptr<HostWindow> active, std::shared_ptr<HostFaults> faults)
      : active_(std::move(active)), faults_(std::move(faults)) {}
  Status ActiveWindow(std::shared_ptr<HostWindow>& window) override {
    RAMULET_RETURN_IF_ERROR(faults_->Enter("ActiveWindow"));
    window = active_;
    return Status::Ok();
  }

 private:
  std::shared_ptr<HostWindow> active_;
  std::shared_ptr<HostFaults> faults_;
};

class FaultyConfigurator : public Configurator {
 public:
  FaultyConfigurator(std::shared_ptr<HostWindowSet> windows, std::shared_ptr<HostFaults> faults)
      : windows_(std::move(windows)), faults_(std::move(faults)) {}
  Status Windows(std::shared_ptr<HostWindowSet>& windows) override {
    RAMULET_RETURN_IF_ERROR(faults_->Enter("Windows"));
    windows = windows_;
    return Status::Ok();
  }

 private:
  std::shared_ptr<HostWindowSet> windows_;
  std::shared_ptr<HostFaults> faults_;
};

}  // namespace

FaultyHost::FaultyHost(std::shared_ptr<HostDocument> document, bool paged) {
  if (paged) document = std::make_shared<FaultyPagedDocument>(std::move(document), faults);
  auto window = std::make_shared<FaultyWindow>(std::move(document), faults);
  auto windows = std::make_shared<FaultyWindowSet>(std::move(window), faults);
  configurator = std::make_shared<FaultyConfigurator>(std::move(windows), faults);
}

}  // namespace ramulet
