#include "tree/tree_count.h"

#include <gtest/gtest.h>

#include <string>

#include "tree/tree_test_support.h"

namespace ramulet {
namespace {

// The count equals what a build adds and marks, with and without a
// ceiling.
void ExpectCountOfBuild(const ModuleAnalysis& analysis, int32_t ceiling, const std::string& label) {
  CallTree tree;
  Status built = BuildCallTree(analysis, tree, ceiling);
  TreeCount count;
  Status counted = CountCallTree(analysis, count, ceiling);
  ASSERT_EQ(counted.code(), built.code()) << label;
  EXPECT_EQ(counted.message(), built.message()) << label;
  EXPECT_EQ(count.nodes, tree.nodes.Count()) << label;
  EXPECT_EQ(count.truncated, tree.truncated) << label;
}

TEST(TreeCountTest, CountsWhatTheBuildAddsOnRandomModules) {
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    ModuleAnalysis analysis = RandomAnalysis(seed, 1 + seed % 9, 1 + seed % 5);
    ExpectCountOfBuild(analysis, kNodeCeiling, "seed " + std::to_string(seed));
  }
}

TEST(TreeCountTest, CountsUpToEveryCeiling) {
  for (uint32_t seed : {7u, 8u, 9u}) {
    ModuleAnalysis analysis = RandomAnalysis(seed, 7, 4);
    CallTree full;
    ASSERT_TRUE(BuildCallTree(analysis, full).ok());
    const int32_t total = full.nodes.Count();
    const int32_t roots = full.RootCount;
    for (int32_t ceiling : {0, 1, roots - 1, roots, roots + 1, total / 2, total - 1, total, total + 1}) {
      ExpectCountOfBuild(analysis, ceiling, "seed " + std::to_string(seed) + " ceiling " + std::to_string(ceiling));
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
  ModuleAnalysis analysis = MakeAnalysis(module);
  for (int32_t ceiling : {kNodeCeiling, 100000, 1000}) {
    ExpectCountOfBuild(analysis, ceiling, "ceiling " + std::to_string(ceiling));
  }
}

TEST(TreeCountTest, EmptyAndBrokenAnalysisAsTheBuild) {
  ExpectCountOfBuild(ModuleAnalysis(), kNodeCeiling, "nothing analysed");
  ExpectCountOfBuild(MakeAnalysis({}), kNodeCeiling, "no methods");
  ExpectCountOfBuild(MakeAnalysis({{"А", {}}}), -1, "negative ceiling");
  ExpectCountOfBuild(AnalysisWithCallee(2, 5), kNodeCeiling, "call to a missing method");
  ExpectCountOfBuild(AnalysisWithCallee(2, -1), kNodeCeiling, "call to a negative method");
}

}  // namespace
}  // namespace ramulet
