#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "analysis/module_analyzer.h"
#include "config/config_sources.h"
#include "config/configuration.h"
#include "config/file_access.h"
#include "config/layout_test_support.h"

namespace ramulet {
namespace {

namespace fs = std::filesystem;
using testing::TempTree;

std::vector<std::string> Paths(const ConfigSources& sources) {
  std::vector<std::string> paths;
  for (const ModuleSource& m : sources.modules) paths.push_back(m.path);
  return paths;
}

size_t CountContaining(const std::vector<std::string>& lines, std::string_view part) {
  size_t count = 0;
  for (const std::string& line : lines) count += line.find(part) != std::string::npos;
  return count;
}

// Whether permissions keep this process out (they do not for root).
bool PermissionsHold(const TempTree& tree, const std::string& relative) {
  std::ifstream in(PathFromUtf8(tree.Path(relative)));
  return !in.is_open();
}

TEST(LayoutBadInputTest, RootsThatCannotBeRead) {
  TempTree tree;
  ConfigSources sources;
  Status status = ReadConfigSources(tree.Path("нет"), ReadOptions(), sources);
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(status.message(), tree.Path("нет") + ": no such folder or file");

  tree.Write("file.txt", "");
  status = ReadConfigSources(tree.Path("file.txt"), ReadOptions(), sources);
  EXPECT_FALSE(status.ok());
  EXPECT_NE(status.message().find("neither a folder nor a .MD file"), std::string::npos);

  status = ReadConfigSources("", ReadOptions(), sources);
  EXPECT_FALSE(status.ok());

  // A .MD file of any letter case goes to the .MD reader, which refuses
  // what is no compound file.
  tree.Write("conf.md", "not a compound file");
  status = ReadConfigSources(tree.Path("conf.md"), ReadOptions(), sources);
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(sources.layout, ConfigLayout::kOldMd);
}

TEST(LayoutBadInputTest, SymbolicLinksAreFollowedOnce) {
  TempTree tree;
  tree.Write("a/m.bsl", "");
  tree.Write("b/n.bsl", "");
  tree.Link("a/loop", tree.root());              // back to the root: a loop
  tree.Link("a/deeper/up", "../..");             // the same loop, by a relative link
  tree.Link("c/to-b", tree.Path("b"));           // a second way to b
  tree.Link("d", tree.Path("outside"));          // leads nowhere
  tree.Link("self.bsl", tree.Path("self.bsl"));  // a file link to itself
  tree.Write("outside-target/o.bsl", "");
  tree.Link("z", tree.Path("outside-target"));  // a folder reached only through a link
  ReadOptions options;
  ConfigSources sources;
  ASSERT_TRUE(ReadConfigSources(tree.root(), options, sources).ok());
  EXPECT_EQ(Paths(sources), (std::vector<std::string>{"a/m.bsl", "b/n.bsl", "outside-target/o.bsl"}));
  EXPECT_EQ(CountContaining(sources.problems, "symbolic link loop"), 2u);
  EXPECT_EQ(CountContaining(sources.problems, "a/loop: a symbolic link loop"), 1u);
  EXPECT_EQ(CountContaining(sources.problems, "a/deeper/up: a symbolic link loop"), 1u);
  EXPECT_EQ(CountContaining(sources.problems, "read already under another path"), 2u);  // c/to-b and z
  EXPECT_EQ(CountContaining(sources.problems, "d: a link that leads nowhere readable"), 1u);
  EXPECT_EQ(CountContaining(sources.problems, "self.bsl: a link that leads nowhere readable"), 1u);
  EXPECT_EQ(sources.problems.size(), 6u);
}

TEST(LayoutBadInputTest, FolderReachedOnlyThroughALink) {
  TempTree outside;
  outside.Write("lib/o.bsl", "");
  TempTree tree;
  tree.Write("m.bsl", "");
  tree.Link("linked", outside.Path("lib"));
  tree.Link("linked-again", outside.Path("lib"));
  ConfigSources sources;
  ASSERT_TRUE(ReadConfigSources(tree.root(), ReadOptions(), sources).ok());
  EXPECT_EQ(Paths(sources), (std::vector<std::string>{"linked/o.bsl", "m.bsl"}));
  EXPECT_EQ(sources.problems.size(), 1u);
  EXPECT_EQ(CountContaining(sources.problems, "linked-again: a link to"), 1u);

  // A link into a folder that a later link holds: the folder is read once,
  // under the first link's path.
  outside.Write("lib/sub/s.bsl", "");
  TempTree second;
  second.Link("a", outside.Path("lib/sub"));
  second.Link("b", outside.Path("lib"));
  ASSERT_TRUE(ReadConfigSources(second.root(), ReadOptions(), sources).ok());
  EXPECT_EQ(Paths(sources), (std::vector<std::string>{"a/s.bsl", "b/o.bsl"}));
  EXPECT_EQ(sources.problems, std::vector<std::string>{"b/sub: read already under another path, not read again"});
}

TEST(LayoutBadInputTest, ProblemsNameTheirPlaceFromTheRoot) {
  TempTree tree;
  tree.Write("src/Configuration/Configuration.mdo", "");
  tree.Write("src/Catalogs/К/ManagerModule.bsl", "");
  tree.Link("src/Catalogs/Сломанная", tree.Path("нет"));
  tree.Link("src/ScheduledJobs/Сломанное", tree.Path("нет"));
  ConfigSources sources;
  ASSERT_TRUE(ReadConfigSources(tree.root(), ReadOptions(), sources).ok());
  EXPECT_EQ(sources.modules.size(), 1u);
  // The jobs' link is met by the whole walk and by the jobs' own: said once.
  ASSERT_EQ(sources.problems.size(), 2u);
  EXPECT_EQ(CountContaining(sources.problems, "src/Catalogs/Сломанная: a link that leads nowhere"), 1u);
  EXPECT_EQ(CountContaining(sources.problems, "src/ScheduledJobs/Сломанное: a link that leads nowhere"), 1u);
}

TEST(LayoutBadInputTest, UnreadableFolderAndFiles) {
  TempTree tree;
  tree.Write("Configuration.xml", "");
  tree.Write("CommonModules/А/Ext/Module.bsl", "");
  tree.MakeFolder("CommonModules/А.xml");            // a flags "file" that is a folder: unreadable even for root
  tree.Write("CommonModules/Б/Ext/Module.bsl", "");  // no flags file at all
  tree.Write("Catalogs/Закрытый/Ext/ManagerModule.bsl", "");
  tree.Write("Catalogs/Открытый/Ext/ManagerModule.bsl", "");
  fs::permissions(PathFromUtf8(tree.Path("Catalogs/Закрытый")), fs::perms::none);
  ConfigSources sources;
  ASSERT_TRUE(ReadConfigSources(tree.root(), ReadOptions(), sources).ok());
  EXPECT_EQ(CountContaining(sources.problems, "CommonModules/А.xml: cannot read"), 1u);
  EXPECT_EQ(CountContaining(sources.problems, "CommonModules/Б.xml: cannot open"), 1u);
  EXPECT_EQ(CountContaining(Paths(sources), "CommonModules/"), 2u);
  EXPECT_EQ(CountContaining(Paths(sources), "Catalogs/Открытый/Ext/ManagerModule.bsl"), 1u);
  if (!PermissionsHold(tree, "Catalogs/Закрытый/Ext/ManagerModule.bsl")) GTEST_SKIP() << "permissions do not hold";
  EXPECT_EQ(CountContaining(sources.problems, "Catalogs/Закрытый: cannot read the folder"), 1u);
  EXPECT_EQ(sources.problems.size(), 3u);
}

TEST(LayoutBadInputTest, UnreadableAndEmptyModulesOfTheOldPlatform) {
  TempTree tree;
  tree.Write("ГлобальныйМодуль.1s", "");
  tree.Write("Документы/Д/МодульПроведения.1s", "Процедура П()\nКонецПроцедуры\n");
  tree.Write("Справочники/С/Форма.frm", "{\"Ф()\"}");
  fs::permissions(PathFromUtf8(tree.Path("Справочники/С/Форма.frm")), fs::perms::none);
  fs::permissions(PathFromUtf8(tree.Path("Документы/Д/МодульПроведения.1s")), fs::perms::none);
  ModuleAnalyzer analyzer;
  LoadOptions options;
  options.threads = 1;
  Configuration configuration;
  ASSERT_TRUE(LoadConfiguration(analyzer, tree.root(), options, configuration).ok());
  ASSERT_EQ(configuration.modules.size(), 2u);
  EXPECT_EQ(configuration.modules[0].name, "ГлобальныйМодуль");
  EXPECT_TRUE(configuration.modules[0].error.ok()) << configuration.modules[0].error.message();
  EXPECT_EQ(configuration.modules[0].analysis.line_count, 0);
  if (!PermissionsHold(tree, "Документы/Д/МодульПроведения.1s")) GTEST_SKIP() << "permissions do not hold";
  EXPECT_FALSE(configuration.modules[1].error.ok());
  EXPECT_EQ(CountContaining(configuration.problems, "Справочники/С/Форма.frm: cannot open"), 1u);
}

// Many entries that are no modules: the walk stays linear, so this takes a
// fraction of a second even in a sanitizer build.
TEST(LayoutBadInputTest, FolderOfManyEmptyFiles) {
  TempTree tree;
  constexpr int kFiles = 100000;
  const fs::path root = PathFromUtf8(tree.root());
  // Names linked to a few empty files are made many times faster than as
  // many new files, and read alike; a file system without hard links gets
  // new files.
  constexpr int kNamesPerFile = 50000;
  for (int i = 0; i < kFiles; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "f%06d.txt", i);
    char base[32];
    std::snprintf(base, sizeof base, "f%06d.txt", i - i % kNamesPerFile);
    std::error_code error;
    if (i % kNamesPerFile != 0) fs::create_hard_link(root / base, root / name, error);
    if (i % kNamesPerFile == 0 || error) {
      std::FILE* file = std::fopen((root / name).c_str(), "wb");
      ASSERT_NE(file, nullptr);
      std::fclose(file);
    }
  }
  tree.Write("m1.bsl", "");
  tree.Write("m0.os", "");
  ConfigSources sources;
  ASSERT_TRUE(ReadConfigSources(tree.root(), ReadOptions(), sources).ok());
  EXPECT_EQ(Paths(sources), (std::vector<std::string>{"m0.os", "m1.bsl"}));
  EXPECT_TRUE(sources.problems.empty());
}

}  // namespace
}  // namespace ramulet
