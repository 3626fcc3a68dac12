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

// The powers of a row and a column tone in one block, each with the other's
// leakage taken out: a 4 ms block cannot keep them apart on its own.
struct PairPower {
  float low;
  float high;
};
PairPower MeasurePair(const ToneBlocks& blocks, const ToneBlock& block, int low, int high);

// How alike the pair's blocks advance their phases over the window, each
// tone with the other's leakage taken out: 1 for steady tones, less for the
// gliding harmonics of a voice. The lower of the two tones' figures.
float PairCoherence(const ToneBlocks& blocks, int low, int high, int window);

// Measures `tone` over the newest `blocks` blocks (at least two).
ToneMeasure MeasureTone(const ToneBlocks& blocks, int tone, int window);

}  // namespace zelnor
