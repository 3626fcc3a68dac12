#include "zelnor/receiver/tone_window.h"

#include <algorithm>
#include <cmath>

#include "zelnor/sse2.h"

namespace zelnor {

float PairCoherence(const Separated* pairs, int count) {
  std::complex<float> low_sum = 0;
  std::complex<float> high_sum = 0;
  float low_size = 0;
  float high_size = 0;
  for (int i = 0; i + 1 < count; ++i) {
    const std::complex<float> low_step = TimesConjugate(pairs[i].low, pairs[i + 1].low);
    const std::complex<float> high_step = TimesConjugate(pairs[i].high, pairs[i + 1].high);
    low_sum += low_step;
    high_sum += high_step;
    low_size += std::sqrt(std::norm(low_step));
    high_size += std::sqrt(std::norm(high_step));
  }
  if (low_size <= 0 || high_size <= 0) return 0;
  return std::min(std::sqrt(std::norm(low_sum)) / low_size,
                  std::sqrt(std::norm(high_sum)) / high_size);
}

std::complex<float> ExtraAdvance(const ToneBlocks& blocks, int tone, int window) {
  std::complex<float> advance = 0;
  for (int age = 0; age + 1 < window; ++age) {
    advance += TimesConjugate(blocks.Recent(age).At(tone), blocks.Recent(age + 1).At(tone));
  }
  return TimesConjugate(advance, blocks.NominalAdvance(tone));
}

TunedTone Tune(const ToneBlocks& blocks, int tone, std::complex<float> extra) {
  constexpr double kTwoPi = 6.283185307179586;
  const auto per_turn = static_cast<float>(kTwoPi * ToneBlocks::Hz(tone) * blocks.BlockSeconds());
  return {tone, std::arg(extra) / per_turn,
          Times(blocks.NominalAdvance(tone), extra / (std::sqrt(std::norm(extra)) + 1e-30f))};
}

float SteadyPower(const ToneBlocks& blocks, int tone, std::complex<float> advance, int newest,
                  int count) {
  const std::complex<float> back = std::conj(advance);
  std::complex<float> sum = blocks.Recent(newest).At(tone);
  for (int age = newest + 1; age < newest + count; ++age) {
    sum = Times(sum, back) + blocks.Recent(age).At(tone);
  }
  return std::norm(sum) / static_cast<float>(count * count);
}

void NominalSteadyPowers(const ToneBlocks& blocks, int window, float* powers) {
  int k = 0;
  const auto scale = static_cast<float>(window * window);
#if ZELNOR_HAVE_SSE2
  for (; k + 4 <= kToneCount; k += 4) {
    // Turned back: the conjugate of each tone's advance.
    alignas(16) float back_re[4];
    alignas(16) float back_im[4];
    for (int j = 0; j < 4; ++j) {
      back_re[j] = blocks.NominalAdvance(k + j).real();
      back_im[j] = -blocks.NominalAdvance(k + j).imag();
    }
    const __m128 br = _mm_load_ps(back_re);
    const __m128 bi = _mm_load_ps(back_im);
    __m128 re = _mm_loadu_ps(blocks.Recent(0).re + k);
    __m128 im = _mm_loadu_ps(blocks.Recent(0).im + k);
    for (int age = 1; age < window; ++age) {
      // As Times(sum, back) + the block's correlation.
      const __m128 turned_re = _mm_sub_ps(_mm_mul_ps(re, br), _mm_mul_ps(im, bi));
      const __m128 turned_im = _mm_add_ps(_mm_mul_ps(re, bi), _mm_mul_ps(im, br));
      re = _mm_add_ps(turned_re, _mm_loadu_ps(blocks.Recent(age).re + k));
      im = _mm_add_ps(turned_im, _mm_loadu_ps(blocks.Recent(age).im + k));
    }
    _mm_storeu_ps(powers + k, _mm_div_ps(_mm_add_ps(_mm_mul_ps(re, re), _mm_mul_ps(im, im)),
                                         _mm_set1_ps(scale)));
  }
#endif
  for (; k < kToneCount; ++k)
    powers[k] = SteadyPower(blocks, k, blocks.NominalAdvance(k), 0, window);
}

}  // namespace zelnor
