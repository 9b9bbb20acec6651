#include "panel/panel_tree.h"

#include <gtest/gtest.h>

#include "tree/tree_test_support.h"

namespace ramulet {
namespace {

// q holds, as a 32-bit integer, the number of nodes the tree holds after
// every build: a full one, a cut one, an empty one and failed ones (the
// nodes added before the failure).
TEST(PanelTreeTest, QCountsTheNodesOfEveryBuild) {
  ModuleAnalysis duplicate = MakeAnalysis({{"A", {}}, {"B", {}}});
  duplicate.methods[1].name = u"A";  // the node store refuses the second root
  struct Case {
    const char* name;
    ModuleAnalysis analysis;
    int32_t ceiling;
    int32_t code;
    int32_t nodes;
  };
  const Case cases[] = {
      {"a cycle of three", MakeAnalysis({{"A", {"B"}}, {"B", {"C"}}, {"C", {"A"}}}), kNodeCeiling, Status::kOk, 9},
      {"cut at the ceiling", MakeAnalysis({{"A", {"B"}}, {"B", {"C"}}, {"C", {"A"}}}), 4, Status::kOk, 4},
      {"no methods", MakeAnalysis({}), kNodeCeiling, Status::kOk, 0},
      {"a negative ceiling", MakeAnalysis({{"A", {}}}), -1, Status::kInvalidArgument, 0},
      {"a call to a missing method", AnalysisWithCallee(2, 7), kNodeCeiling, Status::kOutOfRange, 0},
      {"a name taken twice", duplicate, kNodeCeiling, Status::kDuplicateKey, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CallTree tree;
    MethodTables tables;
    tables.q = Variant::Text(u"before");
    Status status = BuildPanelTree(c.analysis, tree, tables, c.ceiling);
    EXPECT_EQ(status.code(), c.code) << status.message();
    EXPECT_EQ(tree.nodes.Count(), c.nodes);
    EXPECT_EQ(tables.q.type(), Variant::Type::Int32);
    EXPECT_TRUE(tables.q.EqualsNumber(c.nodes));
  }
}

}  // namespace
}  // namespace ramulet
