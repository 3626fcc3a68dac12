#pragma once
// 16-bit samples as floats, `scale` each, eight at a time where SSE2 runs:
// every sample is exact as a float before the one rounding product, so both
// ways give the same values. The receiver's Feed and the WAV reader's
// 16-bit path both run every sample through it.

#include <cstddef>
#include <cstdint>

#include "zelnor/sse2.h"

namespace zelnor {

inline void Int16ToFloats(const std::int16_t* x, std::size_t n, float scale, float* to) {
  std::size_t i = 0;
#if ZELNOR_HAVE_SSE2
  const __m128 factor = _mm_set1_ps(scale);
  for (; i + 8 <= n; i += 8) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(x + i));
    // Each sample into the top of a 32-bit lane, then shifted down with its sign.
    const __m128i low = _mm_srai_epi32(_mm_unpacklo_epi16(v, v), 16);
    const __m128i high = _mm_srai_epi32(_mm_unpackhi_epi16(v, v), 16);
    _mm_storeu_ps(to + i, _mm_mul_ps(_mm_cvtepi32_ps(low), factor));
    _mm_storeu_ps(to + i + 4, _mm_mul_ps(_mm_cvtepi32_ps(high), factor));
  }
#endif
  for (; i < n; ++i) to[i] = static_cast<float>(x[i]) * scale;
}

}  // namespace zelnor
