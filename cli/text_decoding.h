#pragma once

#include <string>
#include <string_view>

#include "platform/status.h"

namespace ramulet {

enum class Encoding { Auto, Utf8, Utf16, Cp1251 };

// Module bytes as UTF-16 text. Auto recognises a UTF-8 or UTF-16 byte order
// mark, then well-formed UTF-8, and reads anything else as Windows-1251.
// A forced encoding skips the guessing but still drops its own mark. Bytes
// that the chosen encoding cannot read fail with kInvalidArgument and a
// message naming the offset.
Status DecodeText(std::string_view bytes, Encoding encoding, std::u16string& text);

// The single decoders, strict: each fails on the first unreadable byte.
Status DecodeUtf8(std::string_view bytes, std::u16string& text);
// `big_endian` chooses the byte order; the body must not start with a mark.
Status DecodeUtf16(std::string_view bytes, bool big_endian, std::u16string& text);
Status DecodeCp1251(std::string_view bytes, std::u16string& text);

}  // namespace ramulet
