#pragma once

#include <cstdint>

#include "analysis/module_analysis.h"
#include "panel/method_tables.h"
#include "platform/status.h"
#include "tree/call_tree.h"

namespace ramulet {

// BuildCallTree, then `tables.q` set to the number of nodes the tree holds:
// also after a failed build, when q counts the nodes that were added.
Status BuildPanelTree(const ModuleAnalysis& analysis, CallTree& tree, MethodTables& tables,
                      int32_t ceiling = kNodeCeiling);

}  // namespace ramulet
