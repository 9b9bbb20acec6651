#include "textio/utf8_wide.h"

// Only on 64-bit x86 outside Windows: there the stack keeps the 64-byte
// alignment that spilled 512-bit registers need (GCC does not realign it on
// Windows x64).
#if defined(__x86_64__) && !defined(_WIN32) && defined(__GNUC__)
#define RAMULET_WIDE_UTF8 1
#include <immintrin.h>
#endif

namespace ramulet {

#if RAMULET_WIDE_UTF8

bool HaveWideUtf8Decoder() {
  static const bool have = __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi2");
  return have;
}

__attribute__((target("avx512f,avx512bw,avx512vbmi2,popcnt"))) WideUtf8Run DecodeAsciiAndTwoByteWide(
    const unsigned char* bytes, size_t size, char16_t* out) {
  const __m512i lead_shape = _mm512_set1_epi16(0xE0), lead_bits = _mm512_set1_epi16(0xC0);
  const __m512i continuation_shape = _mm512_set1_epi16(0xC0), continuation_bits = _mm512_set1_epi16(0x80);
  WideUtf8Run run;
  // 1 when the block before ended in a lead: its unit is written, and this
  // block's first byte is that lead's continuation. Blocks always advance
  // by 32 bytes, so that the next load does not wait for this block's
  // masks.
  __mmask32 carried = 0;
  while (size - run.read >= 33) {
    const unsigned char* block = bytes + run.read;
    const __m512i units = _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(block)));
    const __mmask32 high = _mm512_cmpge_epu16_mask(units, continuation_bits);
    if (high == 0) {  // never after a lead: its continuation has the high bit
      _mm512_storeu_si512(out + run.written, units);
      run.read += 32;
      run.written += 32;
      continue;
    }
    const __mmask32 lead = _mm512_cmpeq_epi16_mask(_mm512_and_si512(units, lead_shape), lead_bits);
    const __mmask32 continuation =
        _mm512_cmpeq_epi16_mask(_mm512_and_si512(units, continuation_shape), continuation_bits);
    // 0xC0 and 0xC1 would lead over-long forms.
    const __mmask32 over_long = _mm512_cmple_epu16_mask(units, _mm512_set1_epi16(0xC1)) & lead;
    // Every byte of the block is ASCII, a lead followed by a continuation,
    // or that continuation; a lead in the last place takes the next byte.
    const __mmask32 lead_last = lead >> 31;
    if ((high & ~(lead | continuation)) != 0 || over_long != 0 ||
        continuation != static_cast<__mmask32>((lead << 1) | carried) ||
        (lead_last && (block[32] & 0xC0) != 0x80)) {
      break;
    }
    const __m512i next = _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(block + 1)));
    const __m512i two_byte = _mm512_or_si512(_mm512_slli_epi16(_mm512_and_si512(units, _mm512_set1_epi16(0x1F)), 6),
                                             _mm512_and_si512(next, _mm512_set1_epi16(0x3F)));
    const __m512i decoded = _mm512_mask_blend_epi16(lead, units, two_byte);
    const __mmask32 keep = ~continuation;
    _mm512_storeu_si512(out + run.written, _mm512_maskz_compress_epi16(keep, decoded));
    run.read += 32;
    run.written += static_cast<size_t>(__builtin_popcount(keep));
    run.two_byte += static_cast<size_t>(__builtin_popcount(lead));
    carried = lead_last;
  }
  // A lead in the last place of the last block read took the byte after.
  run.read += carried;
  return run;
}

#else

bool HaveWideUtf8Decoder() { return false; }

WideUtf8Run DecodeAsciiAndTwoByteWide(const unsigned char*, size_t, char16_t*) { return {}; }

#endif

}  // namespace ramulet
