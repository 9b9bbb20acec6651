#include "panel/panel_tree.h"

namespace ramulet {

Status BuildPanelTree(const ModuleAnalysis& analysis, CallTree& tree, MethodTables& tables, int32_t ceiling) {
  Status status = BuildCallTree(analysis, tree, ceiling);
  tables.q = Variant::Int32(tree.nodes.Count());
  return status;
}

}  // namespace ramulet
