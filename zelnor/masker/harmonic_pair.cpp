#include "zelnor/masker/harmonic_pair.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace zelnor {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kLowestPitchHz = 90;
constexpr double kHighestPitchHz = 400;
// How near the pair's ratio must lie to a ratio of whole numbers.
constexpr double kRatioTolerance = 0.006;
// A neighbour sounds when its power comes within 12 dB of the weaker tone's.
constexpr float kNeighbourShare = 0.063f;
// A neighbour this near a tone of the pair is the tone itself, over 24 ms:
// so a pitch under this has no neighbours to show.
constexpr double kApartHz = 90;
constexpr int kWindowBlocks = 6;

// Power at `hz` over the newest blocks, Hann-windowed.
float PowerAt(const ToneBlocks& blocks, double hz, double rate) {
  const int count = blocks.Filled() < kWindowBlocks ? blocks.Filled() : kWindowBlocks;
  const auto length = static_cast<int>(blocks.Length());
  const int total = count * length;
  const std::complex<double> step = std::polar(1.0, -2 * kPi * hz / rate);
  std::complex<double> turn = 1;
  std::complex<double> sum = 0;
  int n = 0;
  for (int age = count - 1; age >= 0; --age) {
    const float* x = blocks.SamplesOf(age);
    for (int i = 0; i < length; ++i, ++n) {
      const double w = 0.5 - 0.5 * std::cos(2 * kPi * (n + 0.5) / total);
      sum += w * x[i] * turn;
      turn *= step;
    }
  }
  return static_cast<float>(std::norm(sum));
}

}  // namespace

bool LooksHarmonic(const ToneBlocks& blocks, int low, int high) {
  const double rate = static_cast<double>(blocks.Length()) / blocks.BlockSeconds();
  const double low_hz = ToneBlocks::Hz(low);
  const double high_hz = ToneBlocks::Hz(high);
  const double ratio = high_hz / low_hz;
  for (int m = 1; low_hz / m >= kLowestPitchHz; ++m) {
    const int n = static_cast<int>(std::lround(ratio * m));
    const double pitch = low_hz / m;
    if (pitch > kHighestPitchHz ||
        std::fabs(ratio - static_cast<double>(n) / m) > kRatioTolerance * ratio) {
      continue;
    }
    const float weaker = std::min(PowerAt(blocks, low_hz, rate), PowerAt(blocks, high_hz, rate));
    int sounding = 0;
    for (const int k : {m - 1, m + 1, n - 1, n + 1}) {
      const double hz = k * pitch;
      if (k < 1 || hz >= rate / 2 || std::fabs(hz - low_hz) < kApartHz ||
          std::fabs(hz - high_hz) < kApartHz) {
        continue;
      }
      sounding += PowerAt(blocks, hz, rate) >= kNeighbourShare * weaker;
    }
    if (sounding == 4) return true;
  }
  return false;
}

}  // namespace zelnor
