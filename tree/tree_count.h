#pragma once

#include <cstdint>

#include "analysis/module_analysis.h"
#include "platform/status.h"
#include "tree/call_tree.h"

namespace ramulet {

// How many nodes BuildCallTree would add with the same ceiling, and whether
// it would mark the tree truncated.
struct TreeCount {
  int32_t nodes = 0;
  bool truncated = false;
};

// Counts the call tree without building it: the same rules (every method
// at the top, at most kMaxTreeDepth levels of callees, a branch cut where a
// method would repeat one on its path, at most `ceiling` nodes), the same
// errors, no node stored. Meant for modules the analysis read, whose
// method names are unique and hold no "$" or space: the node keys that a
// build could find taken for other names are not looked at.
Status CountCallTree(const ModuleAnalysis& module, TreeCount& count, int32_t ceiling = kNodeCeiling);

}  // namespace ramulet
