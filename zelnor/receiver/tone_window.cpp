#include "zelnor/receiver/tone_window.h"

#include <algorithm>
#include <cmath>

namespace zelnor {

float PairCoherence(const ToneBlocks& blocks, int low, int high, int window) {
  std::complex<float> low_sum = 0;
  std::complex<float> high_sum = 0;
  float low_size = 0;
  float high_size = 0;
  Separated later = Separate(blocks, blocks.Recent(0), low, high);
  for (int age = 1; age < window; ++age) {
    const Separated earlier = Separate(blocks, blocks.Recent(age), low, high);
    const std::complex<float> low_step = TimesConjugate(later.low, earlier.low);
    const std::complex<float> high_step = TimesConjugate(later.high, earlier.high);
    low_sum += low_step;
    high_sum += high_step;
    low_size += std::sqrt(std::norm(low_step));
    high_size += std::sqrt(std::norm(high_step));
    later = earlier;
  }
  if (low_size <= 0 || high_size <= 0) return 0;
  return std::min(std::sqrt(std::norm(low_sum)) / low_size,
                  std::sqrt(std::norm(high_sum)) / high_size);
}

ToneMeasure MeasureTone(const ToneBlocks& blocks, int tone, int window) {
  // Each block's phase advance over the one before, weighted by the two
  // amplitudes, so weak noisy blocks count little.
  std::complex<float> advance = 0;
  float sum = blocks.Recent(window - 1).Power(tone);
  for (int age = 0; age + 1 < window; ++age) {
    const ToneBlock& block = blocks.Recent(age);
    sum += block.Power(tone);
    advance += TimesConjugate(block.At(tone), blocks.Recent(age + 1).At(tone));
  }
  const float off_turns =
      std::arg(TimesConjugate(advance, blocks.NominalAdvance(tone))) / (2 * 3.14159265f);
  const float off_hz = off_turns / static_cast<float>(blocks.BlockSeconds());
  return {sum / static_cast<float>(window), off_hz / ToneBlocks::Hz(tone)};
}

}  // namespace zelnor
