#include "cli/analysis_run.h"

#include <limits>
#include <memory>

#include "host/host_configurator.h"
#include "host/memory_host.h"

namespace ramulet {

namespace {

class CollectingMethodList : public MethodList {
 public:
  explicit CollectingMethodList(std::vector<std::u16string>& names) : names_(names) {}
  Status Clear() override {
    names_.clear();
    return Status::Ok();
  }
  Status Append(std::u16string_view name) override {
    names_.emplace_back(name);
    return Status::Ok();
  }

 private:
  std::vector<std::u16string>& names_;
};

// Nobody is there to ask on the command line: large modules are read.
class YesMessageBoxes : public MessageBoxes {
 public:
  Answer Show(std::u16string_view, std::optional<std::u16string_view>, Buttons buttons, Icon) override {
    return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
  }
};

// Installs a configurator for the length of one analysis and takes it away
// again, also on early returns.
class ScopedHost {
 public:
  explicit ScopedHost(std::shared_ptr<HostDocument> document) {
    HostConfigurator::Set(MakeMemoryHost(std::move(document)));
  }
  ~ScopedHost() { HostConfigurator::Clear(); }
  ScopedHost(const ScopedHost&) = delete;
  ScopedHost& operator=(const ScopedHost&) = delete;
};

const char* OutcomeText(RefreshReport::Outcome outcome) {
  switch (outcome) {
    case RefreshReport::Outcome::Completed:
      return "completed";
    case RefreshReport::Outcome::NoActiveWindow:
      return "the module was not found as the active window";
    case RefreshReport::Outcome::NotTextModule:
      return "the module was not taken as a text module";
    case RefreshReport::Outcome::Declined:
      return "reading the module was declined";
    case RefreshReport::Outcome::Failed:
      break;
  }
  return "the analysis failed";
}

}  // namespace

Status AnalyzeModule(std::vector<std::u16string> lines, bool build_tree, AnalysisResult& result) {
  if (lines.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
    return Status::Error(Status::kOutOfRange, "the module has more lines than can be counted");
  }
  result.line_count = static_cast<int32_t>(lines.size());
  ScopedHost host(std::make_shared<MemoryTextModule>(std::move(lines)));
  CollectingMethodList modul(result.method_list);
  YesMessageBoxes boxes;
  TreeStep tree_step = [&result, build_tree](MethodTables& tables) {
    if (!build_tree) return Status::Ok();
    Status built = BuildCallTree(tables, result.tree);
    result.tree_built = built.ok();
    return built;
  };
  RAMULET_RETURN_IF_ERROR(Refresh(result.tables, modul, boxes, tree_step, &result.report));
  if (result.report.outcome != RefreshReport::Outcome::Completed) {
    return Status::Error(Status::kFail, OutcomeText(result.report.outcome));
  }
  return Status::Ok();
}

}  // namespace ramulet
