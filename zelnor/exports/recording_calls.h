#pragma once
// A whole recording decoded or masked for an exported call, from whatever
// source the call reads: the caller's functions or a file.

#include <cstdint>

#include "zelnor.h"
#include "zelnor/byte_streams.h"
#include "zelnor/exports/receiver_options.h"
#include "zelnor/exports/wave_call.h"
#include "zelnor/recording/wave_decoder.h"

namespace zelnor {

// Where a digit goes: the caller's callback, for the reports it asked for.
struct DigitListener {
  ZelnorDigitFunction digit;
  void* context;
  uint32_t reports;
};

// Tells `listener` (a DigitListener) of a digit heard on `channel`.
void ReportToListener(void* listener, const HeardDigit& heard, uint32_t channel, bool ended);

// Decodes the recording `open` gives, filling `info` (may be null) with
// what was found. `open(info, decode)` calls `decode(source)` and returns
// ZELNOR_OK, or a result (Unreadable) when there is no source.
template <typename OpenSource>
int DecodeRecording(const ZelnorReceiverOptions* options, ZelnorWaveInfo* info, OpenSource&& open) {
  return WaveCall(info, [&](ZelnorWaveInfo& filled, WaveSummary& summary) {
    const ReceiverSettings settings = ToReceiverSettings(options, false);
    DigitListener listener{options->digit, options->digit_context, options->reports};
    return open(filled, [&](ByteSource& source) {
      summary = DecodeWave(source, settings, &ReportToListener, &listener);
    });
  });
}

// Masks the recording from `source` into `sink` with `options`, whose
// span callback hears each span.
WaveSummary MaskRecording(ByteSource& source, ByteSink& sink, const ZelnorMaskerOptions* options);

}  // namespace zelnor
