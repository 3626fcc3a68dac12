#pragma once
// Whether a row and a column tone look like two harmonics of one voice: a
// pitch of 90-400 Hz that both are whole multiples of, with the harmonics
// on either side of both sounding too. A sung or synthesised vowel held on
// such a pitch is as steady and as pure as a keypad's pair; a keypad's pair
// under speech seldom has all four neighbours.

#include "zelnor/receiver/tone_blocks.h"

namespace zelnor {

// Over the samples of the newest 24 ms, where a pair just found lies.
bool LooksHarmonic(const ToneBlocks& blocks, int low, int high);

}  // namespace zelnor
