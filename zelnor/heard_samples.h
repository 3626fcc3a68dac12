#pragma once
// Samples as the receiver and the masker hear them: floats, 16-bit ones
// scaled, any beyond reach clipped. Every sample heard goes through here,
// so the loops run several at a time where SSE2 runs, with the same values
// as the plain ones.

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "zelnor/sse2.h"

namespace zelnor {

// 16-bit samples as floats, `scale` each: every sample is exact as a float
// before the one rounding product.
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

// A float sample as heard: far beyond full scale clipped, and what is not a
// number silence, so that no sample can overflow the sums or poison the
// state for good.
inline constexpr float kHeardLimit = 1000;

inline float HeardSample(float x) {
  return std::fabs(x) <= kHeardLimit ? x : x > 0 ? kHeardLimit : x < 0 ? -kHeardLimit : 0;
}

// HeardSample of each of `n` floats.
inline void HeardSamples(const float* x, std::size_t n, float* to) {
  std::size_t i = 0;
#if ZELNOR_HAVE_SSE2
  const __m128 limit = _mm_set1_ps(kHeardLimit);
  const __m128 least = _mm_set1_ps(-kHeardLimit);
  for (; i + 4 <= n; i += 4) {
    const __m128 v = _mm_loadu_ps(x + i);
    const __m128 clipped = _mm_min_ps(_mm_max_ps(v, least), limit);
    // A NaN compares unordered with itself: silence.
    _mm_storeu_ps(to + i, _mm_and_ps(clipped, _mm_cmpord_ps(v, v)));
  }
#endif
  for (; i < n; ++i) to[i] = HeardSample(x[i]);
}

}  // namespace zelnor
