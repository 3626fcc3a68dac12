#pragma once
// The receiver's front end: the samples cut into blocks of about 4 ms, each
// correlated (Goertzel) with the eight keypad frequencies. A block gives,
// per frequency, a complex amplitude whose phase is referred to the block's
// first sample, so a tone's frequency shows as the phase advance from one
// block to the next. The last few blocks, and their samples, are kept for
// the receiver's window.

#include <complex>
#include <cstddef>
#include <cstdint>

#include "zelnor/receiver/goertzel.h"

namespace zelnor {

// The eight frequencies: four rows (low group), then four columns.
inline constexpr int kToneCount = kGoertzelTones;
inline constexpr int kRowCount = 4;

// a b, without the checks for infinities in std::complex's product: the
// receiver's values are always finite, and the checks cost more than the
// product.
template <typename T>
std::complex<T> Times(std::complex<T> a, std::complex<T> b) {
  return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}

// a times the conjugate of b.
inline std::complex<float> TimesConjugate(std::complex<float> a, std::complex<float> b) {
  return {a.real() * b.real() + a.imag() * b.imag(), a.imag() * b.real() - a.real() * b.imag()};
}

// One block: per frequency its correlation and the block's energy, the DC
// offset taken out of both.
struct ToneBlock {
  float re[kToneCount];
  float im[kToneCount];
  float power[kToneCount];  // |re + j im|^2
  float energy;
  std::uint64_t first_sample;
  [[nodiscard]] std::complex<float> At(int tone) const { return {re[tone], im[tone]}; }
  [[nodiscard]] float Power(int tone) const { return power[tone]; }
};

class ToneBlocks {
 public:
  // Blocks kept: the window and the one before it (a power of two).
  static constexpr int kKept = 8;
  static_assert((kKept & (kKept - 1)) == 0, "kept blocks are found by a mask");

  explicit ToneBlocks(std::uint32_t rate);

  // Samples are written straight into the current block: at most Room()
  // of them at Space(), then Add(count) says how many. Add returns whether
  // that completed the block, which it then correlates (goertzel.h).
  [[nodiscard]] std::size_t Room() const { return length_ - taken_; }
  [[nodiscard]] float* Space() { return samples_[(newest_ + 1) & (kKept - 1)] + taken_; }
  bool Add(std::size_t count);

  // A kept block, 0 the newest; Filled() of them are valid.
  [[nodiscard]] const ToneBlock& Recent(int age) const {
    return kept_[(newest_ - age) & (kKept - 1)];
  }
  [[nodiscard]] int Filled() const { return filled_; }
  // A kept block's samples, Length() of them.
  [[nodiscard]] const float* SamplesOf(int age) const {
    return samples_[(newest_ - age) & (kKept - 1)];
  }
  [[nodiscard]] std::size_t Length() const { return length_; }
  // Samples taken so far.
  [[nodiscard]] std::uint64_t Position() const { return next_first_ + taken_; }
  // A tone's nominal frequency in Hz.
  [[nodiscard]] static float Hz(int tone);
  [[nodiscard]] double BlockSeconds() const { return static_cast<double>(length_) / rate_; }
  // The phase a tone at its nominal frequency advances over one block.
  [[nodiscard]] std::complex<float> NominalAdvance(int tone) const { return advance_[tone]; }
  // How much of tone `other`'s correlation shows in tone `tone`'s over a block.
  [[nodiscard]] std::complex<float> Leak(int tone, int other) const { return leak_[tone][other]; }

 private:
  void Finish();

  // The longest block: 4 ms at the highest rate.
  static constexpr std::size_t kMaxLength = 192;

  std::uint32_t rate_;
  Correlator correlate_;
  std::size_t length_;
  float coefficient_[kToneCount];  // 2 cos w
  // How each quarter's Goertzel states turn into its share of the block's
  // correlation.
  GoertzelTurns turns_;
  // A constant's correlation per unit.
  float dc_re_[kToneCount];
  float dc_im_[kToneCount];
  std::complex<float> advance_[kToneCount];
  std::complex<float> leak_[kToneCount][kToneCount];
  // Each kept block's samples, and the next block's as they come in.
  float samples_[kKept][kMaxLength] = {};
  float offset_ = 0;  // the DC offset, followed across blocks
  std::size_t taken_ = 0;
  std::uint64_t next_first_ = 0;
  ToneBlock kept_[kKept] = {};
  int newest_ = 0;
  int filled_ = 0;
};

}  // namespace zelnor
