#pragma once
// The sine of a 32-bit phase (a whole turn is 2^32), in plain double
// arithmetic with no math library, so x86 and x64 builds agree to the bit.

#include <cstdint>

namespace zelnor {

// sin(2 pi phase / 2^32), within a few units in the last place.
double SineOfPhase(uint32_t phase);

// cos(2 pi phase / 2^32), the same way.
inline double CosineOfPhase(uint32_t phase) { return SineOfPhase(phase + (1u << 30)); }

}  // namespace zelnor
