#pragma once
// One symbol's sound: two sines summed, faded in and out, rounded to 16 bits.
// Each sine runs as four interleaved recursive oscillators in double
// precision (y[n] = 2 cos(4w) y[n-4] - y[n-8]), restarted from the exact
// 32-bit phase at fixed points of the tone, so the samples do not depend on
// the block sizes the caller asks for.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zelnor {

// One of the two sines: its phase step (a turn is 2^32) and peak amplitude
// in units of one 16-bit step.
struct Sine {
  uint32_t step;
  double amplitude;
};

// The raised-cosine fades at both ends of every tone of one length, as a
// gain per sample, padded so that any group of four samples that starts in
// a fade reads its four gains in one piece.
struct Fades {
  // Fades of `ramp` samples for tones of `tone` samples (ramp <= tone / 2).
  Fades(size_t ramp, size_t tone);
  size_t ramp;
  size_t tone;
  std::vector<double> in;   // the rise, then full gain
  std::vector<double> out;  // full gain, the fall, then silence past the tone's end
};

class DualTone {
 public:
  DualTone() = default;
  // A tone of fades.tone samples of low + high; `fades` must outlive it.
  DualTone(Sine low, Sine high, const Fades* fades);

  // Writes the next `count` samples; count is at most Remaining().
  void Render(int16_t* out, size_t count);
  [[nodiscard]] size_t Remaining() const { return length_ - position_; }

  // The previous four samples of a sine and the four before them, four
  // oscillators side by side.
  struct Chains {
    double last[4];
    double before[4];
  };

 private:
  void Restart(size_t group);
  void RenderGroups(int16_t* out, size_t first_group, size_t groups);

  Sine low_{};
  Sine high_{};
  double low_coefficient_ = 0;  // 2 cos(4w)
  double high_coefficient_ = 0;
  Chains low_chains_{};
  Chains high_chains_{};
  const Fades* fades_ = nullptr;
  size_t length_ = 0;
  size_t position_ = 0;
  // The group of four samples `position_` falls in, when the caller's block
  // ended inside it.
  int16_t partial_[4] = {};
};

}  // namespace zelnor
