#include "tree/tree_count.h"

#include <gtest/gtest.h>

#include <string>

#include "tree/tree_test_support.h"

namespace ramulet {
namespace {

// The count equals what a build adds and marks, with and without a
// ceiling; the tables stay as they were (q included).
void ExpectCountOfBuild(const MethodTables& tables, int32_t ceiling, const std::string& label) {
  MethodTables built_tables = tables;
  CallTree tree;
  Status built = BuildCallTree(built_tables, tree, ceiling);
  TreeCount count;
  MethodTables counted_tables = tables;
  Status counted = CountCallTree(counted_tables, count, ceiling);
  ASSERT_EQ(counted.code(), built.code()) << label;
  EXPECT_EQ(counted.message(), built.message()) << label;
  EXPECT_EQ(count.nodes, tree.nodes.Count()) << label;
  EXPECT_EQ(count.truncated, tree.truncated) << label;
  EXPECT_TRUE(counted_tables.q.IsEmpty()) << label;
}

TEST(TreeCountTest, CountsWhatTheBuildAddsOnRandomModules) {
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    MethodTables tables = RandomTables(seed, 1 + seed % 9, 1 + seed % 5);
    ExpectCountOfBuild(tables, kNodeCeiling, "seed " + std::to_string(seed));
  }
}

TEST(TreeCountTest, CountsUpToEveryCeiling) {
  for (uint32_t seed : {7u, 8u, 9u}) {
    MethodTables tables = RandomTables(seed, 7, 4);
    CallTree full;
    MethodTables copy = tables;
    ASSERT_TRUE(BuildCallTree(copy, full).ok());
    const int32_t total = full.nodes.Count();
    const int32_t roots = full.RootCount;
    for (int32_t ceiling : {0, 1, roots - 1, roots, roots + 1, total / 2, total - 1, total, total + 1}) {
      ExpectCountOfBuild(tables, ceiling, "seed " + std::to_string(seed) + " ceiling " + std::to_string(ceiling));
    }
  }
}

// Every method calls every method twice: repeated references, full depth.
TEST(TreeCountTest, CountsRepeatedReferencesAtFullDepth) {
  ModuleCalls module;
  for (int i = 0; i < 7; ++i) module.push_back({"M" + std::to_string(i), {}});
  for (auto& method : module) {
    for (int j = 0; j < 14; ++j) method.second.push_back("M" + std::to_string(j % 7));
  }
  MethodTables tables = MakeTables(module);
  for (int32_t ceiling : {kNodeCeiling, 100000, 1000}) {
    ExpectCountOfBuild(tables, ceiling, "ceiling " + std::to_string(ceiling));
  }
}

TEST(TreeCountTest, EmptyNotAnalysedAndBrokenTablesAsTheBuild) {
  ExpectCountOfBuild(MethodTables(), kNodeCeiling, "not analysed");
  ExpectCountOfBuild(MakeTables({}), kNodeCeiling, "no methods");
  ExpectCountOfBuild(MakeTables({{"А", {}}}), -1, "negative ceiling");
  MethodTables broken = MakeTables({{"А", {"Б"}}, {"Б", {}}});
  broken.Calls[0][0].target = 5;
  ExpectCountOfBuild(broken, kNodeCeiling, "call to a missing method");
}

}  // namespace
}  // namespace ramulet
