#pragma once
// A sine oscillator driven by a wrapping 32-bit phase accumulator: the step
// is the frequency in units of rate/2^32, so the pitch is exact to a tiny
// fraction of a hertz and the phase never drifts or needs resetting.

#include <array>
#include <cstdint>

namespace zelnor {

inline constexpr int kSineTableBits = 10;
inline constexpr uint32_t kSineTableSize = 1u << kSineTableBits;
// One full cycle plus a guard entry, so interpolation never wraps the index.
extern const std::array<float, kSineTableSize + 1> kSineTable;

class SineOscillator {
 public:
  SineOscillator() = default;
  SineOscillator(double frequency_hz, uint32_t sample_rate);

  // One sample in [-1, 1]; linear interpolation keeps the table error near
  // -100 dB with a 1024-entry table.
  float Next() {
    constexpr int kFractionBits = 32 - kSineTableBits;
    constexpr float kFractionScale = 1.0f / static_cast<float>(1u << kFractionBits);
    const uint32_t index = phase_ >> kFractionBits;
    const float fraction =
        static_cast<float>(phase_ & ((1u << kFractionBits) - 1)) * kFractionScale;
    const float a = kSineTable[index];
    const float b = kSineTable[index + 1];
    phase_ += step_;
    return a + (b - a) * fraction;
  }

 private:
  uint32_t phase_ = 0;
  uint32_t step_ = 0;
};

}  // namespace zelnor
