#pragma once

#include <cstddef>
#include <string_view>

namespace ramulet {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// One step of reading UTF-8 leniently: the code point at a place and the
// bytes it covers. A malformed sequence reads as U+FFFD covering its
// maximal subpart: the longest run of bytes from that place that begins
// some well-formed sequence, and at least one byte. So a sequence cut
// short ("\xE2\x82" then ASCII) is one U+FFFD, while an over-long form,
// an encoded surrogate or a byte that never leads anything ("\xC0\x80",
// "\xED\xA0\x80", "\xF5") is one U+FFFD per byte, as browsers read them.
struct Utf8Step {
  char32_t code_point;
  size_t length;
  bool well_formed;
};

// The second byte a lead allows is narrower than 0x80..0xBF for some
// leads: that is what excludes over-long forms, surrogates and code points
// beyond U+10FFFF.
inline Utf8Step ReadUtf8Step(std::string_view bytes, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) return {lead, 1, true};
  size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;
  char32_t code_point = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, code_point = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, code_point = lead & 0x0Fu;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, code_point = lead & 0x07u;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return {kReplacementCharacter, 1, false};
  }
  for (size_t k = 1; k < length; ++k) {
    if (i + k >= bytes.size()) return {kReplacementCharacter, k, false};
    const unsigned char next = byte(i + k);
    if (next < low || next > high) return {kReplacementCharacter, k, false};
    code_point = (code_point << 6) | (next & 0x3Fu);
    low = 0x80, high = 0xBF;
  }
  return {code_point, length, true};
}

}  // namespace ramulet
