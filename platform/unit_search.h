#pragma once

#include <cstddef>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ramulet {

// Searches of UTF-16 text for one or two code units, eight units a compare
// where the processor has SSE2. The analysis looks for "(" and line breaks
// in every line of a module, and the one-unit-at-a-time loop of
// std::u16string_view::find was a tenth of its time.

namespace unit_search_detail {

// The position of the first unit from `i` on equal to `a` or `b`, or
// text.size().
inline size_t FindEither(std::u16string_view text, size_t i, char16_t a, char16_t b) {
  const size_t size = text.size();
  const char16_t* data = text.data();
#if defined(__SSE2__)
  const __m128i want_a = _mm_set1_epi16(static_cast<short>(a));
  const __m128i want_b = _mm_set1_epi16(static_cast<short>(b));
  for (; i + 8 <= size; i += 8) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    const __m128i hits = _mm_or_si128(_mm_cmpeq_epi16(units, want_a), _mm_cmpeq_epi16(units, want_b));
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
    if (mask != 0) return i + static_cast<size_t>(__builtin_ctz(mask)) / 2;
  }
#endif
  for (; i < size; ++i) {
    if (data[i] == a || data[i] == b) return i;
  }
  return size;
}

// The position of the first unit from `i` on equal to one of a, b, c, d,
// or text.size().
inline size_t FindAnyOf4(std::u16string_view text, size_t i, char16_t a, char16_t b, char16_t c, char16_t d) {
  const size_t size = text.size();
  const char16_t* data = text.data();
#if defined(__SSE2__)
  const __m128i want_a = _mm_set1_epi16(static_cast<short>(a));
  const __m128i want_b = _mm_set1_epi16(static_cast<short>(b));
  const __m128i want_c = _mm_set1_epi16(static_cast<short>(c));
  const __m128i want_d = _mm_set1_epi16(static_cast<short>(d));
  for (; i + 8 <= size; i += 8) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    const __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(units, want_a), _mm_cmpeq_epi16(units, want_b)),
                                      _mm_or_si128(_mm_cmpeq_epi16(units, want_c), _mm_cmpeq_epi16(units, want_d)));
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
    if (mask != 0) return i + static_cast<size_t>(__builtin_ctz(mask)) / 2;
  }
#endif
  for (; i < size; ++i) {
    const char16_t unit = data[i];
    if (unit == a || unit == b || unit == c || unit == d) return i;
  }
  return size;
}

}  // namespace unit_search_detail

// The position of the first of the four units in `text` at or after
// `from`, or text.size() when there is none.
inline size_t FindAnyUnit(std::u16string_view text, size_t from, char16_t a, char16_t b, char16_t c, char16_t d) {
  if (from >= text.size()) return text.size();
  return unit_search_detail::FindAnyOf4(text, from, a, b, c, d);
}

// The position of the first `unit` in `text` at or after `from`, or
// std::u16string_view::npos.
inline size_t FindUnit(std::u16string_view text, char16_t unit, size_t from = 0) {
  if (from >= text.size()) return std::u16string_view::npos;
  const size_t found = unit_search_detail::FindEither(text, from, unit, unit);
  return found == text.size() ? std::u16string_view::npos : found;
}

// The position of the first `a` or `b` in `text` at or after `from`, or
// text.size() when there is none.
inline size_t FindEitherUnit(std::u16string_view text, char16_t a, char16_t b, size_t from = 0) {
  if (from >= text.size()) return text.size();
  return unit_search_detail::FindEither(text, from, a, b);
}

}  // namespace ramulet
