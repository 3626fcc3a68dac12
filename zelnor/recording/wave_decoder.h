#pragma once
// A whole WAV recording through a receiver per channel.

#include <cstdint>

#include "zelnor/receiver/dtmf_receiver.h"
#include "zelnor/recording/wave_reader.h"

namespace zelnor {

// Called as DigitReport is, with the channel (from 0) that heard the digit.
using ChannelDigitReport = void (*)(void* context, const HeardDigit& digit, uint32_t channel,
                                    bool ended);

// Reads the recording to its end in bounded memory, reporting every digit
// of every channel, and flushes each receiver at the end. `settings`'
// rate is replaced by the recording's. Throws WaveError for a recording it
// refuses (before any report), ZelnorError when the source fails.
WaveSummary DecodeWave(ByteSource& source, ReceiverSettings settings, ChannelDigitReport report,
                       void* context);

}  // namespace zelnor
