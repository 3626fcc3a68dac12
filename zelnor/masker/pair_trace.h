#pragma once
// The keypad frequencies' correlations in the blocks the look-ahead still
// holds, so that a tone found late, through speech that hid its first
// windows, is followed back to where it began, and forward block by block
// while it sounds. A tone is followed by its power over two blocks added
// in phase: in one block alone, speech beating against a weak tone can
// take nearly all of it for a moment.

#include <complex>

#include "zelnor/receiver/tone_blocks.h"

namespace zelnor {

// A pair's power per block as a tone started, of each tone.
struct PairLevel {
  int low = -1;
  int high = -1;
  float low_power = 0;
  float high_power = 0;
};

class PairTrace {
 public:
  // Blocks remembered: the look-ahead's 40 ms.
  static constexpr int kBlocks = 10;

  explicit PairTrace(const ToneBlocks& blocks);

  // The newest block.
  void Add(const ToneBlock& block);

  // The pair's power per block over the newest `count` blocks, added in
  // phase at its nominal frequencies.
  [[nodiscard]] PairLevel Level(int low, int high, int count) const;

  // Whether the block `age` back (0 the newest) and the next newer one
  // hold both tones at no less than an eighth of the level's power.
  [[nodiscard]] bool Holds(int age, const PairLevel& level) const;

  // How many blocks in a row from `age` back hold the pair.
  [[nodiscard]] int HeldFrom(int age, const PairLevel& level) const;

  // Whether the newest two blocks keep both tones within 7 dB of the
  // level: a tone going on does, though speech beats against it; speech
  // going on after it on the same partials seldom does.
  [[nodiscard]] bool Keeps(const PairLevel& level) const;

 private:
  // Whether blocks `age` and `age` - 1 hold both tones at `part` of the
  // level's power at least.
  [[nodiscard]] bool HoldsPart(int age, const PairLevel& level, float part) const;
  // Tone `tone`'s power per block over `count` blocks from `age` back,
  // added in phase.
  [[nodiscard]] float SteadyPower(int age, int count, int tone) const;

  std::complex<float> advances_[kToneCount];  // nominal, per block
  std::complex<float> at_[kBlocks][kToneCount] = {};
  int newest_ = 0;
  int filled_ = 0;
};

}  // namespace zelnor
