#include "zelnor/receiver/second_harmonic.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>

#include "zelnor/signal/phase_sine.h"

namespace zelnor {
namespace {

// Phases as 32-bit turns, and their sines from the library's own series,
// so that every build measures the same.
constexpr double kTurn = 4294967296.0;

std::complex<double> Turn(std::uint32_t phase) {
  const SineAndCosine s = SineAndCosineOfPhase(phase);
  return {s.cosine, s.sine};
}

// The sum of e^{j d n} for n from 0 to count - 1, d a phase step.
std::complex<double> Leakage(std::uint32_t step, std::uint32_t count) {
  // Half the step, taken between -pi/2 and pi/2 (the sum is the same for
  // either half, but the formula's two factors must agree on it).
  const auto half = static_cast<std::uint32_t>(static_cast<std::int32_t>(step) / 2);
  const double below = SineOfPhase(half);
  if (std::fabs(below) < 1e-12) return static_cast<double>(count);
  const auto whole = static_cast<std::uint32_t>(static_cast<std::uint64_t>(half) * count);
  const auto middle = static_cast<std::uint32_t>(static_cast<std::uint64_t>(half) * (count - 1));
  return SineOfPhase(whole) / below * Turn(middle);
}

}  // namespace

Harmonic SecondHarmonic(const ToneBlocks& blocks, int window, int low, float low_offset, int high,
                        float high_offset) {
  const double rate = static_cast<double>(blocks.Length()) / blocks.BlockSeconds();
  const auto step = [rate](int tone, float offset) {
    const double turns = ToneBlocks::Hz(tone) * (1.0 + offset) / rate;
    return static_cast<std::uint32_t>(std::llround(turns * kTurn));
  };
  // The two tones, then their harmonics.
  std::uint32_t steps[4] = {step(low, low_offset), step(high, high_offset)};
  steps[2] = 2 * steps[0];
  steps[3] = 2 * steps[1];
  const std::size_t length = blocks.Length();
  const auto count = static_cast<std::uint32_t>(length * static_cast<std::size_t>(window));

  double mean = 0;
  double energy = 0;
  for (int age = window - 1; age >= 0; --age) {
    const float* x = blocks.SamplesOf(age);
    for (std::size_t i = 0; i < length; ++i) {
      mean += x[i];
      energy += static_cast<double>(x[i]) * x[i];
    }
  }
  mean /= count;
  energy -= mean * mean * count;

  std::complex<double> sums[4] = {};
  std::complex<double> turns[4];
  std::complex<double> phases[4];
  for (int f = 0; f < 4; ++f) {
    turns[f] = Turn(0u - steps[f]);
    phases[f] = 1;
  }
  for (int age = window - 1; age >= 0; --age) {
    const float* x = blocks.SamplesOf(age);
    for (std::size_t i = 0; i < length; ++i) {
      const double v = x[i] - mean;
      for (int f = 0; f < 4; ++f) {
        sums[f] += v * phases[f];
        phases[f] *= turns[f];
      }
    }
  }
  // A sine of amplitude A correlates to A N / 2 and holds N A^2 / 2.
  const double tones = 2 * (std::norm(sums[0]) + std::norm(sums[1])) / count;
  const double rest = std::max(energy - tones, 1e-30);
  Harmonic strongest{0, 0};
  for (int t = 0; t < 2; ++t) {
    std::complex<double> harmonic = sums[2 + t];
    for (int u = 0; u < 2; ++u) {
      harmonic -= sums[u] / static_cast<double>(count) * Leakage(steps[u] - steps[2 + t], count);
    }
    const double own = std::norm(sums[t]);
    if (own > 0 && std::norm(harmonic) > strongest.against_tone * own) {
      strongest = {static_cast<float>(std::norm(harmonic) / own),
                   static_cast<float>(std::norm(harmonic) / rest)};
    }
  }
  return strongest;
}

}  // namespace zelnor
