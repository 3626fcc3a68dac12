#include "zelnor/receiver/second_harmonic.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>

#include "zelnor/signal/phase_sine.h"
#include "zelnor/sse2.h"

namespace zelnor {
namespace {

// Phases as 32-bit turns, and their sines from the library's own series,
// so that every build measures the same.
constexpr double kTurn = 4294967296.0;
// Runs of the window's blocks correlated side by side.
constexpr int kRuns = 3;

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
  // The two tones, then their harmonics, each correlated with the window
  // by a Goertzel filter, the four side by side. The blocks' own DC offset
  // leaks at most -30 dB of a tone's level into these frequencies.
  std::uint32_t steps[4] = {step(low, low_offset), step(high, high_offset)};
  steps[2] = 2 * steps[0];
  steps[3] = 2 * steps[1];
  // A harmonic's turns are its tone's squared.
  std::complex<double> turns[4] = {Turn(steps[0]), Turn(steps[1])};
  turns[2] = Times(turns[0], turns[0]);
  turns[3] = Times(turns[1], turns[1]);
  float coefficients[4];
  for (int f = 0; f < 4; ++f) coefficients[f] = static_cast<float>(2 * turns[f].real());
  // The window as three runs of blocks side by side, each an independent
  // chain, so that the processor need not wait on each sample's result.
  const std::size_t length = blocks.Length();
  const int per_run = window / kRuns;
  const auto run_length = static_cast<std::uint32_t>(length * static_cast<std::size_t>(per_run));
  float s1[kRuns][4] = {};
  float s2[kRuns][4] = {};
#if ZELNOR_HAVE_SSE2
  const __m128 c = _mm_loadu_ps(coefficients);
  __m128 w1[kRuns] = {_mm_setzero_ps(), _mm_setzero_ps(), _mm_setzero_ps()};
  __m128 w2[kRuns] = {_mm_setzero_ps(), _mm_setzero_ps(), _mm_setzero_ps()};
#endif
  for (int block = 0; block < per_run; ++block) {
    const float* x[kRuns];
    for (int r = 0; r < kRuns; ++r) x[r] = blocks.SamplesOf(window - 1 - r * per_run - block);
    for (std::size_t i = 0; i < length; ++i) {
      for (int r = 0; r < kRuns; ++r) {
#if ZELNOR_HAVE_SSE2
        const __m128 w = _mm_sub_ps(_mm_add_ps(_mm_set1_ps(x[r][i]), _mm_mul_ps(c, w1[r])), w2[r]);
        w2[r] = w1[r];
        w1[r] = w;
#else
        for (int f = 0; f < 4; ++f) {
          const float w = (x[r][i] + coefficients[f] * s1[r][f]) - s2[r][f];
          s2[r][f] = s1[r][f];
          s1[r][f] = w;
        }
#endif
      }
    }
  }
#if ZELNOR_HAVE_SSE2
  for (int r = 0; r < kRuns; ++r) {
    _mm_storeu_ps(s1[r], w1[r]);
    _mm_storeu_ps(s2[r], w2[r]);
  }
#endif
  float energy = 0;
  for (int age = 0; age < kRuns * per_run; ++age) energy += blocks.Recent(age).energy;
  const auto count = run_length * kRuns;
  // s1 - e^{-jw} s2 is a run's correlation turned by w (run length - 1);
  // each run's is turned again by the phase at its start.
  std::complex<double> to_starts[4] = {Turn(0u - steps[0] * (run_length - 1)),
                                       Turn(0u - steps[1] * (run_length - 1))};
  to_starts[2] = Times(to_starts[0], to_starts[0]);
  to_starts[3] = Times(to_starts[1], to_starts[1]);
  std::complex<double> sums[4];
  for (int f = 0; f < 4; ++f) {
    const std::complex<double> to_start = to_starts[f];
    const std::complex<double> per_run_turn = Times(to_start, std::conj(turns[f]));
    std::complex<double> turn = 1;
    sums[f] = 0;
    for (int r = 0; r < kRuns; ++r) {
      const std::complex<double> own =
          static_cast<double>(s1[r][f]) - std::conj(turns[f]) * static_cast<double>(s2[r][f]);
      sums[f] += Times(Times(own, to_start), turn);
      turn = Times(turn, per_run_turn);
    }
  }
  // A sine of amplitude A correlates to A N / 2 and holds N A^2 / 2.
  const double tones = 2 * (std::norm(sums[0]) + std::norm(sums[1])) / count;
  const double rest = std::max(energy - tones, 1e-30);
  Harmonic strongest{0, 0};
  for (int t = 0; t < 2; ++t) {
    // Only the high tone comes near a harmonic (2 x 697 Hz lies 58 Hz from
    // 1336 Hz); the others' leakage stays below -30 dB of their tones.
    std::complex<double> harmonic = sums[2 + t];
    if (t == 0)
      harmonic -= Times(sums[1] / static_cast<double>(count), Leakage(steps[1] - steps[2], count));
    const double own = std::norm(sums[t]);
    if (own > 0 && std::norm(harmonic) > strongest.against_tone * own) {
      strongest = {static_cast<float>(std::norm(harmonic) / own),
                   static_cast<float>(std::norm(harmonic) / rest)};
    }
  }
  return strongest;
}

}  // namespace zelnor
