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

class DualTone {
 public:
  DualTone() = default;
  // `length` samples of low + high; `rise` is the fade-in, one gain per
  // sample, and the fade-out reads it backwards (at most length / 2 long).
  DualTone(Sine low, Sine high, size_t length, const std::vector<double>* rise);

  // Writes the next `count` samples; count is at most Remaining().
  void Render(int16_t* out, size_t count);
  [[nodiscard]] size_t Remaining() const { return length_ - position_; }

 private:
  // The four samples before and the four before those, of each sine.
  struct Chains {
    double last[4];
    double before[4];
  };
  void Restart(size_t group);
  void RenderGroups(int16_t* out, size_t first_group, size_t groups);

  Sine low_{};
  Sine high_{};
  double low_coefficient_ = 0;  // 2 cos(4w)
  double high_coefficient_ = 0;
  Chains low_chains_{};
  Chains high_chains_{};
  size_t length_ = 0;
  size_t position_ = 0;
  const std::vector<double>* rise_ = nullptr;
  // The group of four samples `position_` falls in, when the caller's block
  // ended inside it.
  int16_t partial_[4] = {};
};

}  // namespace zelnor
