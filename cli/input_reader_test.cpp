#include "cli/input_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace ramulet {
namespace {

namespace fs = std::filesystem;

fs::path TempPath() {
  static const unsigned salt = std::random_device()();
  std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
  return fs::temp_directory_path() / ("ramulet-" + test + "-" + std::to_string(salt) + ".bsl");
}

void Write(const fs::path& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << bytes;
}

TEST(InputReaderTest, InputsUpToTheLimitAreReadAndLargerOnesRefused) {
  struct Case {
    const char* name;
    size_t size;
    uint64_t limit;
    bool read;
  };
  const Case cases[] = {
      {"empty", 0, 1, true},
      {"at the limit", 70000, 70000, true},
      {"one byte over", 70001, 70000, false},
      {"far over, in chunks", 300000, 1000, false},
  };
  for (const Case& c : cases) {
    const std::string bytes(c.size, 'x');
    fs::path path = TempPath();
    Write(path, bytes);
    std::istringstream stdin_stream(bytes);
    for (const std::string& input : {path.string(), std::string("-")}) {
      std::string read = "old";
      Status status = ReadInput(input, stdin_stream, c.limit, read);
      EXPECT_EQ(status.ok(), c.read) << c.name << " " << input;
      if (c.read) {
        EXPECT_EQ(read, bytes) << c.name;
      } else {
        EXPECT_EQ(status.message(), (input == "-" ? std::string(kStdinName) : input) +
                                        ": the input is larger than the limit of " + std::to_string(c.limit) +
                                        " bytes (see --max-input-size)");
      }
    }
    fs::remove(path);
  }
}

// An editor saving the file in place while it is read: the size the file
// had when opened is not what is read.
TEST(InputReaderTest, AFileThatChangesSizeWhileReadFails) {
  fs::path path = TempPath();
  for (uintmax_t now : {uintmax_t{10}, uintmax_t{0}, uintmax_t{200000}}) {
    Write(path, std::string(100000, 'a'));
    std::FILE* file = std::fopen(path.string().c_str(), "rb");
    ASSERT_NE(file, nullptr);
    fs::resize_file(path, now);
    std::string bytes;
    Status status = ReadRegularFile(file, 100000, "m.bsl", bytes);
    std::fclose(file);
    EXPECT_EQ(status.message(), "m.bsl: the file changed while it was read") << now;
    EXPECT_TRUE(bytes.empty());
  }
  fs::remove(path);
}

TEST(InputReaderTest, AFileThatCannotBeOpenedSaysWhy) {
  std::istringstream none;
  std::string bytes;
  Status status = ReadInput("/nonexistent/m.bsl", none, kDefaultMaxInputSize, bytes);
  EXPECT_EQ(status.message(), "/nonexistent/m.bsl: cannot open the file: No such file or directory");
}

}  // namespace
}  // namespace ramulet
