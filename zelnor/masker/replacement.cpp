#include "zelnor/masker/replacement.h"

#include <algorithm>
#include <cmath>

#include "zelnor/signal/dtmf_levels.h"

namespace zelnor {
namespace {

constexpr double kPi = 3.14159265358979323846;
// Between the rows and the columns, so it is no key's tone, at -12 dBm0:
// heard clearly, never loud.
constexpr double kBeepHz = 1000;
const double kBeepAmplitude = Dbm0Amplitude(-12.0);
// Ramps short enough for a tapped key's span, long enough not to click.
constexpr double kRampSeconds = 0.004;

// A well-mixed 32-bit hash of a sample's number (the lowbias32 mixer).
std::uint32_t Mix(std::uint64_t n) {
  auto x = static_cast<std::uint32_t>(n ^ (n >> 32));
  x ^= x >> 16;
  x *= 0x7feb352dU;
  x ^= x >> 15;
  x *= 0x846ca68bU;
  x ^= x >> 16;
  return x;
}

}  // namespace

Replacer::Replacer(Replacement kind, std::uint32_t rate)
    : kind_(kind), turns_per_sample_(kBeepHz / rate), ramp_samples_(kRampSeconds * rate) {}

float Replacer::At(std::int64_t n, std::int64_t start, std::int64_t end, float background) const {
  switch (kind_) {
    case Replacement::kSilence:
      break;
    case Replacement::kNoise: {
      // Uniform in [-a, a] has a mean square of a^2 / 3.
      const double unit = Mix(static_cast<std::uint64_t>(n)) * (2.0 / 4294967296.0) - 1;
      return static_cast<float>(unit * std::sqrt(3.0 * background));
    }
    case Replacement::kBeep: {
      const double into = static_cast<double>(n - start);
      const double ramp = std::min({1.0, (into + 0.5) / ramp_samples_,
                                    (static_cast<double>(end - n) - 0.5) / ramp_samples_});
      const double gain = 0.5 - 0.5 * std::cos(kPi * std::max(0.0, ramp));
      const double phase = std::fmod(into * turns_per_sample_, 1.0);
      return static_cast<float>(kBeepAmplitude * gain * std::sin(2 * kPi * phase));
    }
  }
  return 0.0f;
}

}  // namespace zelnor
