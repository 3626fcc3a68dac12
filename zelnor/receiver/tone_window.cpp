#include "zelnor/receiver/tone_window.h"

#include <algorithm>
#include <cmath>

namespace zelnor {

PairPower MeasurePair(const ToneBlocks& blocks, const ToneBlock& block, int low, int high) {
  const std::complex<float> l = block.At(low) - blocks.Leak(low, high) * block.At(high);
  const std::complex<float> h = block.At(high) - blocks.Leak(high, low) * block.At(low);
  return {std::norm(l), std::norm(h)};
}

ToneMeasure MeasureTone(const ToneBlocks& blocks, int tone, int window) {
  // Each block's phase advance over the one before, weighted by the two
  // amplitudes, so weak noisy blocks count little.
  std::complex<float> advance = 0;
  float sum = 0;
  float weakest = blocks.Recent(0).Power(tone);
  float strongest = weakest;
  for (int age = 0; age < window; ++age) {
    const ToneBlock& block = blocks.Recent(age);
    const float power = block.Power(tone);
    sum += power;
    weakest = std::min(weakest, power);
    strongest = std::max(strongest, power);
    if (age + 1 < window) advance += block.At(tone) * std::conj(blocks.Recent(age + 1).At(tone));
  }
  const float off_turns =
      std::arg(advance * std::conj(blocks.NominalAdvance(tone))) / (2 * 3.14159265f);
  const float off_hz = off_turns / static_cast<float>(blocks.BlockSeconds());
  return {sum / static_cast<float>(window), off_hz / ToneBlocks::Hz(tone),
          strongest > 0 ? weakest / strongest : 0};
}

}  // namespace zelnor
