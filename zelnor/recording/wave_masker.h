#pragma once
// A WAV recording with its keypad tones masked, written back in its own
// format: every byte but the replaced samples' is copied as it came, every
// chunk in its place, so a recording without tones comes back unchanged.
// Each channel has a masker of its own; memory stays flat in the length.

#include <cstdint>

#include "zelnor/masker/dtmf_masker.h"
#include "zelnor/recording/wave_reader.h"

namespace zelnor {

// Frames of one channel replaced.
struct MaskedWaveSpan {
  uint32_t channel;      // from 0
  uint64_t start_frame;  // from the first frame of the data
  uint64_t end_frame;    // one past the last
};

using WaveSpanReport = void (*)(void* context, const MaskedWaveSpan& span);

// Copies `in` to `out`, masking the tones of each channel; output frame n
// is input frame n masked. `settings`' rate, report and context are
// replaced by the recording's and `report`'s (optional; called once per
// span, in the order the spans end). Throws WaveError for a recording it
// refuses (what it read of the header already copied), ZelnorError when
// the source or sink fails.
WaveSummary MaskWave(ByteSource& in, ByteSink& out, MaskerSettings settings,
                     WaveSpanReport report = nullptr, void* context = nullptr);

}  // namespace zelnor
