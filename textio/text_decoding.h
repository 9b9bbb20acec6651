#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace ramulet {

// Utf16 takes the byte order from the mark, or without one from where the
// high bytes of the text's characters fall (see GuessUtf16BigEndian);
// Utf16Le and Utf16Be force one.
enum class Encoding { Auto, Utf8, Utf16, Utf16Le, Utf16Be, Cp1251 };

// A text that is not valid UTF-8 is still read as UTF-8 when it holds at
// least this many well-formed multi-byte sequences per malformed one: a few
// damaged bytes in a UTF-8 module. Windows-1251 text, whose Cyrillic bytes
// almost never form a UTF-8 sequence, stays far below it.
inline constexpr size_t kValidUtf8PerInvalid = 10;

// How DecodeText read the bytes.
struct DecodeNotes {
  Encoding used = Encoding::Auto;  // never Auto after a successful decode
  // Malformed UTF-8 sequences read as U+FFFD, and the 1-based line of the
  // first of them (0 when there is none).
  size_t replaced = 0;
  size_t first_replaced_line = 0;
  // Whether a byte order mark was dropped, and the byte order of UTF-16:
  // with the encoding, what EncodeText needs to give the bytes back.
  bool mark = false;
  bool big_endian = false;
};

// Module bytes as UTF-16 text. Auto recognises a UTF-8 or UTF-16 byte order
// mark, then UTF-8 (well-formed, or malformed in few enough places, see
// kValidUtf8PerInvalid, each malformed sequence read as U+FFFD), and reads
// anything else as Windows-1251. A forced encoding skips the guessing but
// still drops its own mark. Bytes that the chosen encoding cannot read fail
// with kInvalidArgument and a message naming the offset.
Status DecodeText(std::string_view bytes, Encoding encoding, std::u16string& text, DecodeNotes* notes = nullptr);

// UTF-8 with each malformed sequence read as U+FFFD; a byte order mark is
// dropped. `replaced` counts the malformed sequences.
std::u16string DecodeUtf8Replacing(std::string_view bytes, size_t& replaced);

// The bytes `text` was decoded from as `notes` say, mark included; exact
// where the decoding lost nothing (every decoding but UTF-8 with malformed
// sequences read as U+FFFD, whose bytes cannot be had back).
std::string EncodeText(std::u16string_view text, const DecodeNotes& notes);

// Whether UTF-16 without a mark is big-endian: its characters' high bytes
// (0x00 for ASCII, 0x04 for Cyrillic) fall on even offsets more often than
// on odd ones. Looks at the first 64 KiB.
bool GuessUtf16BigEndian(std::string_view bytes);

// The name --encoding takes for `encoding` ("utf-8", "utf-16", "utf-16le",
// "utf-16be", "cp1251").
const char* EncodingOptionName(Encoding encoding);

// The single decoders, strict: each fails on the first unreadable byte.
Status DecodeUtf8(std::string_view bytes, std::u16string& text);
// `big_endian` chooses the byte order; the body must not start with a mark.
Status DecodeUtf16(std::string_view bytes, bool big_endian, std::u16string& text);
Status DecodeCp1251(std::string_view bytes, std::u16string& text);

}  // namespace ramulet
