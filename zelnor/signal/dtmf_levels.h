#pragma once
// Fixed properties of the signal that no caller chooses.

namespace zelnor {

// Raised-cosine fade at both ends of each tone: long enough to keep the
// spectrum clean, short against the 40 ms minimum tone.
inline constexpr double kRampMs = 5.0;

// Below this the high-group tones come too near the Nyquist frequency.
inline constexpr unsigned kMinSampleRate = 8000;

}  // namespace zelnor
