#pragma once
// The header of a 16-bit mono PCM WAV file, for writing one to a stream
// that cannot seek back: the sizes go first, so they must be known first.

#include <array>
#include <cstdint>

namespace dtmf_tool {

// The most samples a WAV file can hold: its sizes are 32-bit.
inline constexpr uint64_t kMaxWaveSamples = (0xFFFFFFFFull - 36) / 2;

// The 44 bytes before `sample_count` (at most kMaxWaveSamples) samples at
// `sample_rate`.
std::array<uint8_t, 44> WaveHeader(uint32_t sample_rate, uint64_t sample_count);

}  // namespace dtmf_tool
