#pragma once
// A sequence as a WAV file (RIFF, PCM, 16-bit mono, little-endian), handed
// out as bytes so that the file itself can be opened however the platform
// wants.

#include <array>
#include <cstddef>
#include <cstdint>

#include "zelnor/byte_streams.h"
#include "zelnor/signal/dtmf_sequence.h"
#include "zelnor/wave_format.h"

namespace zelnor {

// Throws ZelnorError (ZELNOR_E_INVALID_ARGUMENT) when the sequence is too
// long for a WAV file.
void RequireWaveSize(const DtmfSequence& sequence);

// Header, then every sample of the sequence; what the sink throws stops
// it. Throws ZelnorError (ZELNOR_E_INVALID_ARGUMENT) before writing
// anything when the sequence is too long for a WAV file.
void WriteWave(DtmfSequence& sequence, ByteSink& sink);

}  // namespace zelnor
