#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/module_analysis.h"
#include "panel/method_tables.h"
#include "panel/refresh.h"
#include "tests/support/memory_host.h"
#include "tests/support/scripted_message_boxes.h"

namespace ramulet {

// A method list that keeps the names appended to it.
class RecordingMethodList : public MethodList {
 public:
  Status Clear() override {
    names.clear();
    ++clears;
    return Status::Ok();
  }
  Status Append(std::u16string_view name) override {
    names.emplace_back(name);
    return Status::Ok();
  }
  std::vector<std::u16string> names;
  int clears = 0;
};

// One refresh of an in-memory module through the thread's HostConfigurator.
struct RefreshRun {
  std::shared_ptr<HostCallLog> log = std::make_shared<HostCallLog>();
  std::shared_ptr<MemoryTextModule> module;
  ModuleAnalysis analysis;
  MethodTables tables;
  RecordingMethodList modul;
  ScriptedMessageBoxes boxes;
  RefreshReport report;
  Status status;
  int tree_builds = 0;

  // Installs a host showing `utf8_module` (lines split at '\n').
  explicit RefreshRun(std::string_view utf8_module);
  // Refreshes with SharedAnalyzer(); the tree step only counts its runs.
  Status Run();
};

// The analysis tables as text, one method a line:
//   "0 Name header=1 end=4 calls=[Other@2,Name@3] callers=[0]"
std::string DumpTables(const MethodTables& tables);

}  // namespace ramulet
