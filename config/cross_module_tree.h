#pragma once

#include <cstdint>

#include "platform/status.h"
#include "tree/call_tree.h"

namespace ramulet {

class Configuration;

// The call tree beneath one method that follows calls into other modules:
// the method is the top node; each node has one
// child per resolved call of its method (in any module), in the order of
// the calls, except for methods already on its path; kMaxTreeDepth levels
// below the top at most, and at most `ceiling` nodes (then `truncated`).
// Every node's text is "Module.Method".
Status BuildCrossModuleTree(const Configuration& configuration, int32_t module, int32_t method, CallTree& tree,
                            int32_t ceiling = kNodeCeiling);

}  // namespace ramulet
