#pragma once
// What the last few blocks say about one keypad frequency: how strong the
// tone is and how far off its nominal frequency; and about a row and column
// pair, each tone with the other's leakage taken out.

#include "zelnor/receiver/tone_blocks.h"

namespace zelnor {

struct ToneMeasure {
  float power;   // mean squared correlation over the window's blocks
  float offset;  // estimated frequency relative to nominal, minus one
};

// A row and a column tone's correlations in one block, each with the
// other's leakage taken out: a 4 ms block cannot keep them apart on its own.
struct Separated {
  std::complex<float> low;
  std::complex<float> high;
};
// The separated correlations of tones `low` and `high` in `block`.
inline Separated Separate(const ToneBlocks& blocks, const ToneBlock& block, int low, int high) {
  return {block.At(low) - Times(blocks.Leak(low, high), block.At(high)),
          block.At(high) - Times(blocks.Leak(high, low), block.At(low))};
}
// The same pair's powers.
struct PairPower {
  float low;
  float high;
};
inline PairPower MeasurePair(const ToneBlocks& blocks, const ToneBlock& block, int low, int high) {
  const Separated pair = Separate(blocks, block, low, high);
  return {std::norm(pair.low), std::norm(pair.high)};
}

// How alike the pair's blocks advance their phases over the window, each
// tone with the other's leakage taken out: 1 for steady tones, less for the
// gliding harmonics of a voice. The lower of the two tones' figures.
float PairCoherence(const ToneBlocks& blocks, int low, int high, int window);

// Measures `tone` over the newest `blocks` blocks (at least two).
ToneMeasure MeasureTone(const ToneBlocks& blocks, int tone, int window);

}  // namespace zelnor
