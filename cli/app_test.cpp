#include "cli/app.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "cli/cli_test_support.h"

namespace ramulet {
namespace {

using namespace std::string_literals;

constexpr const char* kModule = "Процедура А()\n\tБ();\nКонецПроцедуры\nПроцедура Б()\nКонецПроцедуры\n";

CliRun RunArgs(const std::vector<std::string>& args) {
  std::istringstream in;
  std::ostringstream out;
  std::ostringstream err;
  int status = RunCli(args, in, out, err);
  return {status, out.str(), err.str()};
}

TEST(AppTest, ExitStatusAndMessages) {
  struct Case {
    const char* name;
    std::string module;
    std::vector<std::string> args;
    int status;
    const char* err;
  };
  const Case cases[] = {
      {"Analysed", kModule, {}, 0, ""},
      {"UnknownOption", kModule, {"--colour"}, 2, "ramulet: unknown option '--colour' (see ramulet --help)\n"},
      {"BadDepth", kModule, {"--depth", "x"}, 2,
       "ramulet: --depth takes a whole number of levels, 0 or more, not 'x' (see ramulet --help)\n"},
      {"ForcedUtf8Invalid", "\xCF\xF0", {"--encoding", "utf-8"}, 2,
       "ramulet: <stdin>: invalid UTF-8 at byte 1: byte 0xF0 breaks a character\n"},
      {"OddUtf16", "\xFF\xFE\x41", {}, 2, "ramulet: <stdin>: invalid UTF-16 at byte 2: odd number of bytes (3)\n"},
      {"Duplicate", "Процедура А()\nКонецПроцедуры\nПроцедура А()\n", {}, 1,
       "<stdin>:3: error: duplicate method 'А' (first declared at line 1)\n"},
      {"NoSuchMethod", kModule, {"--method", "В"}, 2, "ramulet: no method named 'В'\n"},
      {"NoSuchRoot", kModule, {"--root", "В"}, 2, "ramulet: no method named 'В'\n"},
      {"RepeatedOption", kModule, {"--json", "--json"}, 2,
       "ramulet: option '--json' was given twice (see ramulet --help)\n"},
  };
  for (const Case& c : cases) {
    CliRun run = RunOnStdin(c.module, c.args);
    EXPECT_EQ(run.status, c.status) << c.name;
    EXPECT_EQ(run.err, c.err) << c.name;
  }
}

// A module that reads wrongly in the encoding chosen is never reported as
// empty in silence.
TEST(AppTest, EncodingWarnings) {
  struct Case {
    const char* name;
    std::string module;
    std::vector<std::string> args;
    const char* out_part;
    const char* err;
  };
  // kModule (49 Cyrillic letters) after a comment with one bad byte, or with
  // ten: too many to take the text for UTF-8.
  const std::string one_bad = "// \xFF\n"s + kModule;
  const std::string ten_bad = "// \xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\n"s + kModule;
  const Case cases[] = {
      {"one bad byte", one_bad, {}, "<stdin>:2: А\n",
       "<stdin>:1: warning: not valid UTF-8: 1 malformed byte sequence(s) read as U+FFFD, the first on this line\n"},
      {"UTF-8 read as cp1251 when forced", kModule, {"--encoding", "cp1251"}, "no procedures or functions found",
       "<stdin>: warning: no procedures or functions found reading the module as cp1251, but read as utf-8 it has "
       "2 (try --encoding utf-8)\n"},
      {"too damaged for UTF-8", ten_bad, {}, "no procedures or functions found",
       "<stdin>: warning: no procedures or functions found reading the module as cp1251, but read as utf-8 it has "
       "2 (try --encoding utf-8)\n"},
      {"really empty", "Сообщить(1);\n", {}, "no procedures or functions found", ""},
  };
  for (const Case& c : cases) {
    CliRun run = RunOnStdin(c.module, c.args);
    EXPECT_EQ(run.status, 0) << c.name << ": " << run.err;
    EXPECT_NE(run.out.find(c.out_part), std::string::npos) << c.name << ": " << run.out;
    EXPECT_EQ(run.err, c.err) << c.name;
  }
}

TEST(AppTest, FileErrorsAreInputErrors) {
  std::filesystem::path folder = std::filesystem::temp_directory_path();
  CliRun missing = RunArgs({(folder / "ramulet-no-such-module.bsl").string()});
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("cannot open the file"), std::string::npos) << missing.err;
  // A folder or a .MD file is a configuration; one that cannot be read at
  // all is an input error too.
  CliRun md = RunArgs({(folder / "ramulet-no-such-configuration.MD").string()});
  EXPECT_EQ(md.status, 2);
  EXPECT_NE(md.err.find("ramulet-no-such-configuration.MD"), std::string::npos) << md.err;
}

TEST(AppTest, ReadsAFileByName) {
  std::filesystem::path path = std::filesystem::temp_directory_path() / "ramulet-app-test.bsl";
  {
    std::ofstream file(path, std::ios::binary);
    file << "\xEF\xBB\xBF" << kModule;
  }
  CliRun run = RunArgs({"--method", "Б", path.string()});
  std::filesystem::remove(path);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, path.string() + ":4: Б\n  calls: none\n  callers:\n    " + path.string() + ":1: А\n");
}

// Whatever the bytes, the run ends with an analysis or an input error.
TEST(AppTest, ArbitraryBytesNeverBreakTheRun) {
  std::mt19937 random(20240607);
  for (int round = 0; round < 200; ++round) {
    std::string bytes(random() % 600, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random() % 256);
    if (round % 3 == 0) bytes = "Процедура А(\0)\n"s + bytes + "\nА();\0Процедура Б()"s;
    for (auto args : {std::vector<std::string>{}, {"--json"}, {"--dot"}}) {
      CliRun run = RunOnStdin(bytes, args);
      EXPECT_TRUE(run.status == 0 || run.status == 2) << run.err;
      if (args.size() == 1 && args[0] == "--json" && run.status == 0) {
        EXPECT_TRUE(IsWellFormedJson(run.out));
      }
    }
  }
}

TEST(AppTest, HugeLineAndNulBytes) {
  std::string module = "Процедура А()\n";
  for (int i = 0; i < 20000; ++i) module += "А(Б(";
  module += "\0\0\0"s + "\nКонецПроцедуры\nПроцедура Б()\nКонецПроцедуры\n";
  CliRun run = RunOnStdin(module, {"--json", "--no-tree"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(IsWellFormedJson(run.out));
}

}  // namespace
}  // namespace ramulet
