#include "zelnor/masker/keypad_window.h"

#include <algorithm>
#include <cmath>

#include "zelnor/receiver/tone_window.h"
#include "zelnor/signal/dtmf_levels.h"

namespace zelnor {
namespace {

constexpr double kPi = 3.14159265358979323846;
// Well under the quietest tone to be caught (-35 dBm0) twisted by 8 dB.
constexpr double kFloorDbm0 = -48.0;
// Off by more than this, a tone counts as detuned (DetunedTone).
constexpr double kDetuned = 0.01;

// The strongest tone of the group from `first`, by its power over the
// window taken at its nominal frequency: 12 ms tell neighbouring rows apart
// better than one block. `alone`: its power against the next one's.
int Strongest(const float* powers, int first, float& alone) {
  int best = first;
  float best_power = -1;
  float next_power = -1;
  for (int k = first; k < first + kRowCount; ++k) {
    if (powers[k] > best_power) {
      next_power = best_power;
      best_power = powers[k];
      best = k;
    } else if (powers[k] > next_power) {
      next_power = powers[k];
    }
  }
  alone = next_power > 0 ? best_power / next_power : best_power > 0 ? 1e30f : 1.0f;
  return best;
}

// |z|, as the C library's hypotf takes it: in double, so neither square
// can overflow or lose a bit.
float Magnitude(std::complex<float> z) {
  const double re = z.real();
  const double im = z.imag();
  return static_cast<float>(std::sqrt(re * re + im * im));
}

}  // namespace

KeypadWindowJudge::KeypadWindowJudge(const ToneBlocks& blocks, const WindowLimits& limits)
    : count_(limits.blocks),
      steady_share_(limits.steady_share),
      coherence_(limits.coherence),
      exact_coherence_(limits.exact_coherence),
      exact_(limits.exact_tolerance > 0),
      least_twist_(std::pow(10.0f, limits.least_twist_db / 10)),
      most_twist_(std::pow(10.0f, limits.most_twist_db / 10)),
      least_alone_(std::pow(10.0f, limits.least_alone_db / 10)) {
  // A sine of amplitude A correlates to A N / 2 over a block of N samples,
  // and its energy there is A^2 N / 2: 2 / N per unit of power.
  const double n = static_cast<double>(blocks.Length());
  const double amplitude = Dbm0Amplitude(kFloorDbm0);
  floor_power_ = static_cast<float>(amplitude * n / 2 * amplitude * n / 2);
  energy_per_power_ = static_cast<float>(2 / n);
  const auto slope = [&blocks](double tolerance, int tone) {
    return static_cast<float>(
        std::tan(2 * kPi * tolerance * ToneBlocks::Hz(tone) * blocks.BlockSeconds()));
  };
  for (int k = 0; k < kToneCount; ++k) {
    tolerance_slopes_[k] = slope(limits.tolerance, k);
    exact_slopes_[k] = slope(limits.exact_tolerance, k);
    detuned_slopes_[k] = slope(kDetuned, k);
  }
}

namespace {

// KeypadWindowMeter::Measure, for `kCount` blocks where it is not 0: the loops
// then unrolled.
template <int kCount>
KeypadWindow Measure(const ToneBlocks& blocks, int any_count, float least_share,
                     float most_energy_per_power) {
  const int count = kCount > 0 ? kCount : any_count;
  KeypadWindow window;
  if (blocks.Filled() < count) return window;
  window.count = count;
  // Silence, and sound whose strongest tones hold too little of it, ends here.
  float energy = 0;
  float strongest = 0;
  for (int age = 0; age < count; ++age) {
    const ToneBlock& block = blocks.Recent(age);
    energy += block.energy;
    strongest += std::max({block.power[0], block.power[1], block.power[2], block.power[3]}) +
                 std::max({block.power[4], block.power[5], block.power[6], block.power[7]});
  }
  if (!(energy > 0 && most_energy_per_power * strongest >= least_share * energy)) return window;
  float powers[kToneCount];
  NominalSteadyPowers(blocks, count, powers);
  window.low = Strongest(powers, 0, window.alone[0]);
  window.high = Strongest(powers, kRowCount, window.alone[1]);
  std::complex<float> lows[ToneBlocks::kKept];
  std::complex<float> highs[ToneBlocks::kKept];
  for (int age = 0; age < count; ++age) {
    const Separated pair = Separate(blocks, blocks.Recent(age), window.low, window.high);
    lows[age] = pair.low;
    highs[age] = pair.high;
  }
  const auto energy_per_power = static_cast<float>(2 / static_cast<double>(blocks.Length()));
  float pair_energy = 0;
  for (int age = 0; age < count; ++age) {
    pair_energy += energy_per_power * (std::norm(lows[age]) + std::norm(highs[age]));
  }
  window.energy = energy;
  window.share = energy > 0 ? pair_energy / energy : 0;
  if (!(window.share >= least_share)) return window;
  window.measured = true;
  for (int t = 0; t < 2; ++t) {
    const int tone = t == 0 ? window.low : window.high;
    const std::complex<float>* at = t == 0 ? lows : highs;
    // Its phase advance per block beyond the nominal, weighted by amplitude.
    std::complex<float> extra = 0;
    for (int age = 0; age + 1 < count; ++age) extra += TimesConjugate(at[age], at[age + 1]);
    extra = TimesConjugate(extra, blocks.NominalAdvance(tone));
    window.extra[t] = extra;
    // Its blocks added in phase at the frequency heard: a steady tone keeps
    // its amplitude, a gliding harmonic loses some. Weighted by amplitude,
    // so that a block the tone covers only in part counts less.
    const std::complex<float> advance =
        Times(blocks.NominalAdvance(tone), extra / Magnitude(extra));
    std::complex<float> sum = at[count - 1];
    float sizes = Magnitude(at[count - 1]);
    for (int age = count - 2; age >= 0; --age) {
      sum = Times(sum, advance) + at[age];
      sizes += Magnitude(at[age]);
    }
    window.sum[t] = Magnitude(sum);
    window.sizes[t] = sizes;
    window.steady[t] = std::norm(sum) / static_cast<float>(count * count);
  }
  return window;
}

}  // namespace

KeypadWindowMeter::KeypadWindowMeter(const ToneBlocks& blocks) {
  // |a - L b|^2 <= (1 + |L|^2)(|a|^2 + |b|^2), for each tone of the pair.
  float most_leak = 0;
  for (int low = 0; low < kRowCount; ++low) {
    for (int high = kRowCount; high < kToneCount; ++high) {
      most_leak = std::max(most_leak,
                           std::norm(blocks.Leak(low, high)) + std::norm(blocks.Leak(high, low)));
    }
  }
  const double energy_per_power = 2 / static_cast<double>(blocks.Length());
  most_energy_per_power_ = static_cast<float>(1.01 * energy_per_power * (2 + most_leak));
}

KeypadWindow KeypadWindowMeter::Measure(const ToneBlocks& blocks, int count,
                                        float least_share) const {
  switch (count) {
    case kKeypadWindowBlocks:
      return zelnor::Measure<kKeypadWindowBlocks>(blocks, count, least_share,
                                                  most_energy_per_power_);
    case 2 * kKeypadWindowBlocks:
      return zelnor::Measure<2 * kKeypadWindowBlocks>(blocks, count, least_share,
                                                      most_energy_per_power_);
    default:
      return zelnor::Measure<0>(blocks, count, least_share, most_energy_per_power_);
  }
}

}  // namespace zelnor
