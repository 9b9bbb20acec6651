#include "textio/text_decoding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace ramulet {
namespace {

// "Пр" in the encodings under test.
const std::string kUtf8 = "\xD0\x9F\xD1\x80";
const std::string kUtf16Le = std::string("\x1F\x04\x40\x04", 4);
const std::string kUtf16Be = std::string("\x04\x1F\x04\x40", 4);
const std::string kCp1251 = "\xCF\xF0";
const std::u16string kText = u"Пр";

struct DecodeCase {
  const char* name;
  std::string bytes;
  Encoding encoding;
  std::u16string expected;
};

class DecodeTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTest, Decodes) {
  std::u16string text;
  Status status = DecodeText(GetParam().bytes, GetParam().encoding, text);
  ASSERT_TRUE(status.ok()) << status.message();
  EXPECT_EQ(text, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, DecodeTest,
    testing::Values(
        DecodeCase{"Utf8Bom", "\xEF\xBB\xBF" + kUtf8, Encoding::Auto, kText},
        DecodeCase{"Utf8NoBom", kUtf8, Encoding::Auto, kText},
        DecodeCase{"Utf16LeBom", "\xFF\xFE" + kUtf16Le, Encoding::Auto, kText},
        DecodeCase{"Utf16BeBom", "\xFE\xFF" + kUtf16Be, Encoding::Auto, kText},
        DecodeCase{"Cp1251Guessed", kCp1251, Encoding::Auto, kText},
        DecodeCase{"AsciiIsUtf8", "Abc();", Encoding::Auto, u"Abc();"},
        DecodeCase{"Empty", "", Encoding::Auto, u""},
        DecodeCase{"OnlyBom", "\xEF\xBB\xBF", Encoding::Auto, u""},
        DecodeCase{"NulBytesKept", std::string("a\0b", 3), Encoding::Auto, std::u16string(u"a\0b", 3)},
        DecodeCase{"ForcedUtf8DropsBom", "\xEF\xBB\xBF" + kUtf8, Encoding::Utf8, kText},
        DecodeCase{"ForcedUtf16NoBomIsLittleEndian", kUtf16Le, Encoding::Utf16, kText},
        DecodeCase{"ForcedUtf16WithBeBom", "\xFE\xFF" + kUtf16Be, Encoding::Utf16, kText},
        // Valid UTF-8 read as Windows-1251 when told so: "Рџ" + "СЂ".
        DecodeCase{"ForcedCp1251OverUtf8", kUtf8, Encoding::Cp1251, u"\u0420\u045F\u0421\u0402"},
        DecodeCase{"Utf8FourByteIsSurrogatePair", "\xF0\x9F\x98\x80", Encoding::Utf8, u"\U0001F600"},
        DecodeCase{"Utf16PairKept", std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6), Encoding::Auto, u"\U0001F600"},
        // Too little well-formed UTF-8 beside a malformed byte: Windows-1251.
        DecodeCase{"BrokenUtf8FallsBackToCp1251", "\xD0\x9F\xCF", Encoding::Auto, u"\u0420\u045F\u041F"}),
    [](const testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.name); });

struct RejectCase {
  const char* name;
  std::string bytes;
  Encoding encoding;
  const char* message_part;
};

class RejectTest : public testing::TestWithParam<RejectCase> {};

TEST_P(RejectTest, FailsWithReadableMessage) {
  std::u16string text;
  Status status = DecodeText(GetParam().bytes, GetParam().encoding, text);
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.code(), Status::kInvalidArgument);
  EXPECT_NE(status.message().find(GetParam().message_part), std::string::npos) << status.message();
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, RejectTest,
    testing::Values(RejectCase{"ForcedUtf8LoneContinuation", "ab\x80", Encoding::Utf8, "UTF-8 at byte 2"},
                    RejectCase{"ForcedUtf8Truncated", "\xD0", Encoding::Utf8, "ends inside a character"},
                    RejectCase{"ForcedUtf8OverLong", "\xC0\xAF", Encoding::Utf8, "over-long"},
                    RejectCase{"ForcedUtf8Surrogate", "\xED\xA0\x80", Encoding::Utf8, "surrogate"},
                    RejectCase{"ForcedUtf8BeyondUnicode", "\xF4\x90\x80\x80", Encoding::Utf8, "U+10FFFF"},
                    RejectCase{"ForcedUtf8BrokenSequence", "\xE2\x28\xA1", Encoding::Utf8, "byte 1"},
                    RejectCase{"BomUtf8ButInvalid", "\xEF\xBB\xBF\xFF", Encoding::Auto, "UTF-8"},
                    RejectCase{"Utf16OddBody", "\xFF\xFE\x41\x00\x42", Encoding::Auto, "odd number of bytes"},
                    RejectCase{"ForcedUtf16Odd", "abc", Encoding::Utf16, "odd number of bytes"},
                    RejectCase{"Utf16LoneHighSurrogate", std::string("\xFF\xFE\x3D\xD8\x41\x00", 6),
                               Encoding::Auto, "unpaired surrogate"},
                    RejectCase{"Utf16LoneLowSurrogate", std::string("\xFF\xFE\x00\xDE", 4), Encoding::Auto,
                               "unpaired surrogate"},
                    RejectCase{"Cp1251Undefined98", "ab\x98", Encoding::Cp1251, "0x98"},
                    RejectCase{"GuessedCp1251Undefined98", "\xFF\x98", Encoding::Auto, "Windows-1251 at byte 1"}),
    [](const testing::TestParamInfo<RejectCase>& info) { return std::string(info.param.name); });

// Cyrillic text in Windows-1251: "Процедура Тест()\nКонецПроцедуры ёЁ №".
const std::string kCp1251Module =
    "\xCF\xF0\xEE\xF6\xE5\xE4\xF3\xF0\xE0\x20\xD2\xE5\xF1\xF2\x28\x29\x0A\xCA\xEE\xED\xE5\xF6\xCF\xF0"
    "\xEE\xF6\xE5\xE4\xF3\xF0\xFB\x20\xB8\xA8\x20\xB9";

std::string Repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

struct GuessCase {
  const char* name;
  std::string bytes;
  Encoding used;
  size_t replaced;
  size_t first_replaced_line;
  std::u16string text;  // empty: not checked
};

TEST(DecodeGuessTest, ReadsDamagedUtf8AsUtf8AndTheRestAsCp1251) {
  const std::u16string five = u"ПрПрПрПрПр";
  const GuessCase cases[] = {
      {"valid UTF-8", Repeat(kUtf8, 5), Encoding::Utf8, 0, 0, five},
      // Ten well-formed sequences for each malformed one: UTF-8, the bad byte
      // replaced, its line named (lines end at CRLF, LF or CR).
      {"one bad byte among ten letters", Repeat(kUtf8, 5) + "\r\n\n\r" + "a\xFF", Encoding::Utf8, 1, 4,
       five + u"\r\n\n\ra\uFFFD"},
      {"a truncated sequence is one replacement", Repeat(kUtf8, 5) + "\n\xD0", Encoding::Utf8, 1, 2,
       five + u"\n\uFFFD"},
      {"a broken three-byte sequence", Repeat(kUtf8, 10) + "\xE2\x28" + Repeat(kUtf8, 1), Encoding::Utf8, 1, 1,
       u""},
      {"two bad bytes need twenty letters", Repeat(kUtf8, 9) + "\xFF\xFF", Encoding::Cp1251, 0, 0, u""},
      {"two bad bytes among twenty letters", Repeat(kUtf8, 10) + "\xFF\xFF", Encoding::Utf8, 2, 1, u""},
      {"Windows-1251 module", kCp1251Module, Encoding::Cp1251, 0, 0,
       u"Процедура Тест()\nКонецПроцедуры ёЁ №"},
      // "Вё" in Windows-1251 is a well-formed UTF-8 pair.
      {"Windows-1251 with chance UTF-8 pairs", Repeat(kCp1251Module + "\xC2\xB8", 20), Encoding::Cp1251, 0, 0, u""},
      {"ASCII with one high byte", "Abc = 1; // \xE9t\xE9", Encoding::Cp1251, 0, 0, u"Abc = 1; // йtй"},
  };
  for (const GuessCase& c : cases) {
    std::u16string text;
    DecodeNotes notes;
    ASSERT_TRUE(DecodeText(c.bytes, Encoding::Auto, text, &notes).ok()) << c.name;
    EXPECT_EQ(notes.used, c.used) << c.name;
    EXPECT_EQ(notes.replaced, c.replaced) << c.name;
    EXPECT_EQ(notes.first_replaced_line, c.first_replaced_line) << c.name;
    if (!c.text.empty()) {
      EXPECT_EQ(text, c.text) << c.name;
    }
  }
}

TEST(Cp1251Test, EveryDefinedByteDecodesToItsCharacter) {
  struct Sample {
    unsigned char byte;
    char16_t expected;
  };
  const Sample samples[] = {{0x41, u'A'},     {0x80, u'Ђ'},     {0x88, u'€'},      {0x97, u'—'},
                            {0x99, u'™'},     {0xA0, u'\u00A0'}, {0xA5, u'Ґ'},     {0xA8, u'Ё'},
                            {0xAC, u'¬'},     {0xB8, u'ё'},     {0xB9, u'№'},      {0xBF, u'ї'},
                            {0xC0, u'А'},     {0xDF, u'Я'},     {0xE0, u'а'},      {0xFF, u'я'}};
  for (const Sample& sample : samples) {
    std::u16string text;
    ASSERT_TRUE(DecodeCp1251(std::string(1, static_cast<char>(sample.byte)), text).ok());
    EXPECT_EQ(text, std::u16string(1, sample.expected)) << "byte " << int{sample.byte};
  }
  int undefined = 0;
  for (int byte = 0; byte < 256; ++byte) {
    std::u16string text;
    if (!DecodeCp1251(std::string(1, static_cast<char>(byte)), text).ok()) ++undefined;
  }
  EXPECT_EQ(undefined, 1);
}

}  // namespace
}  // namespace ramulet

namespace ramulet {
namespace {

// Pieces of UTF-8, well-formed and malformed, with the units each reads as
// when read leniently on its own. Strung together at random (ASCII runs
// long and short, so that the eight-byte steps start anywhere), the whole
// reads as the pieces' units in order.
struct Piece {
  std::string bytes;
  std::u16string units;
  bool malformed;
};

TEST(DecodeUtf8ReplacingTest, ReadsRandomMixturesPieceByPiece) {
  const Piece pieces[] = {
      {"a", u"a", false},
      {"Hello, world", u"Hello, world", false},
      {"\xD0\x9F", u"П", false},
      {"\xD1\x91", u"ё", false},
      {"\xC2\xAC", u"¬", false},
      {"\xE2\x82\xAC", u"€", false},
      {"\xF0\x9F\x98\x80", u"\U0001F600", false},
      {"\x80", u"\uFFFD", true},
      {"\xBF", u"\uFFFD", true},
      {"\xFF", u"\uFFFD", true},
      {"\xC0\x80", u"\uFFFD\uFFFD", true},                  // over-long
      {"\xC1\xBF", u"\uFFFD\uFFFD", true},                  // over-long
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD", true},         // encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD", true},  // beyond U+10FFFF
      {"\xD0" "a", u"\uFFFDa", true},         // broken by ASCII
      {"\xE2\x82" "b", u"\uFFFDb", true},
  };
  std::mt19937 random(5);
  for (int round = 0; round < 500; ++round) {
    std::string bytes;
    std::u16string expected;
    size_t malformed = 0;
    const int count = static_cast<int>(random() % 40);
    for (int k = 0; k < count; ++k) {
      const Piece& piece = pieces[random() % std::size(pieces)];
      bytes += piece.bytes;
      expected += piece.units;
      malformed += static_cast<size_t>(std::count(piece.units.begin(), piece.units.end(), u'\uFFFD'));
    }
    size_t replaced = 0;
    EXPECT_EQ(DecodeUtf8Replacing(bytes, replaced), expected) << "round " << round;
    EXPECT_EQ(replaced, malformed) << "round " << round;
    std::u16string strict;
    EXPECT_EQ(DecodeUtf8(bytes, strict).ok(), malformed == 0) << "round " << round;
    if (malformed == 0) {
      EXPECT_EQ(strict, expected) << "round " << round;
    }
  }
}

// Runs of Cyrillic are read 32 bytes or four letters at a time; a piece
// other than a letter at any place in such a block or across two (over-long
// lead, lead without its continuation byte, continuation byte alone, a
// three- or four-byte sequence), after an even or odd number of ASCII bytes,
// must stop the block and be read as the general reader reads it.
TEST(DecodeUtf8ReplacingTest, OtherPiecesAnywhereInARunOfTwoByteLetters) {
  struct Other {
    std::string bytes;
    std::u16string units;
  };
  const Other others[] = {{"\xC0\x80", u"\uFFFD\uFFFD"},  {"\xC1\xBF", u"\uFFFD\uFFFD"}, {"\xD0\xD0", u"\uFFFD\uFFFD"},
                          {"\x80\x80", u"\uFFFD\uFFFD"}, {"\xE2\x82", u"\uFFFD"}, {"\xD0" "a", u"\uFFFDa"},
                          {"\xE2\x82\xAC", u"€"},       {"\xF0\x9F\x98\x80", u"\U0001F600"}, {"", u""}};
  for (const Other& other : others) {
    for (int ascii = 0; ascii < 2; ++ascii) {
      for (int before = 0; before < 40; ++before) {
        std::string bytes(ascii, 'x');
        std::u16string expected(ascii, u'x');
        for (int k = 0; k < before; ++k) bytes += "\xD0\x9F", expected += u"П";
        bytes += other.bytes, expected += other.units;
        for (int k = 0; k < 40; ++k) bytes += k % 5 ? "\xD1\x8F" : " ", expected += k % 5 ? u"я" : u" ";
        size_t replaced = 0;
        EXPECT_EQ(DecodeUtf8Replacing(bytes, replaced), expected) << ascii << " ASCII, " << before << " letters";
      }
    }
  }
}

}  // namespace
}  // namespace ramulet
