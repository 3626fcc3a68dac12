#include "zelnor/receiver/tone_blocks.h"

#include <algorithm>
#include <cmath>

#include "zelnor/signal/keypad.h"

namespace zelnor {
namespace {

// Long enough to tell a tone 3 % off by its phase advance, short enough
// that a 15 ms break or a 25 ms pause spans several blocks.
constexpr double kBlockSeconds = 0.004;
constexpr double kPi = 3.14159265358979323846;

}  // namespace

float ToneBlocks::Hz(int tone) {
  // Rows down the first column of the keypad, columns along its first row.
  return tone < kRowCount ? static_cast<float>(kKeypad[4 * tone].low_hz)
                          : static_cast<float>(kKeypad[tone - kRowCount].high_hz);
}

ToneBlocks::ToneBlocks(std::uint32_t rate)
    : rate_(rate), length_(static_cast<std::size_t>(std::lround(rate * kBlockSeconds))) {
  for (int k = 0; k < kToneCount; ++k) {
    const double w = 2 * kPi * Hz(k) / rate_;
    const double n = static_cast<double>(length_);
    coefficient_[k] = static_cast<float>(2 * std::cos(w));
    // The Goertzel output s1 - e^{-jw} s2 is the correlation turned by w (N - 1).
    finish1_[k] = std::complex<float>(std::polar(1.0, -w * (n - 1)));
    finish2_[k] = std::complex<float>(std::polar(1.0, -w * n));
    // Sum of e^{-jwn} over the block.
    dc_gain_[k] =
        std::complex<float>(std::polar(std::sin(w * n / 2) / std::sin(w / 2), -w * (n - 1) / 2));
    for (int j = 0; j < kToneCount; ++j) {
      // Sum of e^{jdn} over the block, d the two tones' distance, per sample.
      const double d = 2 * kPi * (Hz(j) - Hz(k)) / rate_;
      leak_[k][j] = j == k ? 0
                           : std::complex<float>(std::polar(
                                 std::sin(d * n / 2) / std::sin(d / 2) / n, d * (n - 1) / 2));
    }
    advance_[k] = std::polar(1.0f, static_cast<float>(std::fmod(w * n, 2 * kPi)));
  }
}

std::size_t ToneBlocks::Take(const float* samples, std::size_t count) {
  const std::size_t n = std::min(count, length_ - taken_);
  // Local copies so the eight lanes stay in registers and vectorise.
  float s1[kToneCount];
  float s2[kToneCount];
  float c[kToneCount];
  std::copy(state1_, state1_ + kToneCount, s1);
  std::copy(state2_, state2_ + kToneCount, s2);
  std::copy(coefficient_, coefficient_ + kToneCount, c);
  float sum = sum_;
  float square_sum = square_sum_;
  for (std::size_t i = 0; i < n; ++i) {
    const float x = samples[i];
    sum += x;
    square_sum += x * x;
    for (int k = 0; k < kToneCount; ++k) {
      const float s0 = x + c[k] * s1[k] - s2[k];
      s2[k] = s1[k];
      s1[k] = s0;
    }
  }
  std::copy(s1, s1 + kToneCount, state1_);
  std::copy(s2, s2 + kToneCount, state2_);
  sum_ = sum;
  square_sum_ = square_sum;
  taken_ += n;
  completed_ = taken_ == length_;
  if (completed_) Finish();
  return n;
}

void ToneBlocks::Finish() {
  newest_ = (newest_ + 1) % kKept;
  filled_ = std::min(filled_ + 1, kKept);
  ToneBlock& block = kept_[newest_];
  const float n = static_cast<float>(length_);
  // The offset is followed slowly, so that a tone starting or stopping
  // within a block (whose mean is not zero) barely moves it.
  const float offset = offset_;
  offset_ += (sum_ / n - offset_) * 0.125f;
  for (int k = 0; k < kToneCount; ++k) {
    const std::complex<float> x =
        state1_[k] * finish1_[k] - state2_[k] * finish2_[k] - offset * dc_gain_[k];
    block.re[k] = x.real();
    block.im[k] = x.imag();
    state1_[k] = 0;
    state2_[k] = 0;
  }
  block.energy = std::max(0.0f, square_sum_ - 2 * offset * sum_ + n * offset * offset);
  block.first_sample = next_first_;
  next_first_ += length_;
  taken_ = 0;
  sum_ = 0;
  square_sum_ = 0;
}

}  // namespace zelnor
