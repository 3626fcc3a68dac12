#pragma once
// The powers of the keypad frequencies in the blocks the look-ahead still
// holds, so that a tone found late, through speech that hid its first
// windows, is followed back to where it began, and forward block by block
// while it sounds.

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

  // The newest block.
  void Add(const ToneBlock& block);

  // The pair's mean power over the newest `count` blocks.
  [[nodiscard]] PairLevel Level(int low, int high, int count) const;

  // Whether the block `age` back (0 the newest) holds both tones at no
  // less than an eighth of the level's power.
  [[nodiscard]] bool Holds(int age, const PairLevel& level) const;

  // How many blocks in a row from `age` back hold the pair.
  [[nodiscard]] int HeldFrom(int age, const PairLevel& level) const;

 private:
  float powers_[kBlocks][kToneCount] = {};
  int newest_ = 0;
  int filled_ = 0;
};

}  // namespace zelnor
