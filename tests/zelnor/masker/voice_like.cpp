#include "voice_like.h"

#include <algorithm>
#include <cmath>

namespace zelnor_test {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kFullScaleDbm0 = 3.14;

}  // namespace

std::vector<int16_t> VoiceLike(size_t count, uint32_t rate, double dbm0, double seed) {
  std::vector<double> x(count);
  double phase = 0;
  double power = 0;
  for (size_t n = 0; n < count; ++n) {
    const double t = static_cast<double>(n) / rate;
    const double f0 =
        150 + 60 * std::sin(2 * kPi * 3.1 * t + seed) + 30 * std::sin(2 * kPi * 0.7 * t);
    phase = std::fmod(phase + 2 * kPi * f0 / rate, 2 * kPi);
    const double f1 = 500 + 200 * std::sin(2 * kPi * 2.3 * t + 2 * seed);
    const double f2 = 1500 + 500 * std::sin(2 * kPi * 1.7 * t + 3 * seed);
    for (int k = 1; k * f0 < 3400; ++k) {
      const double d1 = (k * f0 - f1) / 150;
      const double d2 = (k * f0 - f2) / 200;
      x[n] += (1 / (1 + d1 * d1) + 0.5 / (1 + d2 * d2)) * std::sin(k * phase);
    }
    x[n] *= std::sqrt(std::max(0.0, std::sin(2 * kPi * 4 * t + seed)));
    power += x[n] * x[n];
  }
  // A sine's level from its power: a full-scale sine's mean square is 1/2.
  const double gain = 32767 * std::pow(10, (dbm0 - kFullScaleDbm0) / 20) *
                      std::sqrt(0.5 * static_cast<double>(count) / power);
  std::vector<int16_t> out(count);
  for (size_t n = 0; n < count; ++n) out[n] = static_cast<int16_t>(std::lround(x[n] * gain));
  return out;
}

}  // namespace zelnor_test
