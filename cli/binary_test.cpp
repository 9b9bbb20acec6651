// Runs the built `ramulet` program the way a shell user would.
#include <gtest/gtest.h>

#include <random>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/cli_test_support.h"

namespace ramulet {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string Quote(const std::string& text) { return "'" + text + "'"; }

// A file name of this test's own: ctest runs the tests side by side.
fs::path TempPath(const std::string& suffix) {
  static const unsigned salt = std::random_device()();
  std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
  return fs::temp_directory_path() / ("ramulet-" + test + "-" + std::to_string(salt) + suffix);
}

// Runs `command` through the shell; returns its exit status and output.
CliRun Shell(const std::string& command) {
  fs::path out = TempPath(".out");
  fs::path err = TempPath(".err");
  int raw = std::system((command + " >" + Quote(out.string()) + " 2>" + Quote(err.string())).c_str());
  int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  CliRun run{status, ReadFile(out), ReadFile(err)};
  fs::remove(out);
  fs::remove(err);
  return run;
}

const std::string kRamulet = Quote(RAMULET_CLI_BINARY);
const std::string kExample = Quote(RAMULET_EXAMPLE_MODULE);

TEST(BinaryTest, ExampleModuleShowsMethodsAndTree) {
  CliRun run = Shell(kRamulet + " " + kExample);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_NE(run.out.find("Call tree:\n"), std::string::npos);
  EXPECT_NE(run.out.find("├── "), std::string::npos);
  EXPECT_NE(run.out.find(std::string(RAMULET_EXAMPLE_MODULE) + ":"), std::string::npos);
}

TEST(BinaryTest, ExampleModuleJsonIsWellFormed) {
  CliRun run = Shell(kRamulet + " --json " + kExample);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(IsWellFormedJson(run.out));
  EXPECT_EQ(run.out.rfind("{\"lineCount\": ", 0), 0u);
  EXPECT_NE(run.out.find("\"truncated\": false}\n"), std::string::npos);
}

TEST(BinaryTest, StandardInputWithCrLf) {
  fs::path module = TempPath(".bsl");
  {
    std::ofstream file(module, std::ios::binary);
    file << "Процедура A()\r\n\tB();\r\nКонецПроцедуры\r\nПроцедура B()\r\n";
  }
  CliRun run = Shell("cat " + Quote(module.string()) + " | " + kRamulet + " --method B -");
  fs::remove(module);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "<stdin>:4: B\n  calls: none\n  callers:\n    <stdin>:1: A\n");
}

TEST(BinaryTest, ExitStatusForUsageAndInputErrors) {
  EXPECT_EQ(Shell(kRamulet + " --bogus " + kExample).status, 2);
  EXPECT_EQ(Shell(kRamulet + " /nonexistent/module.bsl").status, 2);
  EXPECT_EQ(Shell(kRamulet).status, 2);
  EXPECT_EQ(Shell("printf 'a\\230b' | " + kRamulet + " --encoding cp1251 -").status, 2);
  CliRun help = Shell(kRamulet + " --help");
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("Usage: ramulet", 0), 0u);
  CliRun version = Shell(kRamulet + " --version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "ramulet 1.0.0\n");
}

TEST(BinaryTest, BinaryGarbageEndsCleanly) {
  CliRun run = Shell("head -c 65536 " + Quote(RAMULET_CLI_BINARY) + " | " + kRamulet + " --json -");
  EXPECT_TRUE(run.status == 0 || run.status == 2) << run.status << run.err;
}

// The program ends as soon as its output is written, without tearing the
// analysis down: what it wrote must all arrive (through a pipe as in a
// file), and a failed write must still fail the run.
TEST(BinaryTest, OutputArrivesWholeAndAFailedWriteFails) {
  fs::path module = TempPath(".bsl");
  {
    std::ofstream file(module, std::ios::binary);
    for (int i = 0; i < 3000; ++i) {
      file << "\xD0\x9F\xD1\x80\xD0\xBE\xD1\x86\xD0\xB5\xD0\xB4\xD1\x83\xD1\x80\xD0\xB0 M" << i << "()\n"
           << "  M" << (i + 1) % 3000 << "();\n  M" << (i + 7) % 3000 << "();\n"
           << "\xD0\x9A\xD0\xBE\xD0\xBD\xD0\xB5\xD1\x86\xD0\x9F\xD1\x80\xD0\xBE\xD1\x86\xD0\xB5\xD0\xB4\xD1\x83\xD1\x80\xD1\x8B\n";
    }
  }
  CliRun to_file = Shell(kRamulet + " --json --no-tree " + Quote(module.string()));
  CliRun to_pipe = Shell(kRamulet + " --json --no-tree " + Quote(module.string()) + " | cat");
  ASSERT_EQ(to_file.status, 0) << to_file.err;
  EXPECT_GT(to_file.out.size(), 100000u);
  EXPECT_TRUE(to_file.out.ends_with("\"truncated\": false}\n")) << to_file.out.substr(to_file.out.size() - 80);
  EXPECT_EQ(to_pipe.out, to_file.out);
  if (fs::exists("/dev/full")) {
    CliRun full = Shell("(" + kRamulet + " --json --no-tree " + Quote(module.string()) + " >/dev/full)");
    EXPECT_EQ(full.status, 2);
    EXPECT_NE(full.err.find("cannot write the output"), std::string::npos) << full.err;
  }
  fs::remove(module);
}

#ifdef RAMULET_DOT_BINARY
TEST(BinaryTest, GraphvizAcceptsTheDotOutput) {
  CliRun run = Shell(kRamulet + " --dot " + kExample + " | " + Quote(RAMULET_DOT_BINARY) + " -Tsvg");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_NE(run.out.find("<svg"), std::string::npos);
  EXPECT_NE(run.out.find("ОбработкаПроведения"), std::string::npos);
}
#endif

}  // namespace
}  // namespace ramulet
