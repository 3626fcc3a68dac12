#pragma once
// A caller's ZelnorOptions checked and turned into the generator's settings,
// and the settings PlayDTMF's three arguments stand for.

#include <array>
#include <cstdint>

#include "zelnor.h"
#include "zelnor/signal/dtmf_sequence.h"

namespace zelnor {

inline constexpr std::array<uint32_t, 4> kSampleRates = {8000, 16000, 44100, 48000};

constexpr bool IsSupportedSampleRate(uint32_t rate) {
  for (uint32_t supported : kSampleRates) {
    if (rate == supported) return true;
  }
  return false;
}

// Throws ZelnorError (ZELNOR_E_INVALID_ARGUMENT) for a null pointer, a
// cbSize other than ours or a field out of range. The device is not checked.
SequenceOptions ToSequenceOptions(const ZelnorOptions* options);

// PlayDTMF's interval, brought into range, with every other default.
ZelnorOptions PlayDtmfOptions(int32_t interval_ms);

}  // namespace zelnor
