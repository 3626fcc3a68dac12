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
  // How far each tone must stand above the other tones of its group, at
  // their nominal frequencies over the window, for the pair to be alone
  // (WindowPair::crowded).
  float least_alone_db = 0;
  // Where above 0, one tone must be this near and this steady, and the
  // other need only be as the limits above: a voice's partial beside the
  // weaker tone bends its phase and spoils its steadiness.
  double exact_tolerance = 0;
  float exact_coherence = 0;
};

// Which tones of a pair lie over 1 % off their nominal frequencies, and
// which way (WindowPair::detuned): a keypad's seldom do, a voice's partials
// near them often.
enum DetunedTone : unsigned {
  kLowAbove = 1,
  kLowBelow = 2,
  kHighAbove = 4,
  kHighBelow = 8,
};

// The pair a window holds, as tone numbers (tone_blocks.h), and its share.
struct WindowPair {
  float share = 0;  // 0: no pair
  int low = -1;
  int high = -1;
  unsigned detuned = 0;  // DetunedTone bits
  bool crowded = false;  // a tone not alone in its group
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
  // Of the low and the high tone: how far its power at its nominal
  // frequency stands above the next tone's of its group, as a ratio.
  float alone[2] = {};
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
  // Whether tone `t` of the window (0 low, 1 high) is within `slopes` and
  // adds up to `coherence` of its blocks.
  [[nodiscard]] static bool InTune(const KeypadWindow& window, int t, const float* slopes,
                                   float coherence);

  int count_;  // blocks judged
  bool steady_share_;
  float coherence_;
  float exact_coherence_;
  bool exact_;         // one tone judged by the exact limits
  float least_twist_;  // as a ratio of powers
  float most_twist_;
  float least_alone_;                   // as a ratio of powers
  float floor_power_;                   // of one tone, in the blocks' units
  float energy_per_power_;              // a sine's block energy per unit of its power
  float tolerance_slopes_[kToneCount];  // tangent of the largest extra advance per block
  float exact_slopes_[kToneCount];
  float detuned_slopes_[kToneCount];  // the tangent for 1 %
};

inline bool KeypadWindowJudge::InTune(const KeypadWindow& window, int t, const float* slopes,
                                      float coherence) {
  const int tone = t == 0 ? window.low : window.high;
  const std::complex<float> extra = window.extra[t];
  return extra.real() > 0 && std::fabs(extra.imag()) <= slopes[tone] * extra.real() &&
         window.sum[t] >= coherence * window.sizes[t];
}

// Inline: judged three times a block, and a call costs more than most of it.
inline WindowPair KeypadWindowJudge::Judge(const KeypadWindow& window) const {
  if (!window.measured || window.count != count_) return {};
  unsigned detuned = 0;
  bool crowded = false;
  for (int t = 0; t < 2; ++t) {
    if (!InTune(window, t, tolerance_slopes_, coherence_)) return {};
    if (!(window.steady[t] >= floor_power_)) return {};
    crowded |= !(window.alone[t] >= least_alone_);
    const int tone = t == 0 ? window.low : window.high;
    const std::complex<float> extra = window.extra[t];
    const float beyond = detuned_slopes_[tone] * extra.real();
    detuned |= extra.imag() > beyond    ? (t == 0 ? kLowAbove : kHighAbove)
               : extra.imag() < -beyond ? (t == 0 ? kLowBelow : kHighBelow)
                                        : 0u;
  }
  if (exact_ && !InTune(window, 0, exact_slopes_, exact_coherence_) &&
      !InTune(window, 1, exact_slopes_, exact_coherence_)) {
    return {};
  }
  const float* steady = window.steady;
  if (!(steady[1] >= least_twist_ * steady[0] && steady[1] <= most_twist_ * steady[0])) return {};
  if (!steady_share_) return {window.share, window.low, window.high, detuned, crowded};
  const float pair_energy = energy_per_power_ * count_ * (steady[0] + steady[1]);
  return {window.energy > 0 ? pair_energy / window.energy : 0, window.low, window.high, detuned,
          crowded};
}

}  // namespace zelnor
