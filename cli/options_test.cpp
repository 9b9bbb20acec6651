#include "cli/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ramulet {
namespace {

Options Parse(const std::vector<std::string>& args) {
  Options options;
  Status status = ParseOptions(args, options);
  EXPECT_TRUE(status.ok()) << status.message();
  return options;
}

TEST(OptionsTest, ReadsEveryForm) {
  Options plain = Parse({"m.bsl"});
  EXPECT_EQ(plain.input, "m.bsl");
  EXPECT_EQ(plain.form, OutputForm::Text);
  EXPECT_EQ(plain.encoding, Encoding::Auto);

  EXPECT_EQ(Parse({"--json", "m.bsl"}).form, OutputForm::Json);
  EXPECT_EQ(Parse({"m.bsl", "--dot"}).form, OutputForm::Dot);
  Options method = Parse({"--method", "Провести", "-"});
  EXPECT_EQ(method.form, OutputForm::Method);
  EXPECT_EQ(method.method, "Провести");
  EXPECT_EQ(method.input, "-");
  EXPECT_EQ(Parse({"--method=Провести", "m"}).method, "Провести");

  Options tree = Parse({"--depth", "2", "--root=Старт", "m"});
  EXPECT_EQ(tree.depth, 2);
  EXPECT_EQ(tree.root, "Старт");
  EXPECT_EQ(Parse({"--depth=0", "m"}).depth, 0);
  EXPECT_TRUE(Parse({"--json", "--no-tree", "m"}).no_tree);

  EXPECT_EQ(Parse({"--encoding", "utf-16", "m"}).encoding, Encoding::Utf16);
  EXPECT_EQ(Parse({"--encoding=cp1251", "m"}).encoding, Encoding::Cp1251);
  EXPECT_EQ(Parse({"--encoding", "utf-8", "m"}).encoding, Encoding::Utf8);
  EXPECT_EQ(Parse({"--encoding", "utf-16le", "m"}).encoding, Encoding::Utf16Le);
  EXPECT_EQ(Parse({"--encoding", "utf-16be", "m"}).encoding, Encoding::Utf16Be);

  EXPECT_EQ(Parse({"m"}).max_input_size, uint64_t{1} << 30);
  EXPECT_EQ(Parse({"--max-input-size", "1000", "m"}).max_input_size, 1000u);
  EXPECT_EQ(Parse({"--max-input-size=3k", "m"}).max_input_size, 3072u);
  EXPECT_EQ(Parse({"--max-input-size=2M", "m"}).max_input_size, uint64_t{2} << 20);
  EXPECT_EQ(Parse({"--max-input-size=4G", "m"}).max_input_size, uint64_t{4} << 30);

  // A configuration's options: --global may repeat.
  Options config = Parse({"--global", "A", "--global=Б", "--dot-methods", "CommonModule.A", "dir"});
  EXPECT_EQ(config.globals, (std::vector<std::string>{"A", "Б"}));
  EXPECT_EQ(config.form, OutputForm::DotMethods);
  EXPECT_EQ(config.dot_module, "CommonModule.A");

  EXPECT_TRUE(Parse({"--help"}).help);
  EXPECT_TRUE(Parse({"--version"}).version);
  EXPECT_EQ(Parse({"--", "--json"}).input, "--json");
}

struct BadCase {
  std::vector<std::string> args;
  const char* message_part;
};

TEST(OptionsTest, RejectsWithOneLineMessage) {
  const BadCase cases[] = {
      {{}, "no module given"},
      {{"--frobnicate", "m"}, "unknown option '--frobnicate'"},
      {{"a", "b"}, "only one module"},
      {{"--depth", "m"}, "--depth takes a whole number"},
      {{"--depth", "-1", "m"}, "--depth takes"},
      {{"--depth", "2x", "m"}, "--depth takes"},
      {{"--depth", "99999999999", "m"}, "--depth takes"},
      {{"--depth="}, "--depth takes"},
      {{"m", "--depth"}, "needs a value"},
      {{"--encoding", "latin1", "m"}, "--encoding takes utf-8, utf-16, utf-16le, utf-16be or cp1251"},
      {{"--max-input-size", "0", "m"}, "--max-input-size takes a number of bytes"},
      {{"--max-input-size", "1T", "m"}, "--max-input-size takes"},
      {{"--max-input-size", "1KB", "m"}, "--max-input-size takes"},
      {{"--max-input-size", "-5", "m"}, "--max-input-size takes"},
      {{"--max-input-size", "17179869184G", "m"}, "--max-input-size takes"},
      {{"--json", "--dot", "m"}, "cannot be combined"},
      {{"--method", "A", "--json", "m"}, "cannot be combined"},
      {{"--json", "--depth", "1", "m"}, "default output only"},
      {{"--dot", "--root", "A", "m"}, "default output only"},
      {{"--no-tree", "--depth", "1", "m"}, "--no-tree leaves out"},
      {{"--dot", "--no-tree", "m"}, "--no-tree applies"},
      {{"--json=yes", "m"}, "takes no value"},
      {{"--json", "--json", "m"}, "option '--json' was given twice"},
      {{"--method", "A", "--method", "B", "m"}, "option '--method' was given twice"},
      {{"--root=A", "--root", "B", "m"}, "option '--root' was given twice"},
      {{"--depth", "1", "--depth=2", "m"}, "option '--depth' was given twice"},
      {{"--encoding", "utf-8", "--encoding", "utf-8", "m"}, "option '--encoding' was given twice"},
      {{"--no-tree", "--no-tree", "m"}, "option '--no-tree' was given twice"},
      {{"-h", "--help"}, "option '--help' was given twice"},
      {{"--global", "", "dir"}, "--global needs"},
      {{"--global", "X", "-"}, "apply to a configuration"},
      {{"--dot-methods", "CommonModule.X", "--json", "dir"}, "cannot be combined"},
      {{"--dot-methods", "A", "--dot-methods", "B", "dir"}, "was given twice"},
      {{"a", "b"}, "only one module or configuration"},
  };
  for (const BadCase& bad : cases) {
    Options options;
    Status status = ParseOptions(bad.args, options);
    ASSERT_FALSE(status.ok()) << testing::PrintToString(bad.args);
    EXPECT_NE(status.message().find(bad.message_part), std::string::npos) << status.message();
    EXPECT_EQ(status.message().find('\n'), std::string::npos);
  }
}

}  // namespace
}  // namespace ramulet
