#include "config/resolver.h"

#include "config/configuration.h"

namespace ramulet {

void ResolveReferences(const Configuration& configuration, CallGraph& graph) {
  graph = CallGraph();
  graph.IndexCallees(configuration.modules.size());
}

}  // namespace ramulet
