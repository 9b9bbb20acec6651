#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "analysis/method_tables.h"
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

// The step that builds the call tree once the analysis has run.
using TreeStep = std::function<Status(MethodTables&)>;

inline constexpr int32_t kLargeModuleLines = 10000;

// The refresh behind the button "Обновить": finds the active text module
// through HostConfigurator, asks `boxes` before reading a module of
// kLargeModuleLines lines or more, runs the line analysis on it
// (analysis/line_analysis.h), lists the methods in `modul`, then runs
// `build_tree`. The analysis reads each line once per pass.
Status Refresh(MethodTables& tables, MethodList& modul, MessageBoxes& boxes, const TreeStep& build_tree,
               RefreshReport* report = nullptr);

}  // namespace ramulet
