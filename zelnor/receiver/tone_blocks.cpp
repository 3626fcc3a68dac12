#include "zelnor/receiver/tone_blocks.h"

#include <algorithm>
#include <cmath>

#include "zelnor/signal/keypad.h"

namespace zelnor {
namespace {

// Blocks of 4 ms: long enough to tell a tone 3 % off by its phase advance,
// short enough that a 15 ms break or a 25 ms pause spans several blocks.
// An even length makes whole halves.
constexpr int kBlockMilliseconds = 4;
constexpr double kPi = 3.14159265358979323846;

}  // namespace

float ToneBlocks::Hz(int tone) {
  // Rows down the first column of the keypad, columns along its first row.
  return tone < kRowCount ? static_cast<float>(kKeypad[4 * tone].low_hz)
                          : static_cast<float>(kKeypad[tone - kRowCount].high_hz);
}

ToneBlocks::ToneBlocks(std::uint32_t rate)
    : rate_(rate),
      length_(kChains * static_cast<std::size_t>(
                            std::lround(rate * kBlockMilliseconds / (1000.0 * kChains)))) {
  for (int k = 0; k < kToneCount; ++k) {
    const double w = 2 * kPi * Hz(k) / rate_;
    const double n = static_cast<double>(length_);
    const double part = n / kChains;
    coefficient_[k] = static_cast<float>(2 * std::cos(w));
    // The Goertzel output s1 - e^{-jw} s2 is the correlation turned by w (L - 1).
    finish1_[k] = std::complex<float>(std::polar(1.0, -w * (part - 1)));
    finish2_[k] = std::complex<float>(std::polar(1.0, -w * part));
    for (int q = 0; q < kChains; ++q) {
      part_turn_[q][k] = std::complex<float>(std::polar(1.0, -w * part * q));
    }
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
  std::copy(samples, samples + n, buffer_ + taken_);
  taken_ += n;
  completed_ = taken_ == length_;
  if (completed_) Finish();
  return n;
}

void ToneBlocks::Finish() {
  const std::size_t half = length_ / kChains;
  float s1[kChains][kToneCount] = {};
  float s2[kChains][kToneCount] = {};
  float c[kToneCount];
  std::copy(coefficient_, coefficient_ + kToneCount, c);
  for (std::size_t i = 0; i < half; ++i) {
    for (int q = 0; q < kChains; ++q) {
      const float x = buffer_[q * half + i];
      for (int k = 0; k < kToneCount; ++k) {
        const float s0 = x + c[k] * s1[q][k] - s2[q][k];
        s2[q][k] = s1[q][k];
        s1[q][k] = s0;
      }
    }
  }
  float sum = 0;
  float square_sum = 0;
  for (std::size_t i = 0; i < length_; ++i) {
    sum += buffer_[i];
    square_sum += buffer_[i] * buffer_[i];
  }

  newest_ = (newest_ + 1) % kKept;
  filled_ = std::min(filled_ + 1, kKept);
  ToneBlock& block = kept_[newest_];
  const float n = static_cast<float>(length_);
  // The offset is followed slowly, so that a tone starting or stopping
  // within a block (whose mean is not zero) barely moves it.
  const float offset = offset_;
  offset_ += (sum / n - offset_) * 0.125f;
  for (int k = 0; k < kToneCount; ++k) {
    std::complex<float> x = -offset * dc_gain_[k];
    for (int q = 0; q < kChains; ++q) {
      x += (s1[q][k] * finish1_[k] - s2[q][k] * finish2_[k]) * part_turn_[q][k];
    }
    block.re[k] = x.real();
    block.im[k] = x.imag();
  }
  block.energy = std::max(0.0f, square_sum - 2 * offset * sum + n * offset * offset);
  block.first_sample = next_first_;
  next_first_ += length_;
  taken_ = 0;
}

}  // namespace zelnor
