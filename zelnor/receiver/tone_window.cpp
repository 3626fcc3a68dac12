#include "zelnor/receiver/tone_window.h"

#include <algorithm>
#include <cmath>

namespace zelnor {

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
