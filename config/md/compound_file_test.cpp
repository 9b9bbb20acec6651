// The compound-file reader and raw inflate on files written by libgsf's
// writer: streams of every size class read back whole, and damaged data
// fails with a message saying where.
#include "config/md/compound_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "tests/support/compound_writer.h"

namespace ramulet {
namespace {

namespace fs = std::filesystem;

fs::path TempFile(const std::string& name) {
  return fs::temp_directory_path() / ("ramulet-cf-" + std::to_string(getpid()) + "-" + name);
}

std::string Noise(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

std::string ReadAll(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

// Streams around the small-block threshold (4096) and the sector size.
std::vector<CompoundStream> SizedStreams() {
  std::vector<CompoundStream> streams;
  const size_t sizes[] = {0, 1, 511, 4095, 4096, 4097, 70000};
  for (size_t i = 0; i < std::size(sizes); ++i) {
    streams.push_back({"A/B" + std::to_string(i) + "/S", Noise(sizes[i], static_cast<unsigned>(i))});
  }
  streams.push_back({"Top", "top"});
  return streams;
}

TEST(CompoundFileTest, EveryStreamReadsBackWholeFromFileAndMemory) {
  const fs::path file = TempFile("sizes.MD");
  const std::vector<CompoundStream> streams = SizedStreams();
  ASSERT_TRUE(WriteCompoundFile(file, streams).ok());
  std::unique_ptr<CompoundFile> from_file, from_memory;
  ASSERT_TRUE(OpenCompoundFile(file, from_file).ok());
  ASSERT_TRUE(OpenCompoundFileFromMemory(ReadAll(file), "memory.MD", from_memory).ok());
  for (const CompoundFile* compound : {from_file.get(), from_memory.get()}) {
    std::vector<std::string> paths = compound->StreamPaths();
    std::sort(paths.begin(), paths.end());
    std::vector<std::string> expected;
    for (const CompoundStream& stream : streams) expected.push_back(stream.path);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(paths, expected);
    for (const CompoundStream& stream : streams) {
      std::string bytes;
      ASSERT_TRUE(compound->ReadStream(stream.path, bytes).ok()) << stream.path;
      EXPECT_EQ(bytes, stream.bytes) << stream.path;
    }
    std::string bytes;
    const Status missing = compound->ReadStream("A/Nowhere", bytes);
    EXPECT_FALSE(missing.ok());
    EXPECT_NE(missing.message().find("stream A/Nowhere"), std::string::npos) << missing.message();
  }
  fs::remove(file);
}

TEST(CompoundFileTest, FilesThatAreNoCompoundFileFailNamingTheFile) {
  const fs::path file = TempFile("not.MD");
  const std::string contents[] = {"", "just text, no compound file", std::string(4096, '\xD0'),
                                  std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(100, '\0')};
  for (const std::string& bytes : contents) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
    std::unique_ptr<CompoundFile> compound;
    const Status status = OpenCompoundFile(file, compound);
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(compound, nullptr);
    EXPECT_EQ(status.message().rfind(file.string() + ": ", 0), 0u) << status.message();
  }
  fs::remove(file);
  std::unique_ptr<CompoundFile> compound;
  const Status absent = OpenCompoundFile(file, compound);
  EXPECT_FALSE(absent.ok());
  EXPECT_NE(absent.message().find(file.string()), std::string::npos);
}

TEST(InflateTest, RawDeflateRoundTripsThroughOutputGrowth) {
  const std::string texts[] = {"", "Процедура А()\r\nКонецПроцедуры\r\n", Noise(100000, 7),
                               std::string(3 << 20, 'x')};  // 3 MiB from a few KiB: the output doubles many times
  for (const std::string& text : texts) {
    std::string inflated = "stale";
    ASSERT_TRUE(InflateRaw(DeflateRaw(text), inflated).ok()) << text.size();
    EXPECT_EQ(inflated, text);
  }
}

TEST(InflateTest, DamagedDataFailsSayingWhereAndWhy) {
  const std::string deflated = DeflateRaw(Noise(20000, 3));
  struct Case {
    const char* name;
    std::string data;
    const char* why;
  };
  const Case cases[] = {
      {"empty", "", "stops before its end"},
      {"cut in half", deflated.substr(0, deflated.size() / 2), "stops before its end"},
      {"last byte missing", deflated.substr(0, deflated.size() - 1), "stops before its end"},
      {"reserved block type", std::string("\x07\x00\x00", 3), "invalid block type"},
      {"stored length mismatch", std::string("\x01\x05\x00\x00\x00hello", 10), "invalid stored block lengths"},
  };
  for (const Case& c : cases) {
    std::string text = "stale";
    const Status status = InflateRaw(c.data, text);
    EXPECT_FALSE(status.ok()) << c.name;
    EXPECT_TRUE(text.empty()) << c.name;
    EXPECT_NE(status.message().find(c.why), std::string::npos) << c.name << ": " << status.message();
    EXPECT_NE(status.message().find("at byte "), std::string::npos) << c.name << ": " << status.message();
  }
}

}  // namespace
}  // namespace ramulet
