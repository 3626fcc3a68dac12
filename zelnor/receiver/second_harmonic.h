#pragma once
// Whether a pair of tones carries second harmonics: speech and music that
// come near a keypad pair do (a voice's partials, an instrument's), while a
// keypad's tones are pure sines. Measured over the receiver's window from
// the samples themselves, at twice each tone's own frequency, with what
// both tones leak there taken out: 2 x 697 Hz lies only 58 Hz from 1336 Hz.

#include "zelnor/receiver/tone_blocks.h"

namespace zelnor {

// The stronger of two tones' second harmonics.
struct Harmonic {
  float against_tone;  // its power against its own tone's
  float against_rest;  // against the energy of all else the window holds, per frequency
};

// The newest `window` blocks' second harmonics of tones `low` and `high`,
// each at its nominal frequency times 1 + its `offset`.
Harmonic SecondHarmonic(const ToneBlocks& blocks, int window, int low, float low_offset, int high,
                        float high_offset);

}  // namespace zelnor
