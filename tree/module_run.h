#pragma once

#include <optional>

#include "analysis/module_analysis.h"
#include "analysis/module_analyzer.h"
#include "platform/line_source.h"
#include "platform/status.h"
#include "tree/call_tree.h"
#include "tree/tree_count.h"

namespace ramulet {

// What an analysis does about the call tree.
enum class TreeWork {
  None,   // nothing
  Count,  // counts its nodes (tree_count) without building it
  Build,  // builds it (tree, tree_built, tree_count)
};

// One module's analysis with its call tree, as the command line and the
// benchmarks use it. The tree cannot be copied, so a run stays where it
// was made.
struct ModuleRun {
  ModuleRun() = default;
  ModuleRun(const ModuleRun&) = delete;
  ModuleRun& operator=(const ModuleRun&) = delete;

  ModuleAnalysis analysis;
  CallTree tree;
  bool tree_built = false;
  // The tree's node count and truncation, once counted or built.
  std::optional<TreeCount> tree_count;
};

// Analyses `lines` with `analyzer` by `rules`, then, when the analysis
// succeeded, does `tree_work` about the call tree.
Status RunModule(const ModuleAnalyzer& analyzer, LineSource& lines, TreeWork tree_work, ModuleRun& run,
                 RuleSet rules = RuleSet::kPanel);

}  // namespace ramulet
