#pragma once

#include <cstdint>

#include "analysis/method_tables.h"
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
// errors, no node stored. Leaves the tables unchanged. Meant for tables
// the analysis made, whose method names are unique and hold no "$" or
// space: the node keys that a build could find taken for other tables are
// not looked at.
Status CountCallTree(const MethodTables& tables, TreeCount& count, int32_t ceiling = kNodeCeiling);

}  // namespace ramulet
