#include "zelnor/signal/sine_oscillator.h"

#include <cmath>

namespace zelnor {
namespace {

constexpr double kTwoPi = 6.283185307179586476925286766559;
constexpr double kPhaseSteps = 4294967296.0;  // 2^32

std::array<float, kSineTableSize + 1> MakeSineTable() {
  std::array<float, kSineTableSize + 1> table{};
  for (uint32_t i = 0; i <= kSineTableSize; ++i) {
    table[i] = static_cast<float>(std::sin(kTwoPi * i / kSineTableSize));
  }
  return table;
}

}  // namespace

const std::array<float, kSineTableSize + 1> kSineTable = MakeSineTable();

SineOscillator::SineOscillator(double frequency_hz, uint32_t sample_rate)
    : step_(static_cast<uint32_t>(std::llround(frequency_hz * kPhaseSteps / sample_rate))) {}

}  // namespace zelnor
