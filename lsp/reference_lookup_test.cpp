// The position look-up over a module's references finds every call site
// and every header of generated configurations of both generations: the
// binary search relies on the graph's order of lines and columns.
#include "lsp/reference_lookup.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "analysis/module_analyzer.h"
#include "tests/support/config_generator.h"

namespace ramulet::lsp {
namespace {

namespace fs = std::filesystem;

class ReferenceLookupTest : public ::testing::TestWithParam<ConfigShape::Generation> {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("ramulet-lookup-" + std::to_string(::getpid()));
    ASSERT_TRUE(WriteGeneratedConfiguration(DefaultConfigShape(GetParam(), 0.02), folder_.string(), nullptr).ok());
    const ModuleAnalyzer analyzer;
    LoadOptions options;
    options.threads = 1;
    ASSERT_TRUE(LoadConfiguration(analyzer, folder_.string(), options, configuration_).ok());
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  bool Finds(int32_t module, int64_t line, int64_t character, const Edge* edge) const {
    const std::vector<PositionTarget> targets = TargetsAt(configuration_, module, {line, character});
    return std::any_of(targets.begin(), targets.end(), [&](const PositionTarget& t) { return t.edge == edge; });
  }

  fs::path folder_;
  Configuration configuration_;
};

TEST_P(ReferenceLookupTest, FindsEveryCallSiteAndHeader) {
  size_t sites = 0;
  for (int32_t m = 0; m < static_cast<int32_t>(configuration_.modules.size()); ++m) {
    for (const Edge& edge : CodeEdgesOf(configuration_, m)) {
      const int32_t length = CallSiteLength(configuration_, edge);
      ASSERT_GT(length, 0);
      EXPECT_TRUE(Finds(m, edge.from.line, edge.from.column, &edge)) << m << " " << edge.from.line;
      EXPECT_TRUE(Finds(m, edge.from.line, edge.from.column + length - 1, &edge));
      EXPECT_FALSE(Finds(m, edge.from.line, edge.from.column + length, &edge));
      ++sites;
    }
    const std::vector<MethodInfo>& methods = configuration_.modules[static_cast<size_t>(m)].analysis.methods;
    for (int32_t i = 0; i < static_cast<int32_t>(methods.size()); ++i) {
      const std::vector<PositionTarget> targets =
          TargetsAt(configuration_, m,
                    {methods[static_cast<size_t>(i)].header_line, methods[static_cast<size_t>(i)].name_column});
      ASSERT_EQ(targets.size(), 1u);
      EXPECT_EQ(targets[0].module, m);
      EXPECT_EQ(targets[0].method, i);
      EXPECT_EQ(targets[0].edge, nullptr);
    }
  }
  EXPECT_GT(sites, 100u);
}

INSTANTIATE_TEST_SUITE_P(BothGenerations, ReferenceLookupTest,
                         ::testing::Values(ConfigShape::Generation::kNewer, ConfigShape::Generation::kOld));

}  // namespace
}  // namespace ramulet::lsp
