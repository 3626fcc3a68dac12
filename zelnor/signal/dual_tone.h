#pragma once
// One symbol's sound: two sines summed, faded in and out, rounded to 16 bits.
// Each sine is computed block by block: from the exact 32-bit phase p at a
// block's start, sample j of the block is sin p cos jw + cos p sin jw, with
// cos jw and sin jw read from a table. No sample depends on the one before,
// so the samples do not depend on the block sizes the caller asks for, and
// SSE2 computes four at a time.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zelnor {

// Samples per block of one phase, and the length of each sine table.
inline constexpr size_t kSineBlock = 512;

// One sine, amplitude included, over a block from phase 0: A cos(jw) and
// A sin(jw) for j < kSineBlock, kept as four cosines then four sines per
// four samples, so one pointer walks both. Single precision: its rounding,
// a few thousandths of a 16-bit step, is far below the 16-bit rounding.
struct SineTable {
  // `step` is the phase step per sample (a turn is 2^32); `amplitude` in
  // units of one 16-bit step.
  SineTable(uint32_t step, double amplitude);
  uint32_t step;
  double amplitude;
  std::vector<float> quads;
  [[nodiscard]] float Cosine(size_t j) const { return quads[2 * (j & ~size_t{3}) + (j & 3)]; }
  [[nodiscard]] float Sine(size_t j) const { return quads[2 * (j & ~size_t{3}) + 4 + (j & 3)]; }
  // The quad that sample j (a multiple of four) begins.
  [[nodiscard]] const float* QuadsFrom(size_t j) const { return quads.data() + 2 * j; }
  // cos and sin of a whole block's turn, to carry a block's starting phase
  // to the next one.
  double block_cosine;
  double block_sine;
};

// The raised-cosine fades at both ends of every tone of one length, as a
// gain per sample.
struct Fades {
  // Fades of `ramp` samples for tones of `tone` samples (ramp <= tone / 2).
  Fades(size_t ramp, size_t tone);
  size_t ramp;
  size_t tone;
  std::vector<float> rise;
  std::vector<float> fall;
};

class DualTone {
 public:
  DualTone() = default;
  // A tone of fades->tone samples of low + high. The tables and fades must
  // outlive it.
  DualTone(const SineTable* low, const SineTable* high, const Fades* fades);

  // Writes the next `count` samples; count is at most Remaining().
  void Render(int16_t* out, size_t count);
  [[nodiscard]] size_t Remaining() const { return length_ - position_; }

 private:
  void StartBlock(size_t block);

  const SineTable* low_ = nullptr;
  const SineTable* high_ = nullptr;
  const Fades* fades_ = nullptr;
  size_t length_ = 0;
  size_t position_ = 0;
  // The block whose starting phase is below, as sine and cosine: exact
  // every few blocks, carried by one rotation per block in between (in
  // double precision, as the errors of the rotations add up).
  size_t block_ = 0;
  double low_sine_ = 0;
  double low_cosine_ = 0;
  double high_sine_ = 0;
  double high_cosine_ = 0;
};

}  // namespace zelnor
