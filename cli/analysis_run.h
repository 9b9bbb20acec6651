#pragma once

#include <string>
#include <vector>

#include "analysis/method_tables.h"
#include "analysis/module_scanner.h"
#include "platform/status.h"
#include "tree/call_tree.h"

namespace ramulet {

// Everything one analysis of a module leaves. The tree cannot be copied, so
// a result stays where it was made.
struct AnalysisResult {
  AnalysisResult() = default;
  AnalysisResult(const AnalysisResult&) = delete;
  AnalysisResult& operator=(const AnalysisResult&) = delete;

  int32_t line_count = 0;
  MethodTables tables;
  CallTree tree;
  bool tree_built = false;
  std::vector<std::u16string> method_list;  // the names the refresh listed
  RefreshReport report;
};

// Runs the refresh on `lines` as the active text module: the scan, the call
// analysis and, with `build_tree`, the call tree. Answers Yes to the
// question about large modules. Fails when the refresh fails or does not
// complete; what it recorded until then stays in `result`.
Status AnalyzeModule(std::vector<std::u16string> lines, bool build_tree, AnalysisResult& result);

}  // namespace ramulet
