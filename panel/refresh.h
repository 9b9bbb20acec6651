#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "analysis/module_analysis.h"
#include "analysis/module_analyzer.h"
#include "panel/method_tables.h"
#include "platform/message_box.h"
#include "platform/status.h"

namespace ramulet {

// What the refresh needs of the method list `Modul`.
class MethodList {
 public:
  virtual ~MethodList() = default;
  virtual Status Clear() = 0;
  virtual Status Append(std::u16string_view name) = 0;
};

// How a refresh ended.
struct RefreshReport {
  enum class Outcome { Completed, NoActiveWindow, NotTextModule, Declined, Failed };
  Outcome outcome = Outcome::Failed;
  // Set when a second header repeats a recorded name.
  std::optional<std::u16string> duplicate_name;
  int32_t duplicate_line = -1;
};

// The step that builds the call tree once the analysis has run: from the
// analysis, writing q into the tables (BuildPanelTree in panel/panel_tree.h).
using TreeStep = std::function<Status(const ModuleAnalysis&, MethodTables&)>;

inline constexpr int32_t kLargeModuleLines = 10000;

// The refresh behind the button "Обновить": finds the active text module
// through HostConfigurator, asks `boxes` before reading a module of
// kLargeModuleLines lines or more, runs `analyzer` on its text view into
// `analysis` (each line read once per pass), fills `tables` from it
// (FillMethodTables), lists the methods recorded in `modul` (also those
// recorded before an error), then runs `build_tree`.
Status Refresh(const ModuleAnalyzer& analyzer, ModuleAnalysis& analysis, MethodTables& tables, MethodList& modul,
               MessageBoxes& boxes, const TreeStep& build_tree, RefreshReport* report = nullptr);

}  // namespace ramulet
