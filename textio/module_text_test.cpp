#include "textio/module_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ramulet {
namespace {

std::vector<std::u16string> Lines(const TextLines& lines) {
  std::vector<std::u16string> result;
  for (size_t i = 0; i < lines.size(); ++i) result.emplace_back(lines.Line(i));
  return result;
}

std::string Utf16(std::u16string_view text, bool big_endian) {
  std::string bytes;
  for (char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    bytes += big_endian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

// Each module's bytes load as the text's lines, read in the expected way,
// and the loaded module gives its exact bytes back for a second reading.
TEST(ModuleTextTest, LoadsLinesAndGivesTheBytesBack) {
  const std::u16string text = u"Процедура А()\r\nКонецПроцедуры\n";
  const std::vector<std::u16string> lines = {u"Процедура А()", u"КонецПроцедуры"};
  struct Case {
    const char* name;
    std::string bytes;
    Encoding asked;
    Encoding used;
    bool big_endian;
  };
  const std::string utf8 = "\xD0\x9F\xD1\x80\xD0\xBE\xD1\x86\xD0\xB5\xD0\xB4\xD1\x83\xD1\x80\xD0\xB0 \xD0\x90()\r\n"
                           "\xD0\x9A\xD0\xBE\xD0\xBD\xD0\xB5\xD1\x86\xD0\x9F\xD1\x80\xD0\xBE\xD1\x86\xD0\xB5\xD0\xB4"
                           "\xD1\x83\xD1\x80\xD1\x8B\n";
  const std::string cp1251 = "\xCF\xF0\xEE\xF6\xE5\xE4\xF3\xF0\xE0 \xC0()\r\n\xCA\xEE\xED\xE5\xF6\xCF\xF0\xEE\xF6\xE5\xE4\xF3\xF0\xFB\n";
  const Case cases[] = {
      {"UTF-8", utf8, Encoding::Auto, Encoding::Utf8, false},
      {"UTF-8 with a mark", "\xEF\xBB\xBF" + utf8, Encoding::Auto, Encoding::Utf8, false},
      {"UTF-8 forced, with a mark", "\xEF\xBB\xBF" + utf8, Encoding::Utf8, Encoding::Utf8, false},
      {"Windows-1251", cp1251, Encoding::Auto, Encoding::Cp1251, false},
      {"UTF-16LE with a mark", "\xFF\xFE" + Utf16(text, false), Encoding::Auto, Encoding::Utf16, false},
      {"UTF-16BE with a mark", "\xFE\xFF" + Utf16(text, true), Encoding::Auto, Encoding::Utf16, true},
      {"UTF-16LE without a mark", Utf16(text, false), Encoding::Utf16, Encoding::Utf16, false},
      {"UTF-16BE without a mark", Utf16(text, true), Encoding::Utf16, Encoding::Utf16, true},
      {"UTF-16LE forced", Utf16(text, false), Encoding::Utf16Le, Encoding::Utf16Le, false},
      {"UTF-16BE forced", Utf16(text, true), Encoding::Utf16Be, Encoding::Utf16Be, true},
  };
  for (const Case& c : cases) {
    ModuleText module;
    ASSERT_TRUE(LoadModuleText(std::string(c.bytes), c.asked, module).ok()) << c.name;
    EXPECT_EQ(Lines(module.lines), lines) << c.name;
    EXPECT_EQ(module.notes.used, c.used) << c.name;
    EXPECT_EQ(module.notes.big_endian, c.big_endian) << c.name;
    EXPECT_TRUE(module.kept_bytes.empty()) << c.name;
    EXPECT_EQ(module.Bytes(), c.bytes) << c.name;
  }
}

TEST(ModuleTextTest, MalformedUtf8KeepsItsBytesAndFailuresLeaveNothing) {
  std::string bytes;
  for (int i = 0; i < 20; ++i) bytes += "\xD0\x9F";
  bytes += "\n\xFF";
  ModuleText module;
  ASSERT_TRUE(LoadModuleText(std::string(bytes), Encoding::Auto, module).ok());
  EXPECT_EQ(module.notes.replaced, 1u);
  EXPECT_EQ(module.notes.first_replaced_line, 2u);
  EXPECT_EQ(module.Bytes(), bytes);

  Status failed = LoadModuleText("a\x98", Encoding::Cp1251, module);
  EXPECT_EQ(failed.code(), Status::kInvalidArgument);
  EXPECT_EQ(module.lines.size(), 0u);
  EXPECT_EQ(module.notes.used, Encoding::Auto);
}

TEST(ModuleTextTest, Utf16ByteOrderIsGuessedFromTheHighBytes) {
  EXPECT_FALSE(GuessUtf16BigEndian(Utf16(u"Процедура A()", false)));
  EXPECT_TRUE(GuessUtf16BigEndian(Utf16(u"Процедура A()", true)));
  EXPECT_FALSE(GuessUtf16BigEndian(Utf16(u"Procedure", false)));
  EXPECT_TRUE(GuessUtf16BigEndian(Utf16(u"Procedure", true)));
  EXPECT_FALSE(GuessUtf16BigEndian(""));  // no evidence: the Windows order
}

}  // namespace
}  // namespace ramulet
