// A configuration loaded on many threads gives the result one thread gives.
// Built with -DRAMULET_TSAN=ON, the test command runs this under
// ThreadSanitizer with the analysis' own concurrency test.

#include <gtest/gtest.h>

#include <filesystem>

#include "analysis/module_analyzer.h"
#include "config/configuration.h"
#include "tests/support/config_fixture.h"
#include "tests/support/config_generator.h"

namespace ramulet {
namespace {

TEST(ConcurrentAnalysisTest, LoadsAConfigurationOnManyThreadsAsOnOne) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "ramulet-concurrent-load";
  std::filesystem::remove_all(dir);
  for (auto generation : {ConfigShape::Generation::kNewer, ConfigShape::Generation::kOld}) {
    ASSERT_TRUE(WriteGeneratedConfiguration(DefaultConfigShape(generation, 0.03), dir.string(), nullptr).ok());
    const ModuleAnalyzer analyzer;
    Configuration one, many;
    LoadOptions options;
    options.threads = 1;
    ASSERT_TRUE(LoadConfiguration(analyzer, dir.string(), options, one).ok());
    options.threads = 8;
    ASSERT_TRUE(LoadConfiguration(analyzer, dir.string(), options, many).ok());
    ASSERT_GT(one.graph.edges.size(), 100u);
    EXPECT_EQ(DescribeEdges(one), DescribeEdges(many));
    EXPECT_EQ(DescribeUnresolved(one), DescribeUnresolved(many));
    std::filesystem::remove_all(dir);
  }
}

}  // namespace
}  // namespace ramulet
