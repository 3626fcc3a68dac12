#pragma once
// What the last few blocks say about one keypad frequency: how strong the
// tone is, how far off its nominal frequency, and how steady.

#include "zelnor/receiver/tone_blocks.h"

namespace zelnor {

struct ToneMeasure {
  float power;       // mean squared correlation over the window's blocks
  float offset;      // estimated frequency relative to nominal, minus one
  float steadiness;  // weakest block's power over the strongest's
};

// The powers of a row and a column tone in one block, each with the other's
// leakage taken out: a 4 ms block cannot keep them apart on its own.
struct PairPower {
  float low;
  float high;
};
PairPower MeasurePair(const ToneBlocks& blocks, const ToneBlock& block, int low, int high);

// Measures `tone` over the newest `blocks` blocks (at least two).
ToneMeasure MeasureTone(const ToneBlocks& blocks, int tone, int window);

}  // namespace zelnor
