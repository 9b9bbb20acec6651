#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "cli/cli_test_support.h"

namespace ramulet {
namespace {

// А calls Б and В, Б calls Г.
constexpr const char* kBranching =
    "Процедура А()\n"
    "\tБ(); В();\n"
    "КонецПроцедуры\n"
    "Процедура Б()\n"
    "\tГ();\n"
    "КонецПроцедуры\n"
    "Процедура В()\n"
    "КонецПроцедуры\n"
    "Процедура Г()\n"
    "КонецПроцедуры\n";

TEST(TextOutputTest, MethodsThenTree) {
  CliRun run = RunOnStdin(kBranching);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            "<stdin>:1: А\n"
            "  calls:\n"
            "    <stdin>:2: Б\n"
            "    <stdin>:2: В\n"
            "  callers: none\n"
            "\n"
            "<stdin>:4: Б\n"
            "  calls:\n"
            "    <stdin>:5: Г\n"
            "  callers:\n"
            "    <stdin>:1: А\n"
            "\n"
            "<stdin>:7: В\n"
            "  calls: none\n"
            "  callers:\n"
            "    <stdin>:1: А\n"
            "\n"
            "<stdin>:9: Г\n"
            "  calls: none\n"
            "  callers:\n"
            "    <stdin>:4: Б\n"
            "\n"
            "Call tree:\n"
            "А\n"
            "├── Б\n"
            "│   └── Г\n"
            "└── В\n"
            "Б\n"
            "└── Г\n"
            "В\n"
            "Г\n");
}

std::string TreePart(const std::string& out) {
  size_t start = out.find("Call tree:\n");
  return start == std::string::npos ? "<no tree>" : out.substr(start + 11);
}

TEST(TextOutputTest, TreeViews) {
  struct Case {
    std::vector<std::string> args;
    const char* tree;
  };
  const Case cases[] = {
      {{"--depth", "0"}, "А\nБ\nВ\nГ\n"},
      {{"--depth", "1"}, "А\n├── Б\n└── В\nБ\n└── Г\nВ\nГ\n"},
      {{"--depth", "7"}, "А\n├── Б\n│   └── Г\n└── В\nБ\n└── Г\nВ\nГ\n"},
      {{"--root", "Б"}, "Б\n└── Г\n"},
      {{"--root", "А", "--depth", "1"}, "А\n├── Б\n└── В\n"},
      {{"--no-tree"}, "<no tree>"},
  };
  for (const Case& c : cases) {
    CliRun run = RunOnStdin(kBranching, c.args);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(TreePart(run.out), c.tree) << testing::PrintToString(c.args);
  }
}

TEST(TextOutputTest, RootMustNameAMethodExactly) {
  for (const char* root : {"Х", "а", "$ 5"}) {
    CliRun run = RunOnStdin(kBranching, {"--root", root});
    EXPECT_EQ(run.status, 2) << root;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, std::string("ramulet: no method named '") + root + "'\n");
  }
}

TEST(TextOutputTest, DeepChainStopsSevenLevelsDown) {
  std::string module;
  for (int i = 0; i < 10; ++i) {
    module += "Процедура М" + std::to_string(i) + "()\n";
    if (i < 9) module += "\tМ" + std::to_string(i + 1) + "();\n";
    module += "КонецПроцедуры\n";
  }
  CliRun run = RunOnStdin(module, {"--root", "М0"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::string tree = TreePart(run.out);
  EXPECT_NE(tree.find("                        └── М7\n"), std::string::npos) << tree;
  EXPECT_EQ(tree.find("М8"), std::string::npos) << tree;
}

TEST(TextOutputTest, ModuleWithoutMethods) {
  CliRun run = RunOnStdin("Сообщить(1);\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "<stdin>: no procedures or functions found\n");
}

TEST(MethodOutputTest, CallsAndCallersOfOneMethod) {
  CliRun run = RunOnStdin(kBranching, {"--method", "Б"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "<stdin>:4: Б\n"
            "  calls:\n"
            "    <stdin>:5: Г\n"
            "  callers:\n"
            "    <stdin>:1: А\n");
}

TEST(MethodOutputTest, UnknownOrDifferentlyCasedNameFails) {
  for (const char* name : {"Д", "б", "Б "}) {
    CliRun run = RunOnStdin(kBranching, {"--method", name});
    EXPECT_EQ(run.status, 2) << name;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, std::string("ramulet: no method named '") + name + "'\n");
  }
}

}  // namespace
}  // namespace ramulet
