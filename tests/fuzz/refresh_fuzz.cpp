// Feeds arbitrary bytes, read as a module, to the whole refresh: the
// analysis, the tables and the tree build. Checks the tables' invariants
// after each run, that they say what the analysis says, and that the fast
// analysis agrees with the plain one.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "analysis/module_analyzer.h"
#include "host/host_configurator.h"
#include "panel/panel_tree.h"
#include "panel/refresh.h"
#include "platform/text.h"
#include "tests/support/analysis_lines.h"
#include "tests/support/memory_host.h"
#include "tests/support/reference_analysis.h"
#include "tests/support/refresh_fixture.h"
#include "tree/call_tree.h"

namespace {

using namespace ramulet;

class YesBoxes : public MessageBoxes {
 public:
  Answer Show(std::u16string_view, std::optional<std::u16string_view>, Buttons buttons, Icon) override {
    return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
  }
};

class NameList : public MethodList {
 public:
  Status Clear() override {
    names.clear();
    return Status::Ok();
  }
  Status Append(std::u16string_view name) override {
    names.emplace_back(name);
    return Status::Ok();
  }
  std::vector<std::u16string> names;
};

std::vector<std::u16string> SplitLines(const std::u16string& text) {
  std::vector<std::u16string> lines;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == u'\n') {
      lines.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  return lines;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckTables(const MethodTables& t, const NameList& modul, const CallTree& tree) {
  Check(static_cast<int32_t>(modul.names.size()) == t.LastMeth + 1);
  size_t calls = 0, callers = 0;
  for (int32_t m = 0; m <= t.LastMeth; ++m) {
    Check(t.NomMet(t.MethName[m]) == m);
    // Each method ends at or below its header and above the next one.
    Check(t.MethEnd[m] >= t.MethStart[m]);
    if (m < t.LastMeth) Check(t.MethEnd[m] < t.MethStart[m + 1]);
    for (const CallRef& ref : t.Calls[m]) Check(ref.target >= 0 && ref.target <= t.LastMeth);
    for (int32_t caller : t.Callers[m]) Check(caller >= 0 && caller <= t.LastMeth);
    calls += t.Calls[m].size();
    callers += t.Callers[m].size();
  }
  Check(calls == callers);
  Check(tree.RootCount == t.LastMeth + 1 || tree.truncated);
  Check(t.q.EqualsNumber(tree.nodes.Count()));
}

// Modul lists the methods recorded, also when the analysis stopped early.
void CheckModul(const ModuleAnalysis& analysis, const NameList& modul) {
  Check(static_cast<int32_t>(modul.names.size()) == analysis.MethodCount());
  for (size_t m = 0; m < modul.names.size(); ++m) Check(modul.names[m] == analysis.methods[m].name);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string text;
  if (size > 0 && data[0] & 1) {
    for (size_t i = 1; i + 1 < size; i += 2) text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  } else {
    text = Utf8ToUtf16(std::string(reinterpret_cast<const char*>(data), size));
  }
  std::vector<std::u16string> lines = SplitLines(text);
  Check(FastAnalysis(lines) == ReferenceAnalysis(lines));
  auto module = std::make_shared<MemoryTextModule>(std::move(lines));
  HostConfigurator::Set(MakeMemoryHost(module));
  ModuleAnalysis analysis;
  MethodTables tables;
  NameList modul;
  YesBoxes boxes;
  CallTree tree;
  RefreshReport report;
  auto build = [&](const ModuleAnalysis& a, MethodTables& t) { return BuildPanelTree(a, tree, t, 200000); };
  Status status = Refresh(SharedAnalyzer(), analysis, tables, modul, boxes, build, &report);
  CheckModul(analysis, modul);
  if (status.ok()) {
    Check(report.outcome == RefreshReport::Outcome::Completed);
    CheckTables(tables, modul, tree);
    Check(DumpTables(tables) == DumpAnalysis(analysis));
  } else {
    Check(report.duplicate_name.has_value());
    Check(!analysis.ok() && *report.duplicate_name == analysis.error->name);
  }
  HostConfigurator::Clear();
  return 0;
}
