#pragma once

#include <ostream>

#include "tree/module_run.h"
#include "platform/status.h"

namespace ramulet {

class JsonWriter;

// The members of a module's "methods" array: each method with its in-module
// calls and callers (and, by the language's rules, kind, export and async).
// After a failed analysis the methods recorded before the failure are
// listed the same way, without calls.
void WriteJsonMethods(const ModuleAnalysis& module, JsonWriter& out);

// The analysis as one JSON document on one line:
// {"lineCount", "methods", "nodeCount", "tree", "truncated"} with 0-based
// line indices. With `include_tree` false, "tree" is [] while "nodeCount"
// still counts the nodes. When `analysis` failed, "methods" holds the
// methods recorded before the failure (without calls or callers; each ends
// where the analysis would have ended it, the last one before the line
// where it stopped), the tree
// is empty, and an "error" member ends the document.
void WriteJson(const ModuleRun& result, const Status& analysis, bool include_tree, std::ostream& out);

}  // namespace ramulet
