#pragma once
// Signal levels. By default the sum of both tones peaks below -1 dBFS with
// room for rounding; callers may ask for another level. The high-group tone
// sits 2 dB above the low group to make up for the loss a phone line has at
// higher frequencies.

namespace zelnor {

inline constexpr double kPeakDbfs = -1.5;
inline constexpr double kHighOverLowDb = 2.0;
// Raised-cosine fade at both ends of each tone: long enough to keep the
// spectrum clean, short against the 40 ms minimum tone.
inline constexpr double kRampMs = 5.0;

inline constexpr unsigned kDefaultSampleRate = 48000;
// Below this the high-group tones come too near the Nyquist frequency.
inline constexpr unsigned kMinSampleRate = 8000;

}  // namespace zelnor
