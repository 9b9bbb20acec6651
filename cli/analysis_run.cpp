#include "cli/analysis_run.h"

namespace ramulet {

namespace {

Status DoTreeWork(TreeWork tree_work, AnalysisResult& result) {
  switch (tree_work) {
    case TreeWork::None:
      return Status::Ok();
    case TreeWork::Count: {
      TreeCount count;
      RAMULET_RETURN_IF_ERROR(CountCallTree(result.tables, count));
      result.tree_count = count;
      return Status::Ok();
    }
    case TreeWork::Build:
      break;
  }
  RAMULET_RETURN_IF_ERROR(BuildCallTree(result.tables, result.tree));
  result.tree_built = true;
  result.tree_count = TreeCount{result.tree.nodes.Count(), result.tree.truncated};
  return Status::Ok();
}

}  // namespace

Status AnalyzeModule(TextLines& lines, TreeWork tree_work, AnalysisResult& result) {
  RAMULET_RETURN_IF_ERROR(lines.LineCount(result.line_count));
  RAMULET_RETURN_IF_ERROR(AnalyzeLines(lines, result.tables, &result.duplicate));
  return DoTreeWork(tree_work, result);
}

Status AnalyzeModule(const std::vector<std::u16string>& lines, bool build_tree, AnalysisResult& result) {
  TextLines text = TextLines::FromLines(lines);
  return AnalyzeModule(text, build_tree ? TreeWork::Build : TreeWork::None, result);
}

}  // namespace ramulet
