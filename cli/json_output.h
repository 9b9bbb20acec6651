#pragma once

#include <ostream>

#include "cli/analysis_run.h"
#include "platform/status.h"

namespace ramulet {

// The analysis as one JSON document on one line:
// {"lineCount", "methods", "nodeCount", "tree", "truncated"} with 0-based
// line indices. With `include_tree` false, "tree" is [] while "nodeCount"
// still counts the nodes. When `analysis` failed, "methods" holds the
// methods recorded before the failure (without calls or callers), the tree
// is empty, and an "error" member ends the document.
void WriteJson(const AnalysisResult& result, const Status& analysis, bool include_tree, std::ostream& out);

}  // namespace ramulet
