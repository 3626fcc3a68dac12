#pragma once
// A caller's ZelnorOptions checked and turned into the generator's settings,
// and the settings PlayDTMF's three arguments stand for.

#include <cstdint>
#include <initializer_list>

#include "zelnor.h"
#include "zelnor/signal/dtmf_sequence.h"

namespace zelnor {

// Whether the calls take this sample rate (one of ZELNOR_SAMPLE_RATES).
constexpr bool IsSupportedSampleRate(uint32_t rate) {
  for (const uint32_t supported : {ZELNOR_SAMPLE_RATES}) {
    if (rate == supported) return true;
  }
  return false;
}

// Throws ZelnorError (ZELNOR_E_INVALID_ARGUMENT) for a null pointer, a
// cbSize that is neither ours nor ZELNOR_OPTIONS_V1_SIZE, or a rate the
// calls do not take; the other ranges are checked by DtmfSequence as it is
// built from the result. The fields a V1 caller lacks take their defaults.
// The device and the progress callback are not the generator's business.
SequenceOptions ToSequenceOptions(const ZelnorOptions* options);

// PlayDTMF's interval, brought into range, with every other default.
ZelnorOptions PlayDtmfOptions(int32_t interval_ms);

}  // namespace zelnor
