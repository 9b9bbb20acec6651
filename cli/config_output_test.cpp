#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/app.h"
#include "cli/cli_test_support.h"

namespace ramulet {
namespace {

namespace fs = std::filesystem;

// A folder of three modules: a common module, a caller of its export and of
// its private method, and a module that declares one method twice.
class ConfigOutputTest : public testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("ramulet-config-cli-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    fs::remove_all(root_);
    Write("CommonModules/Общий/Module.bsl",
          "Функция Открытая(А) Экспорт\n  Возврат Закрытая(А);\nКонецФункции\n\n"
          "Функция Закрытая(А)\n  Возврат А;\nКонецФункции\n");
    Write("Вызов.bsl",
          "Процедура Старт()\n  Х = Общий.Открытая(1);\n  Общий.Закрытая(2);\n  Общий.Открытая(3);\nКонецПроцедуры\n");
    Write("Двойной.bsl", "Процедура П()\nКонецПроцедуры\nПроцедура П()\nКонецПроцедуры\n");
  }
  void TearDown() override { fs::remove_all(root_); }

  void Write(const std::string& relative, const std::string& text) {
    const fs::path path = root_ / fs::u8path(relative);
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }

  CliRun Run(std::vector<std::string> args) {
    args.push_back(root_.string());
    std::istringstream in;
    std::ostringstream out, err;
    const int status = RunCli(args, in, out, err);
    return {status, out.str(), err.str()};
  }

  fs::path root_;
};

TEST_F(ConfigOutputTest, JsonListsModulesEdgesAndCountsAndFailsForTheBrokenModule) {
  const CliRun run = Run({"--json"});
  EXPECT_EQ(run.status, 1) << run.err;
  ASSERT_TRUE(IsWellFormedJson(run.out)) << run.out;
  for (const char* part : {"\"layout\": \"folder\"", "\"name\": \"CommonModule.Общий\"", "\"kind\": \"duplicate-method\"",
                           "\"common\": 2", "\"inaccessible\": 1", "\"in-module\": 1", "\"via\": \"Общий\""}) {
    EXPECT_NE(run.out.find(part), std::string::npos) << part;
  }
  EXPECT_NE(run.err.find("Двойной.bsl:3: error: duplicate method 'П'"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find('\r'), std::string::npos) << "no progress line when standard error is no terminal";
}

TEST_F(ConfigOutputTest, TextMethodAndTreeCrossModules) {
  const CliRun text = Run({"--no-tree"});
  EXPECT_NE(text.out.find("  calls into other modules:\n    Вызов.bsl:2: CommonModule.Общий.Открытая (common)\n"
                          "    Вызов.bsl:3: CommonModule.Общий.Закрытая (inaccessible)\n"),
            std::string::npos)
      << text.out;
  EXPECT_NE(text.out.find("  callers from other modules:\n    Вызов.bsl:2: Вызов.Старт (common)\n"), std::string::npos);

  const CliRun method = Run({"--method", "CommonModule.Общий.Закрытая"});
  EXPECT_EQ(method.status, 1);
  EXPECT_NE(method.out.find("callers:\n    CommonModules/Общий/Module.bsl:2: CommonModule.Общий.Открытая (in-module)\n"
                            "    Вызов.bsl:3: Вызов.Старт (inaccessible)\n"),
            std::string::npos)
      << method.out;

  const CliRun tree = Run({"--root", "Вызов.Старт"});
  EXPECT_EQ(tree.out,
            "Вызов.Старт\n├── CommonModule.Общий.Открытая\n│   └── CommonModule.Общий.Закрытая\n"
            "├── CommonModule.Общий.Закрытая\n└── CommonModule.Общий.Открытая\n    └── CommonModule.Общий.Закрытая\n");
  EXPECT_EQ(Run({"--root", "Вызов.Нет"}).status, 2);
}

TEST_F(ConfigOutputTest, GraphsOfModulesAndOfOneModulesMethods) {
  const CliRun modules = Run({"--dot"});
  EXPECT_NE(modules.out.find("digraph modules"), std::string::npos);
  EXPECT_NE(modules.out.find("[weight=3, label=\"3\"]"), std::string::npos) << modules.out;
  const CliRun methods = Run({"--dot-methods", "Вызов"});
  EXPECT_NE(methods.out.find("\"CommonModule.Общий.Открытая\""), std::string::npos) << methods.out;
  EXPECT_EQ(Run({"--dot-methods", "Нет"}).status, 2);
}

TEST_F(ConfigOutputTest, OptionsOfOneModuleAreRefused) {
  EXPECT_EQ(Run({"--encoding", "cp1251"}).status, 2);
  const CliRun panel = Run({"--rules", "panel"});
  EXPECT_EQ(panel.status, 2);
  EXPECT_NE(panel.err.find("language's rules"), std::string::npos);
}

}  // namespace
}  // namespace ramulet
