// The command line reads the tree through FirstChild/NextSibling; these
// cases pin what it relies on when a tree object is built more than once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tree/call_tree.h"

namespace ramulet {
namespace {

MethodTables Tables(std::vector<std::u16string> names, std::vector<std::vector<CallRef>> calls) {
  MethodTables tables;
  tables.analyzed = true;
  tables.LastMeth = static_cast<int32_t>(names.size()) - 1;
  tables.MethName = std::move(names);
  tables.MethStart.assign(tables.MethName.size(), 0);
  tables.MethEnd.assign(tables.MethName.size(), std::nullopt);
  tables.Calls = std::move(calls);
  tables.Callers.assign(tables.MethName.size(), {});
  tables.IndexNames();
  return tables;
}

std::vector<int32_t> Children(const NodeStore& nodes, int32_t node) {
  std::vector<int32_t> children;
  for (int32_t child = nodes.FirstChild(node); child != NodeStore::kNoNode; child = nodes.NextSibling(child)) {
    children.push_back(child);
  }
  return children;
}

TEST(TreeRebuildTest, SecondBuildHasNoChildrenOfTheFirst) {
  CallTree tree;
  MethodTables first = Tables({u"А", u"Б"}, {{{1, 1}}, {}});
  ASSERT_TRUE(BuildCallTree(first, tree).ok());
  ASSERT_EQ(Children(tree.nodes, 1), std::vector<int32_t>{3});

  MethodTables second = Tables({u"В", u"Г", u"Д"}, {{}, {}, {}});
  ASSERT_TRUE(BuildCallTree(second, tree).ok());
  EXPECT_EQ(tree.nodes.Count(), 3);
  for (int32_t node = 1; node <= 3; ++node) {
    EXPECT_EQ(Children(tree.nodes, node), std::vector<int32_t>{}) << "node " << node;
  }
}

}  // namespace
}  // namespace ramulet
