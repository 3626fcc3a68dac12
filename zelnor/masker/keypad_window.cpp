#include "zelnor/masker/keypad_window.h"

#include <cmath>
#include <utility>

#include "zelnor/receiver/tone_window.h"
#include "zelnor/signal/dtmf_levels.h"

namespace zelnor {
namespace {

constexpr double kPi = 3.14159265358979323846;
// Well under the quietest tone to be caught (-35 dBm0) twisted by 8 dB.
constexpr double kFloorDbm0 = -48.0;

// The strongest tone of the group from `first`, by its power over the
// window taken at its nominal frequency: 12 ms tell neighbouring rows apart
// better than one block.
int Strongest(const ToneBlocks& blocks, int first, int count) {
  int best = first;
  float best_power = -1;
  for (int k = first; k < first + kRowCount; ++k) {
    const float power = SteadyPower(blocks, k, blocks.NominalAdvance(k), 0, count);
    if (power > best_power) {
      best_power = power;
      best = k;
    }
  }
  return best;
}

}  // namespace

KeypadWindowJudge::KeypadWindowJudge(const ToneBlocks& blocks, const WindowLimits& limits)
    : count_(limits.blocks),
      steady_share_(limits.steady_share),
      coherence_(limits.coherence),
      least_twist_(std::pow(10.0f, limits.least_twist_db / 10)),
      most_twist_(std::pow(10.0f, limits.most_twist_db / 10)) {
  // A sine of amplitude A correlates to A N / 2 over a block of N samples,
  // and its energy there is A^2 N / 2: 2 / N per unit of power.
  const double n = static_cast<double>(blocks.Length());
  const double amplitude = Dbm0Amplitude(kFloorDbm0);
  floor_power_ = static_cast<float>(amplitude * n / 2 * amplitude * n / 2);
  energy_per_power_ = static_cast<float>(2 / n);
  for (int k = 0; k < kToneCount; ++k) {
    tolerance_slopes_[k] = static_cast<float>(
        std::tan(2 * kPi * limits.tolerance * ToneBlocks::Hz(k) * blocks.BlockSeconds()));
  }
}

WindowPair KeypadWindowJudge::Judge(const ToneBlocks& blocks) const {
  const int count = count_;
  if (blocks.Filled() < count) return {};
  const int low = Strongest(blocks, 0, count);
  const int high = Strongest(blocks, kRowCount, count);
  std::complex<float> lows[kMostBlocks];
  std::complex<float> highs[kMostBlocks];
  float energy = 0;
  for (int age = 0; age < count; ++age) {
    const Separated pair = Separate(blocks, blocks.Recent(age), low, high);
    lows[age] = pair.low;
    highs[age] = pair.high;
    energy += blocks.Recent(age).energy;
  }
  float pair_energy = 0;
  for (int age = 0; age < count; ++age) {
    pair_energy += energy_per_power_ * (std::norm(lows[age]) + std::norm(highs[age]));
  }
  float steady[2] = {};
  for (const auto& [tone, at] : {std::make_pair(low, lows), std::make_pair(high, highs)}) {
    // Its phase advance per block beyond the nominal, weighted by amplitude.
    std::complex<float> extra = 0;
    for (int age = 0; age + 1 < count; ++age) extra += TimesConjugate(at[age], at[age + 1]);
    extra = TimesConjugate(extra, blocks.NominalAdvance(tone));
    if (!(extra.real() > 0 && std::fabs(extra.imag()) <= tolerance_slopes_[tone] * extra.real())) {
      return {};
    }
    // Its blocks added in phase at the frequency heard: a steady tone keeps
    // its amplitude, a gliding harmonic loses some. Weighted by amplitude,
    // so that a block the tone covers only in part counts less.
    const std::complex<float> advance = Times(blocks.NominalAdvance(tone), extra / std::abs(extra));
    std::complex<float> sum = at[count - 1];
    float sizes = std::abs(at[count - 1]);
    for (int age = count - 2; age >= 0; --age) {
      sum = Times(sum, advance) + at[age];
      sizes += std::abs(at[age]);
    }
    if (!(std::abs(sum) >= coherence_ * sizes)) return {};
    steady[tone < kRowCount ? 0 : 1] = std::norm(sum) / (count * count);
    if (!(steady[tone < kRowCount ? 0 : 1] >= floor_power_)) return {};
  }
  if (!(steady[1] >= least_twist_ * steady[0] && steady[1] <= most_twist_ * steady[0])) return {};
  if (steady_share_) pair_energy = energy_per_power_ * count * (steady[0] + steady[1]);
  return {energy > 0 ? pair_energy / energy : 0, low, high};
}

}  // namespace zelnor
