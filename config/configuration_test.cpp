#include "config/configuration.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "analysis/module_analyzer.h"

namespace ramulet {
namespace {

namespace fs = std::filesystem;

void Write(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

// An old-platform dump: the global module, a module loaded from a file at
// run time, one with a duplicate method and one that calls the global one.
TEST(LoadConfigurationTest, ReadsEveryModuleAndKeepsGoingPastAFailedOne) {
  const fs::path root = fs::temp_directory_path() / "ramulet-load-test";
  fs::remove_all(root);
  // Windows-1251 text: "Процедура Общая() Экспорт" and so on, written as bytes.
  Write(root / "ГлобальныйМодуль.1s", "\xCF\xF0\xEE\xF6\xE5\xE4\xF3\xF0\xE0 \xCE\xE1\xF9\xE0\xFF() \xDD\xEA\xF1\xEF\xEE\xF0\xF2\n"
                                     "\xCA\xEE\xED\xE5\xF6\xCF\xF0\xEE\xF6\xE5\xE4\xF3\xF0\xFB\n");
  // The others in UTF-8, which their byte order mark says.
  const std::string mark = "\xEF\xBB\xBF";
  Write(root / "Внешний.1s", mark + "#ЗагрузитьИзФайла ext.txt\n");
  Write(root / "Двойной.1s", mark + "Процедура А()\nКонецПроцедуры\nПроцедура А()\nКонецПроцедуры\n");
  Write(root / "Вызов.1s", mark + "Процедура Б()\n  Общая();\nКонецПроцедуры\n");
  const ModuleAnalyzer analyzer;
  Configuration configuration;
  LoadOptions options;
  size_t last_done = 0, last_total = 0;
  options.progress = [&](size_t done, size_t total) { last_done = done, last_total = total; };
  ASSERT_TRUE(LoadConfiguration(analyzer, root.string(), options, configuration).ok());
  EXPECT_EQ(configuration.layout, ConfigLayout::kOldDump);
  ASSERT_EQ(configuration.modules.size(), 4u);
  EXPECT_EQ(last_done, 4u);
  EXPECT_EQ(last_total, 4u);
  EXPECT_EQ(configuration.FailedModules(), 1u);

  const ConfigModule& external = configuration.modules[static_cast<size_t>(configuration.FindModule("Внешний"))];
  EXPECT_TRUE(external.external_text);
  EXPECT_EQ(external.analysis.MethodCount(), 0);
  const ConfigModule& global = configuration.modules[static_cast<size_t>(configuration.FindModule("глобальныймодуль"))];
  ASSERT_EQ(global.analysis.MethodCount(), 1);
  EXPECT_EQ(global.analysis.methods[0].name, u"Общая");
  ASSERT_EQ(configuration.graph.edges.size(), 1u);
  EXPECT_EQ(configuration.graph.edges[0].kind, EdgeKind::kGlobal);
  fs::remove_all(root);
}

TEST(LoadConfigurationTest, APathThatCannotBeReadFails) {
  const ModuleAnalyzer analyzer;
  Configuration configuration;
  const Status loaded = LoadConfiguration(analyzer, "/no/such/configuration", LoadOptions(), configuration);
  EXPECT_FALSE(loaded.ok());
  EXPECT_NE(loaded.message().find("/no/such/configuration"), std::string::npos) << loaded.message();
}

}  // namespace
}  // namespace ramulet
