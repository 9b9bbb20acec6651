#include "textio/text_decoding.h"

#include <array>
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/huge_pages.h"
#include "platform/text.h"
#include "platform/utf8_sequence.h"
#include "textio/cp1251_table.h"
#include "textio/utf8_wide.h"

namespace ramulet {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

std::string Hex(unsigned value) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "0x%02X", value & 0xFFu);
  return buffer;
}

Status Unreadable(const char* encoding, size_t offset, const std::string& why) {
  return Status::Error(Status::kInvalidArgument,
                       std::string("invalid ") + encoding + " at byte " + std::to_string(offset) + ": " + why);
}

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Makes `text` `units` long for a decoder to overwrite. A text of
// megabytes gets a huge page of room more, so that huge pages cover all of
// it where the system gives them.
void SizeForWriting(std::u16string& text, size_t units) {
  const size_t bytes = units * sizeof(char16_t);
  const size_t slack = bytes >= kHugePageSize ? kHugePageSize / sizeof(char16_t) : 0;
  text.clear();
  text.reserve(units + slack);
  PreferHugePages(text.data(), bytes, text.capacity() * sizeof(char16_t));
  text.resize(units);
}

void AppendCodePoint(char32_t cp, std::u16string& text) {
  if (cp < 0x10000) {
    text.push_back(static_cast<char16_t>(cp));
    return;
  }
  cp -= 0x10000;
  text.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
  text.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
}

// What the lead byte of a UTF-8 sequence says: its length (0 when the byte
// cannot lead one), its payload bits, and the smallest code point the
// length may carry, so that over-long forms are refused.
struct Lead {
  size_t length;
  char32_t bits;
  char32_t minimum;
};

Lead ReadLead(unsigned char byte) {
  if (byte < 0x80) return {1, byte, 0};
  if ((byte & 0xE0) == 0xC0) return {2, byte & 0x1Fu, 0x80};
  if ((byte & 0xF0) == 0xE0) return {3, byte & 0x0Fu, 0x800};
  if ((byte & 0xF8) == 0xF0) return {4, byte & 0x07u, 0x10000};
  return {0, 0, 0};
}

// The decoders below read `bytes` from `start` on; offsets in their
// messages count from the beginning of `bytes`, byte order mark included.

Status DecodeUtf8Strictly(std::string_view bytes, size_t start, std::u16string& text) {
  text.clear();
  text.reserve(bytes.size() - start);
  size_t i = start;
  while (i < bytes.size()) {
    unsigned char byte = static_cast<unsigned char>(bytes[i]);
    Lead lead = ReadLead(byte);
    if (lead.length == 0) return Unreadable("UTF-8", i, "byte " + Hex(byte) + " cannot start a character");
    if (bytes.size() - i < lead.length) return Unreadable("UTF-8", i, "the text ends inside a character");
    char32_t cp = lead.bits;
    for (size_t k = 1; k < lead.length; ++k) {
      unsigned char next = static_cast<unsigned char>(bytes[i + k]);
      if (!IsContinuation(next)) return Unreadable("UTF-8", i + k, "byte " + Hex(next) + " breaks a character");
      cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < lead.minimum) return Unreadable("UTF-8", i, "over-long form");
    if (cp >= 0xD800 && cp <= 0xDFFF) return Unreadable("UTF-8", i, "encoded surrogate");
    if (cp > 0x10FFFF) return Unreadable("UTF-8", i, "code point beyond U+10FFFF");
    AppendCodePoint(cp, text);
    i += lead.length;
  }
  return Status::Ok();
}

// UTF-8 read leniently: each maximal malformed subsequence becomes one
// U+FFFD (see ReadUtf8Step).
struct LenientUtf8 {
  std::u16string text;
  size_t valid_multibyte = 0;
  size_t invalid = 0;
  size_t first_invalid_unit = 0;  // position in `text` of the first U+FFFD
};

// Writes the units of `bytes` from `start` on into `out`, which has room
// for the units well-formed UTF-8 gives (Utf8Units) and kWideBlock more.
// Where the processor has the instructions, blocks of ASCII and two-byte
// sequences (Cyrillic) are decoded 32 bytes at a time; otherwise, and
// where a block holds anything else, runs of ASCII are widened eight bytes
// at a time and runs of two-byte sequences read in a loop of their own;
// everything else goes through ReadUtf8Step.
class LenientWriter {
 public:
  LenientWriter(std::string_view bytes, LenientUtf8& out) : bytes_(bytes), out_(out), units_(out.text.data()) {}

  void Run(size_t start) {
    const size_t size = bytes_.size();
    const bool wide = HaveWideUtf8Decoder();
    size_t i = start;
    while (i < size) {
      if (wide) i = Wide(i);
      // What the wide step left goes byte by byte for a block at least,
      // so that text it cannot read costs it one try a block.
      const size_t resume = i + kWideBlock;
      do {
        i = Ascii(i);
        i = TwoByte(i);
        if (i < size && Byte(i) >= 0x80 && !StartsTwoByte(i)) i += General(i);
      } while (i < size && i < resume);
    }
    out_.text.resize(written_);
  }

  // Room the wide step needs beyond the units it writes.
  static constexpr size_t kWideBlock = 32;

 private:
  unsigned char Byte(size_t i) const { return static_cast<unsigned char>(bytes_[i]); }

  size_t Wide(size_t i) {
    const WideUtf8Run run = DecodeAsciiAndTwoByteWide(reinterpret_cast<const unsigned char*>(bytes_.data()) + i,
                                                      bytes_.size() - i, units_ + written_);
    written_ += run.written;
    out_.valid_multibyte += run.two_byte;
    return i + run.read;
  }

  // Widens the run of ASCII bytes from `i`, eight at a time while it
  // lasts; returns where the run ends.
  size_t Ascii(size_t i) {
    const size_t size = bytes_.size();
    while (size - i >= 8 && AllAscii(i)) {
      for (size_t k = 0; k < 8; ++k) units_[written_ + k] = Byte(i + k);
      written_ += 8;
      i += 8;
    }
    while (i < size && Byte(i) < 0x80) units_[written_++] = Byte(i++);
    return i;
  }

  bool StartsTwoByte(size_t i) const {
    const unsigned char lead = Byte(i);
    return lead >= 0xC2 && lead <= 0xDF && i + 1 < bytes_.size() && IsContinuation(Byte(i + 1));
  }

  // Reads the run of well-formed two-byte sequences (Cyrillic text) from
  // `i`; returns where it ends.
  size_t TwoByte(size_t i) {
    uint64_t word;
    while (bytes_.size() - i >= 8 && FourTwoByte(i, word)) {
      for (size_t k = 0; k < 4; ++k, word >>= 16) {
        units_[written_++] = static_cast<char16_t>(((word & 0x1Fu) << 6) | ((word >> 8) & 0x3Fu));
      }
      out_.valid_multibyte += 4;
      i += 8;
    }
    while (i < bytes_.size() && StartsTwoByte(i)) {
      units_[written_++] = static_cast<char16_t>(((Byte(i) & 0x1Fu) << 6) | (Byte(i + 1) & 0x3Fu));
      ++out_.valid_multibyte;
      i += 2;
    }
    return i;
  }

  // Whether the eight bytes from `i` are four well-formed two-byte
  // sequences, each a lead 110xxxxx of at least 0xC2 (0xC0 and 0xC1 give
  // over-long forms) followed by a continuation byte; `word` gets the bytes
  // in memory order from its low byte up.
  bool FourTwoByte(size_t i, uint64_t& word) const {
    std::memcpy(&word, bytes_.data() + i, sizeof word);
    if constexpr (std::endian::native != std::endian::little) word = __builtin_bswap64(word);
    constexpr uint64_t kShape = 0xC0E0C0E0C0E0C0E0ull, kPairs = 0x80C080C080C080C0ull;
    constexpr uint64_t kLeadPayload = 0x001E001E001E001Eull;  // zero only in 0xC0 and 0xC1
    if ((word & kShape) != kPairs) return false;
    const uint64_t payload = word & kLeadPayload;
    return (payload & 0xFFFFu) && (payload & 0xFFFF0000ull) && (payload & 0xFFFF00000000ull) &&
           (payload & 0xFFFF000000000000ull);
  }

  bool AllAscii(size_t i) const {
    uint64_t word;
    std::memcpy(&word, bytes_.data() + i, sizeof word);
    return (word & 0x8080808080808080ull) == 0;
  }

  // One sequence of any form; returns the bytes it covered.
  size_t General(size_t i) {
    const Utf8Step step = ReadUtf8Step(bytes_, i);
    if (!step.well_formed) {
      // The room was counted as one unit per byte that is no continuation
      // byte: a malformed sequence that starts with one needs a unit more.
      if (IsContinuation(Byte(i))) {
        out_.text.resize(out_.text.size() + 1);
        units_ = out_.text.data();
      }
      if (out_.invalid++ == 0) out_.first_invalid_unit = written_;
      units_[written_++] = u'\uFFFD';
      return step.length;
    }
    char32_t cp = step.code_point;
    if (step.length > 1) ++out_.valid_multibyte;
    if (cp < 0x10000) {
      units_[written_++] = static_cast<char16_t>(cp);
    } else {
      cp -= 0x10000;
      units_[written_++] = static_cast<char16_t>(0xD800 + (cp >> 10));
      units_[written_++] = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
    return step.length;
  }

  std::string_view bytes_;
  LenientUtf8& out_;
  char16_t* units_;
  size_t written_ = 0;
};

// The units well-formed UTF-8 gives: one per byte that is no continuation
// byte, and one more for each lead of a four-byte sequence (a surrogate
// pair). Malformed sequences give at most this many, except those that
// start with a continuation byte, for which the writer makes room. Counted
// eight bytes at a time, so that the text's buffer is no larger than it
// needs to be: every page of it costs a fault when first written.
// How many bytes of `high_bits` (only bit 7 of a byte may be set) are set:
// the bits moved to bit 0 and summed by one multiplication, which needs no
// population-count instruction.
size_t CountHighBits(uint64_t high_bits) { return static_cast<size_t>(((high_bits >> 7) * 0x0101010101010101ull) >> 56); }

size_t Utf8Units(std::string_view bytes, size_t start) {
  constexpr uint64_t kHigh = 0x8080808080808080ull;
  size_t continuation = 0, four_byte_leads = 0;
  size_t i = start;
  for (; bytes.size() - i >= 8; i += 8) {
    uint64_t word;
    std::memcpy(&word, bytes.data() + i, sizeof word);
    // Bit 7 of each byte, with bits 6, 5 and 4 of the same byte shifted there.
    continuation += CountHighBits(word & ~(word << 1) & kHigh);
    four_byte_leads += CountHighBits(word & (word << 1) & (word << 2) & (word << 3) & kHigh);
  }
  for (; i < bytes.size(); ++i) {
    const unsigned char byte = static_cast<unsigned char>(bytes[i]);
    continuation += IsContinuation(byte) ? 1 : 0;
    four_byte_leads += byte >= 0xF0 ? 1 : 0;
  }
  return bytes.size() - start - continuation + four_byte_leads;
}

void DecodeUtf8Lenient(std::string_view bytes, size_t start, LenientUtf8& out) {
  SizeForWriting(out.text, Utf8Units(bytes, start) + LenientWriter::kWideBlock);
  LenientWriter(bytes, out).Run(start);
}

// The 1-based line holding text position `unit`; lines end at CRLF, LF or CR.
// Strict UTF-8: the fast lenient reading when it found nothing malformed,
// else the unit-by-unit reading for the message naming the offset.
Status DecodeUtf8From(std::string_view bytes, size_t start, std::u16string& text) {
  LenientUtf8 utf8;
  DecodeUtf8Lenient(bytes, start, utf8);
  if (utf8.invalid > 0) return DecodeUtf8Strictly(bytes, start, text);
  text = std::move(utf8.text);
  return Status::Ok();
}

size_t LineOfUnit(const std::u16string& text, size_t unit) {
  size_t line = 1;
  for (size_t k = 0; k < unit && k < text.size(); ++k) {
    if (text[k] == u'\n' || (text[k] == u'\r' && (k + 1 >= text.size() || text[k + 1] != u'\n'))) ++line;
  }
  return line;
}

Status DecodeUtf16From(std::string_view bytes, size_t start, bool big_endian, std::u16string& text) {
  text.clear();
  if ((bytes.size() - start) % 2 != 0) {
    return Unreadable("UTF-16", bytes.size() - 1, "odd number of bytes (" + std::to_string(bytes.size()) + ")");
  }
  text.reserve((bytes.size() - start) / 2);
  for (size_t i = start; i < bytes.size(); i += 2) {
    unsigned first = static_cast<unsigned char>(bytes[i]);
    unsigned second = static_cast<unsigned char>(bytes[i + 1]);
    text.push_back(static_cast<char16_t>(big_endian ? (first << 8) | second : (second << 8) | first));
  }
  for (size_t k = 0; k < text.size(); ++k) {
    char16_t unit = text[k];
    bool high = unit >= 0xD800 && unit <= 0xDBFF;
    bool low = unit >= 0xDC00 && unit <= 0xDFFF;
    if (high && k + 1 < text.size() && text[k + 1] >= 0xDC00 && text[k + 1] <= 0xDFFF) {
      ++k;
    } else if (high || low) {
      return Unreadable("UTF-16", start + k * 2, "unpaired surrogate");
    }
  }
  return Status::Ok();
}

}  // namespace

Status DecodeUtf8(std::string_view bytes, std::u16string& text) { return DecodeUtf8From(bytes, 0, text); }

std::u16string DecodeUtf8Replacing(std::string_view bytes, size_t& replaced) {
  LenientUtf8 utf8;
  DecodeUtf8Lenient(bytes, bytes.starts_with(kUtf8Mark) ? kUtf8Mark.size() : 0, utf8);
  replaced = utf8.invalid;
  return std::move(utf8.text);
}

const char* EncodingOptionName(Encoding encoding) {
  switch (encoding) {
    case Encoding::Utf8:
      return "utf-8";
    case Encoding::Utf16:
      return "utf-16";
    case Encoding::Utf16Le:
      return "utf-16le";
    case Encoding::Utf16Be:
      return "utf-16be";
    case Encoding::Cp1251:
      return "cp1251";
    case Encoding::Auto:
      break;
  }
  return "auto";
}

Status DecodeUtf16(std::string_view bytes, bool big_endian, std::u16string& text) {
  return DecodeUtf16From(bytes, 0, big_endian, text);
}

Status DecodeCp1251(std::string_view bytes, std::u16string& text) {
  // One table for every byte, and the one byte without a character looked
  // for only when the text held it: the loop then has no branch to take.
  static const std::array<char16_t, 256> kTable = [] {
    std::array<char16_t, 256> table{};
    for (size_t b = 0; b < 0x80; ++b) table[b] = static_cast<char16_t>(b);
    for (size_t b = 0x80; b < 0x100; ++b) table[b] = kCp1251High[b - 0x80];
    return table;
  }();
  SizeForWriting(text, bytes.size());
  bool unreadable = false;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char16_t c = kTable[static_cast<unsigned char>(bytes[i])];
    unreadable |= c == kNoCp1251Char;
    text[i] = c;
  }
  if (!unreadable) return Status::Ok();
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (kTable[static_cast<unsigned char>(bytes[i])] != kNoCp1251Char) continue;
    text.clear();
    return Unreadable("Windows-1251", i, "byte " + Hex(static_cast<unsigned char>(bytes[i])) + " has no character");
  }
  return Status::Ok();
}

namespace {

// The byte order of a UTF-16 encoding: forced, by the mark, or guessed.
bool Utf16BigEndian(std::string_view bytes, Encoding encoding, bool le_mark, bool be_mark) {
  if (encoding == Encoding::Utf16Le || encoding == Encoding::Utf16Be) return encoding == Encoding::Utf16Be;
  if (le_mark || be_mark) return be_mark;
  return GuessUtf16BigEndian(bytes);
}

Status DecodeChosen(std::string_view bytes, Encoding encoding, std::u16string& text, DecodeNotes& notes) {
  bool utf8_mark = bytes.starts_with(kUtf8Mark);
  bool le_mark = bytes.starts_with(kUtf16LeMark);
  bool be_mark = bytes.starts_with(kUtf16BeMark);
  size_t utf8_start = utf8_mark ? kUtf8Mark.size() : 0;
  notes.used = encoding;
  switch (encoding) {
    case Encoding::Utf8:
      notes.mark = utf8_mark;
      return DecodeUtf8From(bytes, utf8_start, text);
    case Encoding::Utf16:
    case Encoding::Utf16Le:
    case Encoding::Utf16Be: {
      // A forced byte order drops only its own mark.
      notes.big_endian = Utf16BigEndian(bytes, encoding, le_mark, be_mark);
      notes.mark = notes.big_endian ? be_mark : le_mark;
      return DecodeUtf16From(bytes, notes.mark ? kUtf16LeMark.size() : 0, notes.big_endian, text);
    }
    case Encoding::Cp1251:
      return DecodeCp1251(bytes, text);
    case Encoding::Auto:
      break;
  }
  notes.used = le_mark || be_mark ? Encoding::Utf16 : Encoding::Utf8;
  notes.mark = utf8_mark || le_mark || be_mark;
  notes.big_endian = be_mark;
  if (utf8_mark) return DecodeUtf8From(bytes, utf8_start, text);
  if (le_mark || be_mark) return DecodeUtf16From(bytes, kUtf16LeMark.size(), be_mark, text);
  LenientUtf8 utf8;
  DecodeUtf8Lenient(bytes, 0, utf8);
  if (utf8.invalid == 0 || utf8.valid_multibyte >= utf8.invalid * kValidUtf8PerInvalid) {
    notes.replaced = utf8.invalid;
    if (utf8.invalid > 0) notes.first_replaced_line = LineOfUnit(utf8.text, utf8.first_invalid_unit);
    text = std::move(utf8.text);
    return Status::Ok();
  }
  notes.used = Encoding::Cp1251;
  return DecodeCp1251(bytes, text);
}

void AppendUtf16Bytes(std::u16string_view text, bool big_endian, std::string& bytes) {
  const size_t start = bytes.size();
  bytes.resize(start + text.size() * 2);
  for (size_t i = 0; i < text.size(); ++i) {
    const auto high = static_cast<char>(text[i] >> 8), low = static_cast<char>(text[i] & 0xFF);
    bytes[start + 2 * i] = big_endian ? high : low;
    bytes[start + 2 * i + 1] = big_endian ? low : high;
  }
}

void AppendCp1251Bytes(std::u16string_view text, std::string& bytes) {
  // The byte of each character of 0x80 and above that Windows-1251 has.
  static const std::vector<unsigned char> kByteOf = [] {
    std::vector<unsigned char> table(0x10000, 0);
    for (unsigned k = 0; k < 128; ++k) {
      if (kCp1251High[k] != kNoCp1251Char) table[kCp1251High[k]] = static_cast<unsigned char>(0x80 + k);
    }
    return table;
  }();
  const size_t start = bytes.size();
  bytes.resize(start + text.size());
  // A text decoded from Windows-1251 holds only its characters.
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    bytes[start + i] = static_cast<char>(unit < 0x80 ? unit : kByteOf[unit]);
  }
}

}  // namespace

Status DecodeText(std::string_view bytes, Encoding encoding, std::u16string& text, DecodeNotes* notes) {
  DecodeNotes local;
  return DecodeChosen(bytes, encoding, text, notes ? *notes : local);
}

bool GuessUtf16BigEndian(std::string_view bytes) {
  const size_t size = std::min<size_t>(bytes.size(), size_t{1} << 16) & ~size_t{1};
  size_t high_even = 0, high_odd = 0;
  for (size_t i = 0; i < size; i += 2) {
    const auto even = static_cast<unsigned char>(bytes[i]), odd = static_cast<unsigned char>(bytes[i + 1]);
    high_even += even == 0x00 || even == 0x04 ? 1 : 0;
    high_odd += odd == 0x00 || odd == 0x04 ? 1 : 0;
  }
  return high_even > high_odd;
}

std::string EncodeText(std::u16string_view text, const DecodeNotes& notes) {
  std::string bytes;
  switch (notes.used) {
    case Encoding::Utf8:
      if (notes.mark) bytes = kUtf8Mark;
      AppendUtf16AsUtf8(text, bytes);
      break;
    case Encoding::Utf16:
    case Encoding::Utf16Le:
    case Encoding::Utf16Be:
      if (notes.mark) bytes = notes.big_endian ? kUtf16BeMark : kUtf16LeMark;
      AppendUtf16Bytes(text, notes.big_endian, bytes);
      break;
    case Encoding::Cp1251:
      AppendCp1251Bytes(text, bytes);
      break;
    case Encoding::Auto:
      break;
  }
  return bytes;
}

}  // namespace ramulet
