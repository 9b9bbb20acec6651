#pragma once

#include <cstddef>

namespace ramulet {

// What a wide decoding step did.
struct WideUtf8Run {
  size_t read = 0;      // bytes consumed
  size_t written = 0;   // UTF-16 units written
  size_t two_byte = 0;  // two-byte sequences among them
};

// Whether this processor runs DecodeAsciiAndTwoByteWide (the 512-bit
// compress instructions); the decoder asks once.
bool HaveWideUtf8Decoder();

// Decodes `bytes` 32 at a time while each block holds only ASCII and
// well-formed two-byte sequences (a sequence may end in the block's next
// byte), the text of a module in Cyrillic; stops at the first block that
// holds anything else, which the caller reads byte by byte. Writes whole
// blocks of 32 units to `out`: it must have 32 units of room beyond the
// units it gets. Reads nothing within 33 bytes of the end. Only where
// HaveWideUtf8Decoder() says so.
WideUtf8Run DecodeAsciiAndTwoByteWide(const unsigned char* bytes, size_t size, char16_t* out);

}  // namespace ramulet
