#pragma once
// Whether a row and a column tone look like two harmonics of one voice: a
// pitch of 70-400 Hz that both are whole multiples of, with the harmonics
// beside them sounding too. A sung or synthesised vowel held on such a
// pitch is as steady and as pure as a keypad's pair; a keypad's pair has no
// such neighbours.

#include "zelnor/receiver/tone_blocks.h"

namespace zelnor {

// Over the samples of every block kept (about 32 ms, so that the
// neighbours are told apart from the pair).
bool LooksHarmonic(const ToneBlocks& blocks, int low, int high);

}  // namespace zelnor
