#include "tree/module_run.h"

namespace ramulet {

namespace {

Status DoTreeWork(TreeWork tree_work, ModuleRun& run) {
  switch (tree_work) {
    case TreeWork::None:
      return Status::Ok();
    case TreeWork::Count: {
      TreeCount count;
      RAMULET_RETURN_IF_ERROR(CountCallTree(run.analysis, count));
      run.tree_count = count;
      return Status::Ok();
    }
    case TreeWork::Build:
      break;
  }
  RAMULET_RETURN_IF_ERROR(BuildCallTree(run.analysis, run.tree));
  run.tree_built = true;
  run.tree_count = TreeCount{run.tree.nodes.Count(), run.tree.truncated};
  return Status::Ok();
}

}  // namespace

Status RunModule(const ModuleAnalyzer& analyzer, LineSource& lines, TreeWork tree_work, ModuleRun& run,
                 RuleSet rules) {
  RAMULET_RETURN_IF_ERROR(analyzer.Analyze(lines, run.analysis, rules));
  return DoTreeWork(tree_work, run);
}

}  // namespace ramulet
