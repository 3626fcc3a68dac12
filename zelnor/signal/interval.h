#pragma once
// Tone and pause lengths: too short for a receiver to latch, or long enough
// to look hung, is out of range. PlayDTMF brings its interval back into
// range; the calls with options refuse such lengths.

#include <algorithm>
#include <cstdint>

#include "zelnor.h"

namespace zelnor {

// Whether a tone, gap or pause length is within range.
constexpr bool IsLengthInRange(int32_t ms) {
  return ms >= ZELNOR_MIN_INTERVAL_MS && ms <= ZELNOR_MAX_INTERVAL_MS;
}

// PlayDTMF's interval brought into range.
constexpr int32_t ClampIntervalMs(int32_t requested_ms) {
  return std::clamp(requested_ms, ZELNOR_MIN_INTERVAL_MS, ZELNOR_MAX_INTERVAL_MS);
}

}  // namespace zelnor
