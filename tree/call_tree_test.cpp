#include "tree/call_tree.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/text.h"
#include "tree/tree_test_support.h"

namespace ramulet {
namespace {

struct Built {
  ModuleAnalysis analysis;
  CallTree tree;
  Status status;
};

// Builds into `built`, which must not move afterwards.
void Build(Built& built, int32_t ceiling = kNodeCeiling) {
  built.status = BuildCallTree(built.analysis, built.tree, ceiling);
}

struct ShapeCase {
  const char* name;
  ModuleCalls module;
  const char* dump;
};

// The next analysis replaces the methods and may fail: the tree built
// before must go on showing its own module's names.
TEST(CallTreeTest, NodesKeepTheirTextsWhenTheAnalysisChanges) {
  Built built{MakeAnalysis({{"ПерваяДлиннаяПроцедураМодуля", {"ВтораяДлиннаяПроцедураМодуля"}},
                          {"ВтораяДлиннаяПроцедураМодуля", {}}}),
              {}, {}};
  Build(built);
  ASSERT_TRUE(built.status.ok());
  const std::string before = DumpTree(built.tree.nodes);
  built.analysis = MakeAnalysis({{"Другая", {}}});
  EXPECT_EQ(DumpTree(built.tree.nodes), before);
  EXPECT_EQ(built.tree.nodes.Find(u"ВтораяДлиннаяПроцедураМодуля"), 2);
  ClearCallTree(built.tree);
  EXPECT_EQ(built.tree.nodes.Count(), 0);
  EXPECT_TRUE(built.tree.nodes.Text(1).empty());
}

TEST(CallTreeTest, ShapesOfSmallModules) {
  const ShapeCase cases[] = {
      {"no calls", {{"A", {}}, {"B", {}}}, "A\nB\n"},
      {"self call", {{"A", {"A", "B"}}, {"B", {"B"}}}, "A\n  B\nB\n"},
      {"mutual recursion", {{"A", {"B"}}, {"B", {"A"}}}, "A\n  B\nB\n  A\n"},
      {"cycle of three",
       {{"A", {"B"}}, {"B", {"C"}}, {"C", {"A"}}},
       "A\n  B\n    C\nB\n  C\n    A\nC\n  A\n    B\n"},
      {"repeated references",
       {{"A", {"B", "B"}}, {"B", {"C"}}, {"C", {}}},
       "A\n  B\n    C\n  B\n    C\nB\n  C\nC\n"},
      {"reference order", {{"A", {"C", "B", "C"}}, {"B", {}}, {"C", {}}}, "A\n  C\n  B\n  C\nB\nC\n"},
      {"names differing in case", {{"Run", {"run"}}, {"run", {"Run"}}}, "Run\n  run\nrun\n  Run\n"},
      {"case is not a cut", {{"Run", {"run"}}, {"run", {}}}, "Run\n  run\nrun\n"},
      {"cut only on the own path",
       {{"A", {"B", "C"}}, {"B", {"C"}}, {"C", {"B"}}},
       "A\n  B\n    C\n  C\n    B\nB\n  C\nC\n  B\n"},
  };
  for (const ShapeCase& c : cases) {
    Built built{MakeAnalysis(c.module), {}, {}};
    Build(built);
    ASSERT_TRUE(built.status.ok()) << c.name;
    EXPECT_EQ(DumpTree(built.tree.nodes), c.dump) << c.name;
    EXPECT_EQ(built.tree.RootCount, built.analysis.MethodCount()) << c.name;
    EXPECT_FALSE(built.tree.truncated) << c.name;
    for (int32_t i = 1; i <= built.tree.nodes.Count(); ++i) {
      EXPECT_EQ(built.tree.nodes.Find(built.tree.nodes.Key(i)), i) << c.name;
    }
  }
}

// "M0" calls "M1", "M1" calls "M2", ... up to "M<count - 1>".
ModuleCalls Chain(int count) {
  ModuleCalls module;
  for (int i = 0; i < count; ++i) {
    module.push_back({"M" + std::to_string(i), {}});
    if (i + 1 < count) module.back().second.push_back("M" + std::to_string(i + 1));
  }
  return module;
}

TEST(CallTreeTest, ChainIsCutSevenLevelsBelowEachTop) {
  Built built{MakeAnalysis(Chain(10)), {}, {}};
  Build(built);
  std::string expected;
  int32_t nodes = 0;
  for (int top = 0; top < 10; ++top) {
    for (int level = 0; level <= kMaxTreeDepth && top + level < 10; ++level, ++nodes) {
      expected += std::string(2 * level, ' ') + "M" + std::to_string(top + level) + "\n";
    }
  }
  EXPECT_EQ(DumpTree(built.tree.nodes), expected);
  EXPECT_EQ(nodes, 52);
  EXPECT_EQ(built.tree.nodes.Count(), 52);
  EXPECT_EQ(built.tree.TreeDepth, 7);
}

TEST(CallTreeTest, NodesAreNumberedBreadthFirstWithKeys) {
  Built built{MakeAnalysis({{"A", {"B", "C"}}, {"B", {"D"}}, {"C", {"D"}}, {"D", {}}}), {}, {}};
  Build(built);
  const NodeStore& nodes = built.tree.nodes;
  std::string order;
  for (int32_t i = 1; i <= nodes.Count(); ++i) {
    order += std::to_string(nodes.Parent(i)) + ">" + Utf16ToUtf8(nodes.Text(i)) + " ";
  }
  // Top level 1-4; first expansion 5-8; second 9-10.
  EXPECT_EQ(order, "0>A 0>B 0>C 0>D 1>B 1>C 2>D 3>D 5>D 6>D ");
  EXPECT_EQ(nodes.Key(1), u"A");
  EXPECT_EQ(nodes.Key(10), u"$ 10");
  EXPECT_EQ(nodes.Find(u"$ 10"), 10);
  EXPECT_EQ(built.tree.TreeDepth, 3);  // the third expansion adds nothing
}

TEST(CallTreeTest, ModuleWithoutMethodsGivesAnEmptyTree) {
  Built never{ModuleAnalysis{}, {}, {}};
  Build(never);
  Built empty{MakeAnalysis({}), {}, {}};
  Build(empty);
  Built rebuilt{MakeAnalysis({{"A", {"A"}}}), {}, {}};
  Build(rebuilt);
  rebuilt.analysis = MakeAnalysis({});
  Build(rebuilt);
  for (Built* built : {&never, &empty, &rebuilt}) {
    EXPECT_TRUE(built->status.ok());
    EXPECT_EQ(built->tree.nodes.Count(), 0);
    EXPECT_EQ(built->tree.RootCount, 0);
    EXPECT_EQ(built->tree.TreeDepth, 0);
  }
}

TEST(CallTreeTest, EveryBuildRaisesTheGeneration) {
  Built built{MakeAnalysis(Chain(3)), {}, {}};
  Build(built);
  uint64_t first = built.tree.generation;
  Build(built);
  EXPECT_EQ(built.tree.generation, first + 1);
}

// Builds the tree of `analysis` and compares it node by node with the
// step-by-step build.
void ExpectStepByStepTree(ModuleAnalysis analysis, uint32_t seed) {
  Built built{std::move(analysis), {}, {}};
  Build(built);
  ASSERT_TRUE(built.status.ok());
  std::vector<ReferenceNode> expected = ReferenceBuild(built.analysis);
  ASSERT_EQ(built.tree.nodes.Count(), static_cast<int32_t>(expected.size())) << "seed " << seed;
  for (int32_t i = 1; i <= built.tree.nodes.Count(); ++i) {
    ASSERT_EQ(built.tree.nodes.Parent(i), expected[i - 1].parent) << "seed " << seed << " node " << i;
    ASSERT_EQ(built.tree.nodes.Method(i), expected[i - 1].method) << "seed " << seed << " node " << i;
  }
}

TEST(CallTreeTest, MatchesTheStepByStepBuildOnRandomModules) {
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    ExpectStepByStepTree(RandomAnalysis(seed, 1 + seed % 6, 1 + seed % 4), seed);
  }
}

// Wider modules: many top-level nodes whose paths share upper parts with the
// path marked before them, partly or not at all, and methods met again
// deeper on later paths.
TEST(CallTreeTest, MatchesTheStepByStepBuildOnWiderRandomModules) {
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    ExpectStepByStepTree(RandomAnalysis(seed, 20 + static_cast<int32_t>(seed % 41), 2 + seed % 3), seed);
  }
}

// Every one of `methods` methods calls every method.
ModuleCalls Complete(int methods) {
  ModuleCalls module;
  for (int i = 0; i < methods; ++i) module.push_back({"M" + std::to_string(i), {}});
  for (auto& method : module) {
    for (int j = 0; j < methods; ++j) method.second.push_back("M" + std::to_string(j));
  }
  return module;
}

TEST(CallTreeTest, RebuildingInPlaceEqualsAFreshBuild) {
  CallTree tree;
  ModuleAnalysis big = MakeAnalysis(Complete(8));  // 109,600 nodes: two blocks
  ASSERT_TRUE(BuildCallTree(big, tree).ok());
  EXPECT_EQ(tree.nodes.Count(), 109600);
  const size_t big_bytes = tree.nodes.MemoryBytes();
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    ModuleAnalysis analysis = RandomAnalysis(seed, 5, 3);
    ASSERT_TRUE(BuildCallTree(analysis, tree).ok());
    Built fresh{RandomAnalysis(seed, 5, 3), {}, {}};
    Build(fresh);
    EXPECT_EQ(DumpTree(tree.nodes), DumpTree(fresh.tree.nodes)) << seed;
  }
  EXPECT_GT(big_bytes, 2u * 16u * NodeStore::kBlockSize);
  EXPECT_LT(tree.nodes.MemoryBytes(), 16u * NodeStore::kBlockSize + 4096u);  // one block left
}

TEST(CallTreeTest, CeilingKeepsTheFirstNodesInOrder) {
  Built full{RandomAnalysis(7, 6, 3), {}, {}};
  Build(full);
  const int32_t total = full.tree.nodes.Count();
  const int32_t roots = full.tree.RootCount;
  ASSERT_GT(total, roots + 2);
  for (int32_t ceiling : {0, 1, roots - 1, roots, roots + 1, total / 2, total - 1, total, total + 1}) {
    Built cut{RandomAnalysis(7, 6, 3), {}, {}};
    Build(cut, ceiling);
    ASSERT_TRUE(cut.status.ok());
    const int32_t kept = std::min(ceiling, total);
    EXPECT_EQ(cut.tree.nodes.Count(), kept) << ceiling;
    EXPECT_EQ(cut.tree.truncated, ceiling < total) << ceiling;
    EXPECT_EQ(cut.tree.RootCount, std::min(roots, ceiling)) << ceiling;
    for (int32_t i = 1; i <= kept; ++i) {
      ASSERT_EQ(cut.tree.nodes.Parent(i), full.tree.nodes.Parent(i)) << ceiling << " node " << i;
      ASSERT_EQ(cut.tree.nodes.Method(i), full.tree.nodes.Method(i)) << ceiling << " node " << i;
    }
  }
}

TEST(CallTreeTest, BrokenAnalysisEndsTheBuildWithAnError) {
  for (int32_t callee : {5, 2, -1}) {
    Built bad_target{AnalysisWithCallee(2, callee), {}, {}};
    Build(bad_target);
    EXPECT_EQ(bad_target.status.code(), Status::kOutOfRange) << callee;
    EXPECT_NE(bad_target.status.message().find(std::to_string(callee)), std::string::npos) << callee;
    EXPECT_EQ(bad_target.tree.nodes.Count(), 0) << callee;
  }

  Built same_name{MakeAnalysis({{"A", {}}, {"B", {}}}), {}, {}};
  same_name.analysis.methods[1].name = u"A";
  Build(same_name);
  EXPECT_EQ(same_name.status.code(), Status::kDuplicateKey);
  EXPECT_EQ(same_name.tree.nodes.Count(), 1);

  Built negative{MakeAnalysis(Chain(2)), {}, {}};
  Build(negative, -1);
  EXPECT_EQ(negative.status.code(), Status::kInvalidArgument);
}

}  // namespace
}  // namespace ramulet
