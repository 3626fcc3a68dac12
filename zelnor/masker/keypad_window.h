#pragma once
// Whether the newest few 4 ms blocks of the receiver's front end hold a
// keypad tone pair. Judged loosely, and over a window short enough for a
// tapped key: the masker would rather take out a little speech than leave
// a quiet, twisted or short tone in.

#include <cmath>
#include <complex>

#include "zelnor/receiver/tone_blocks.h"

namespace zelnor {

// Blocks judged together unless the limits say otherwise: 12 ms, so that a
// tapped key of 12 ms fills at least one window mostly.
inline constexpr int kKeypadWindowBlocks = 3;

// What a window's tones must be.
struct WindowLimits {
  double tolerance;      // of each tone's frequency, relative
  float coherence;       // how much of their amplitudes the blocks, turned to one, add up to
  float least_twist_db;  // the high tone's power against the low's
  float most_twist_db;
  int blocks = kKeypadWindowBlocks;  // judged together, at most ToneBlocks::kKept
  bool steady_share = false;         // the share of the pair's steady power, not its blocks'
};

// The pair a window holds, as tone numbers (tone_blocks.h), and its share.
struct WindowPair {
  float share = 0;  // 0: no pair
  int low = -1;
  int high = -1;
  [[nodiscard]] bool Same(const WindowPair& other) const {
    return low == other.low && high == other.high;
  }
};

// What the newest window shows of its strongest row and column tone: the
// same for every judge of that length, so measured once a block for all.
struct KeypadWindow {
  int count = 0;  // blocks; 0 while fewer are filled
  int low = -1;
  int high = -1;
  float energy = 0;  // the blocks'
  float share = 0;   // the pair's share of it, block by block
  // Whether the figures below were taken: not where the share is too small
  // for any judge to want the window.
  bool measured = false;
  // Of the low and the high tone: the phase advance per block beyond the
  // nominal, the blocks added in phase at the frequency heard and their
  // sizes, and the steady power.
  std::complex<float> extra[2];
  float sum[2] = {};
  float sizes[2] = {};
  float steady[2] = {};
};

// Measures the windows of one stream's blocks.
class KeypadWindowMeter {
 public:
  explicit KeypadWindowMeter(const ToneBlocks& blocks);

  // The newest window of `count` blocks. Below `least_share` (> 0) of the
  // blocks' energy the pair is not followed in phase, nor even found where
  // the blocks' strongest tones cannot hold that much: every judge then
  // finds no pair. A window's steady share is never above its share of the
  // blocks (added in phase, the blocks add up at most their sizes).
  [[nodiscard]] KeypadWindow Measure(const ToneBlocks& blocks, int count, float least_share) const;

 private:
  // Most of a block's energy a pair can show (with the leakage taken out)
  // per unit of the powers of its strongest row and column, with room for
  // rounding.
  float most_energy_per_power_;
};

class KeypadWindowJudge {
 public:
  static constexpr int kBlocks = kKeypadWindowBlocks;
  static constexpr int kMostBlocks = ToneBlocks::kKept;

  KeypadWindowJudge(const ToneBlocks& blocks, const WindowLimits& limits);

  [[nodiscard]] int Blocks() const { return count_; }

  // The row and column tone of the window (of Blocks() blocks), each the
  // strongest of its group, in tune, steady in phase, above the level floor
  // and twisted within the limits, and how much of the blocks' energy they
  // carry; a share of 0 if there are no such tones. The share is taken
  // block by block, so a block a tone covers only in part counts by what it
  // holds: a window of a tapped key of 12 ms still shows 89 %. Its steady
  // share is the pair's power taken over the window as one, which a voice's
  // gliding harmonics near the tones add little to.
  [[nodiscard]] WindowPair Judge(const KeypadWindow& window) const;

 private:
  int count_;  // blocks judged
  bool steady_share_;
  float coherence_;
  float least_twist_;  // as a ratio of powers
  float most_twist_;
  float floor_power_;                   // of one tone, in the blocks' units
  float energy_per_power_;              // a sine's block energy per unit of its power
  float tolerance_slopes_[kToneCount];  // tangent of the largest extra advance per block
};

// Inline: judged three times a block, and a call costs more than most of it.
inline WindowPair KeypadWindowJudge::Judge(const KeypadWindow& window) const {
  if (!window.measured || window.count != count_) return {};
  for (int t = 0; t < 2; ++t) {
    const int tone = t == 0 ? window.low : window.high;
    const std::complex<float> extra = window.extra[t];
    if (!(extra.real() > 0 && std::fabs(extra.imag()) <= tolerance_slopes_[tone] * extra.real())) {
      return {};
    }
    if (!(window.sum[t] >= coherence_ * window.sizes[t])) return {};
    if (!(window.steady[t] >= floor_power_)) return {};
  }
  const float* steady = window.steady;
  if (!(steady[1] >= least_twist_ * steady[0] && steady[1] <= most_twist_ * steady[0])) return {};
  if (!steady_share_) return {window.share, window.low, window.high};
  const float pair_energy = energy_per_power_ * count_ * (steady[0] + steady[1]);
  return {window.energy > 0 ? pair_energy / window.energy : 0, window.low, window.high};
}

}  // namespace zelnor
