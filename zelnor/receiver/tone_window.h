#pragma once
// What the last few blocks say about one keypad frequency (how far off its
// nominal frequency it is) and about a row and column pair (each tone with
// the other's leakage taken out: how strong, how steady in phase).

#include "zelnor/receiver/tone_blocks.h"

namespace zelnor {

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

// How alike a pair's blocks (`count` of them, newest first, separated)
// advance their phases: 1 for steady tones, less for the gliding harmonics
// of a voice. The lower of the two tones' figures.
float PairCoherence(const Separated* pairs, int count);

// How far `tone`'s phase advances per block beyond its nominal frequency's
// advance, over the newest `window` blocks: each block's advance over the
// one before, weighted by the two amplitudes, so weak noisy blocks count
// little. Its angle is the frequency offset in turns per block.
std::complex<float> ExtraAdvance(const ToneBlocks& blocks, int tone, int window);

// A tone as heard over a window: its offset from its nominal frequency
// (relative) and the phase it advances per block.
struct TunedTone {
  int tone;
  float offset;
  std::complex<float> advance;
};
// `tone` as heard, from its ExtraAdvance over the window.
TunedTone Tune(const ToneBlocks& blocks, int tone, std::complex<float> extra);

// A tone's power over `count` blocks from age `newest` taken as one, per
// block: the blocks' correlations added in phase, each turned back by
// `advance` per block (its nominal advance for the nominal frequency), so
// that tones of one group, too close for one block to tell apart, are.
float SteadyPower(const ToneBlocks& blocks, int tone, std::complex<float> advance, int newest,
                  int count);

// SteadyPower of every tone at its nominal frequency over the newest
// `window` blocks, into `powers` (kToneCount of them): the same values,
// four tones at a time where SSE2 runs.
void NominalSteadyPowers(const ToneBlocks& blocks, int window, float* powers);

}  // namespace zelnor
