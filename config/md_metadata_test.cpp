// The metadata stream's brace tree: objects, their sections and owners,
// and a tolerant reading of damaged text.
#include "config/md_metadata.h"

#include <gtest/gtest.h>

#include <string>

namespace ramulet {
namespace {

// "Валюты", "Общий", "Основная" in Windows-1251.
const std::string kCurrencies = "\xC2\xE0\xEB\xFE\xF2\xFB";
const std::string kCommon = "\xCE\xE1\xF9\xE8\xE9";

TEST(MdMetadataTest, ObjectsCarryTheirSectionAndOwner) {
  const std::string text =
      "{{\"MainDataContDef\",\"1\",\"2\"},\r\n"
      "{\"SbCnts\",{\"10\",\"" +
      kCurrencies +
      "\",\"\",{\"Params\",{\"11\",\"Kurs\"}},"
      "{\"Form\",{\"12\",\"List \"\"A\"\"\"}}}},\r\n"
      "{\"Journalisters\",{\"30\",\"" +
      kCommon +
      "\",{\"Form\",{\"31\",\"Main\"}}}},\r\n"
      "{\"Documents\",{\"20\",\"Invoice\",\"\"},{\"x\",\"NotAnObject\"},{\"21\",{\"22\",\"B\"}}}}";
  const MdMetadata metadata = ParseMdMetadata(text);
  EXPECT_TRUE(metadata.problems.empty());
  struct Expected {
    const char* id;
    const char* name;
    const char* section;
    const char* owner;  // empty for none
  };
  const Expected expected[] = {
      {"10", "Валюты", "SbCnts", ""},
      {"11", "Kurs", "Params", "Валюты"},
      {"12", "List \"A\"", "Form", "Валюты"},
      {"30", "Общий", "Journalisters", ""},
      {"31", "Main", "Form", "Общий"},
      {"20", "Invoice", "Documents", ""},
      {"22", "B", "21", ""},
  };
  ASSERT_EQ(metadata.objects.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    const MdObject& object = metadata.objects[i];
    EXPECT_EQ(object.id, expected[i].id);
    EXPECT_EQ(object.name, expected[i].name);
    EXPECT_EQ(object.section, expected[i].section);
    EXPECT_EQ(object.owner < 0 ? "" : metadata.objects[object.owner].name, expected[i].owner) << object.id;
  }
  ASSERT_NE(metadata.Find("10", {"sbcnts"}), nullptr);  // sections compare without ASCII case
  EXPECT_EQ(metadata.Find("10", {"Documents"}), nullptr);
  EXPECT_EQ(metadata.Find("99", {"SbCnts"}), nullptr);
  ASSERT_NE(metadata.FindOwned("31", "Journalisters"), nullptr);
  EXPECT_EQ(metadata.FindOwned("31", "SbCnts"), nullptr);
  EXPECT_EQ(metadata.FindOwned("10", "SbCnts"), nullptr);  // the catalog has no owner
  // An object outside every section is found by no section, not even an
  // empty one.
  const MdMetadata loose = ParseMdMetadata("{{\"5\",\"A\"}}");
  ASSERT_EQ(loose.objects.size(), 1u);
  EXPECT_EQ(loose.Find("5", {"", "SbCnts"}), nullptr);
}

TEST(MdMetadataTest, DamagedTextIsReadAsFarAsItGoesAndNoted) {
  struct Case {
    const char* name;
    std::string text;
    size_t objects;
    const char* problem;  // empty: none
  };
  const Case cases[] = {
      {"empty", "", 0, ""},
      {"bare words and numbers", "{\"SbCnts\",{1,\"A\"},{\"2\",B},{\"3\",\"C\"}}", 1, ""},
      {"unclosed string", "{\"SbCnts\",{\"1\",\"A\"},{\"2\",\"B", 1, "is not closed"},
      {"unclosed lists", "{\"SbCnts\",{\"1\",\"A\"},{\"2\",\"B\"", 2, "not closed at the end"},
      {"stray closing brace", "}{\"SbCnts\",{\"1\",\"A\"}}}", 1, "without its '{'"},
      {"undefined Windows-1251 byte in a name", "{\"S\",{\"1\",\"\x98\"}}", 1, "not Windows-1251"},
      {"deep nesting", std::string(100000, '{') + "\"1\",\"A\"" + std::string(100000, '}'), 1, ""},
  };
  for (const Case& c : cases) {
    const MdMetadata metadata = ParseMdMetadata(c.text);
    EXPECT_EQ(metadata.objects.size(), c.objects) << c.name;
    if (*c.problem == '\0') {
      EXPECT_TRUE(metadata.problems.empty()) << c.name;
    } else {
      ASSERT_FALSE(metadata.problems.empty()) << c.name;
      EXPECT_NE(metadata.problems.front().find(c.problem), std::string::npos)
          << c.name << ": " << metadata.problems.front();
    }
  }
}

}  // namespace
}  // namespace ramulet
