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

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << bytes;
}

// An input larger than the limit ends the run as soon as the limit is
// passed, also one that never ends, with a message and status 2.
TEST(BinaryTest, InputsLargerThanTheLimitAreRefused) {
  fs::path module = TempPath(".bsl");
  WriteFile(module, "\xD0\x9F\xD1\x80\xD0\xBE\xD1\x86\xD0\xB5\xD0\xB4\xD1\x83\xD1\x80\xD0\xB0 A()\n" +
                        std::string(100000, ' ') + "\n");
  struct Case {
    std::string command;
    std::string err;
  };
  const Case cases[] = {
      {kRamulet + " --max-input-size 64K /dev/zero",
       "ramulet: /dev/zero: the input is larger than the limit of 65536 bytes (see --max-input-size)\n"},
      {kRamulet + " --max-input-size=1M - </dev/zero",
       "ramulet: <stdin>: the input is larger than the limit of 1048576 bytes (see --max-input-size)\n"},
      {kRamulet + " --max-input-size 100000 " + Quote(module.string()),
       "ramulet: " + module.string() + ": the input is larger than the limit of 100000 bytes (see --max-input-size)\n"},
  };
  for (const Case& c : cases) {
    CliRun run = Shell(c.command);
    EXPECT_EQ(run.status, 2) << c.command;
    EXPECT_EQ(run.err, c.err) << c.command;
    EXPECT_EQ(run.out, "") << c.command;
  }
  CliRun raised = Shell(kRamulet + " --max-input-size 1M --no-tree " + Quote(module.string()));
  EXPECT_EQ(raised.status, 0) << raised.err;
  fs::remove(module);
}

// Memory running out is an error like any other: a message and status 2,
// not an abort.
TEST(BinaryTest, RunningOutOfMemoryIsReported) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
#endif
  fs::path module = TempPath(".bsl");
  std::string text = "\xD0\x9F\xD1\x80\xD0\xBE\xD1\x86\xD0\xB5\xD0\xB4\xD1\x83\xD1\x80\xD0\xB0 A()\n";
  for (int i = 0; i < 5000000; ++i) text += "B = 1;\n";
  WriteFile(module, text);
  CliRun run = Shell("(ulimit -v 100000; exec " + kRamulet + " --json --no-tree " + Quote(module.string()) + ")");
  fs::remove(module);
  EXPECT_EQ(run.status, 2) << run.err;
  EXPECT_EQ(run.err.rfind("ramulet: out of memory", 0), 0u) << run.err;
}

// The file cut short while it is read, as an editor saving in place does:
// the run reads the old text, the new one, or says the file changed; it
// never dies of a fault on the pages the file lost.
TEST(BinaryTest, AFileCutShortWhileReadIsNoCrash) {
  fs::path module = TempPath(".bsl");
  std::string text;
  for (int i = 0; i < 1000000; ++i) text += "A = \xD0\x9F\xD1\x80;\n";
  for (const char* delay : {"0.005", "0.03"}) {
    WriteFile(module, text);
    CliRun run = Shell("(" + kRamulet + " --json --no-tree " + Quote(module.string()) + " & sleep " + delay +
                       "; truncate -s 1000 " + Quote(module.string()) + "; wait $!)");
    EXPECT_TRUE(run.status == 0 || run.status == 2) << delay << ": " << run.status << " " << run.err;
    if (run.status == 2) {
      EXPECT_NE(run.err.find("the file changed while it was read"), std::string::npos) << run.err;
    }
  }
  fs::remove(module);
}

TEST(BinaryTest, HelpAndVersionIntoAFullDeviceFail) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  for (const char* option : {"--help", "--version"}) {
    CliRun run = Shell("(" + kRamulet + " " + option + " >/dev/full)");
    EXPECT_EQ(run.status, 2) << option;
    EXPECT_EQ(run.err, "ramulet: cannot write the output: No space left on device\n") << option;
  }
}

TEST(BinaryTest, InputAndOutputErrorsSayWhy) {
  CliRun missing = Shell(kRamulet + " /nonexistent/module.bsl");
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err, "ramulet: /nonexistent/module.bsl: cannot open the file: No such file or directory\n");
  if (fs::exists("/dev/full")) {
    CliRun full = Shell("(" + kRamulet + " " + kExample + " >/dev/full)");
    EXPECT_EQ(full.status, 2);
    EXPECT_EQ(full.err, "ramulet: cannot write the output: No space left on device\n");
  }
}

// UTF-16 without a mark in either byte order: --encoding utf-16 finds the
// order, and the hint after an automatic reading names the one that reads it.
TEST(BinaryTest, Utf16WithoutAMarkInEitherByteOrder) {
  const std::u16string module_text = u"Процедура Первая()\n\tВторая();\nКонецПроцедуры\nПроцедура Вторая()\nКонецПроцедуры\n";
  for (bool big_endian : {false, true}) {
    std::string bytes;
    for (char16_t unit : module_text) {
      const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
      bytes += big_endian ? std::string{high, low} : std::string{low, high};
    }
    fs::path module = TempPath(".bsl");
    WriteFile(module, bytes);
    const std::string order = big_endian ? "utf-16be" : "utf-16le";
    for (const std::string& encoding : {std::string("utf-16"), order}) {
      CliRun run = Shell(kRamulet + " --method Вторая --encoding " + encoding + " " + Quote(module.string()));
      EXPECT_EQ(run.status, 0) << encoding << ": " << run.err;
      EXPECT_NE(run.out.find(": Первая"), std::string::npos) << encoding << ": " << run.out;
    }
    CliRun guessed = Shell(kRamulet + " " + Quote(module.string()));
    EXPECT_NE(guessed.err.find("(try --encoding " + order + ")"), std::string::npos) << guessed.err;
    fs::remove(module);
  }
}

#ifdef RAMULET_DOT_BINARY
TEST(BinaryTest, GraphvizAcceptsTheDotOutput) {
  CliRun run = Shell(kRamulet + " --dot " + kExample + " | " + Quote(RAMULET_DOT_BINARY) + " -Tsvg");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_NE(run.out.find("<svg"), std::string::npos);
  EXPECT_NE(run.out.find("ОбработкаПроведения"), std::string::npos);
}

TEST(BinaryTest, GraphvizAcceptsAConfigurationsGraphs) {
  const std::filesystem::path root = std::filesystem::temp_directory_path() / "ramulet-binary-config";
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(root / "CommonModules" / "Общий");
  std::ofstream(root / "CommonModules" / "Общий" / "Module.bsl") << "Процедура П() Экспорт\nКонецПроцедуры\n";
  std::ofstream(root / "Вызов.bsl") << "Процедура Старт()\n  Общий.П();\nКонецПроцедуры\n";
  for (const char* form : {" --dot ", " --dot-methods Вызов "}) {
    CliRun run = Shell(kRamulet + form + Quote(root.string()) + " | " + Quote(RAMULET_DOT_BINARY) + " -Tsvg");
    ASSERT_EQ(run.status, 0) << form << run.err;
    EXPECT_NE(run.out.find("CommonModule.Общий"), std::string::npos) << form;
  }
  std::filesystem::remove_all(root);
}
#endif

}  // namespace
}  // namespace ramulet
