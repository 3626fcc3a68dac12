#pragma once
// A sequence as a WAV file (RIFF, PCM, 16-bit mono, little-endian), handed
// out as bytes so that the file itself can be opened however the platform
// wants.

#include <array>
#include <cstddef>
#include <cstdint>

#include "zelnor/signal/dtmf_sequence.h"

namespace zelnor {

inline constexpr size_t kWaveHeaderBytes = 44;
// The RIFF size field counts 36 header bytes and the data in 32 bits.
inline constexpr uint64_t kMaxWaveSamples = (0xFFFFFFFFull - 36) / 2;

// Throws ZelnorError (ZELNOR_E_INVALID_ARGUMENT) when the sequence is too
// long for a WAV file.
void RequireWaveSize(const DtmfSequence& sequence);

std::array<uint8_t, kWaveHeaderBytes> WaveHeader(uint32_t sample_rate, uint32_t sample_count);

// Receives consecutive runs of the file's bytes; false stops the writing.
class ByteSink {
 public:
  virtual bool Write(const uint8_t* bytes, size_t count) = 0;

 protected:
  ~ByteSink() = default;
};

// Header, then every sample of the sequence. Returns false as soon as
// the sink does. Throws ZelnorError (ZELNOR_E_INVALID_ARGUMENT) before
// writing anything when the sequence is too long for a WAV file.
bool WriteWave(DtmfSequence& sequence, ByteSink& sink);

}  // namespace zelnor
