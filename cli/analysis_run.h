#pragma once

#include <optional>
#include <string>
#include <vector>

#include "analysis/line_analysis.h"
#include "analysis/method_tables.h"
#include "platform/status.h"
#include "textio/text_lines.h"
#include "tree/call_tree.h"
#include "tree/tree_count.h"

namespace ramulet {

// What an analysis does about the call tree.
enum class TreeWork {
  None,   // nothing
  Count,  // counts its nodes (tree_count) without building it
  Build,  // builds it (tree, tree_built, tree_count)
};

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
  // The tree's node count and truncation, once counted or built.
  std::optional<TreeCount> tree_count;
  // Set when the analysis stopped at a header repeating a method's name.
  std::optional<DuplicateMethod> duplicate;
};

// Runs the line analysis on `lines` and does `tree_work` about the call
// tree. What it recorded until an error stays in `result`.
Status AnalyzeModule(TextLines& lines, TreeWork tree_work, AnalysisResult& result);
// The same on lines held one by one, building the tree when asked.
Status AnalyzeModule(const std::vector<std::u16string>& lines, bool build_tree, AnalysisResult& result);

}  // namespace ramulet
