#pragma once
// The sine of a 32-bit phase (a whole turn is 2^32), in plain double
// arithmetic with no math library, so x86 and x64 builds agree to the bit.

#include <cstdint>

namespace zelnor {

// sin and cos of one phase.
struct SineAndCosine {
  double sine;
  double cosine;
};

// sin and cos(2 pi phase / 2^32), each within a few units in the last place.
SineAndCosine SineAndCosineOfPhase(uint32_t phase);

// sin(2 pi phase / 2^32) alone.
inline double SineOfPhase(uint32_t phase) { return SineAndCosineOfPhase(phase).sine; }

// cos(2 pi phase / 2^32) alone.
inline double CosineOfPhase(uint32_t phase) { return SineAndCosineOfPhase(phase).cosine; }

}  // namespace zelnor
