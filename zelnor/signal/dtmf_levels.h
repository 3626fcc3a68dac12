#pragma once
// Fixed properties of the signal that no caller chooses.

#include <cmath>

namespace zelnor {

// Raised-cosine fade at both ends of each tone: long enough to keep the
// spectrum clean, short against the 40 ms minimum tone.
inline constexpr double kRampMs = 5.0;

// Below this the high-group tones come too near the Nyquist frequency.
inline constexpr unsigned kMinSampleRate = 8000;

// A full-scale sine is +3.14 dBm0 (G.711's digital milliwatt).
inline constexpr double kFullScaleDbm0 = 3.14;

// The peak amplitude, full scale 1.0, of a sine at `dbm0`.
inline double Dbm0Amplitude(double dbm0) { return std::pow(10.0, (dbm0 - kFullScaleDbm0) / 20); }

}  // namespace zelnor
