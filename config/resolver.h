#pragma once

#include "config/call_graph.h"

namespace ramulet {

class Configuration;

// Resolves every reference of `configuration` (its modules analysed, their
// facts read, its named callers listed) into `graph`, edges in the order
// CallGraph describes, indexed by callee.
void ResolveReferences(const Configuration& configuration, CallGraph& graph);

}  // namespace ramulet
