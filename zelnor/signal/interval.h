#pragma once
// Tone and pause lengths: too short for a receiver to latch, or long enough
// to look hung, is out of range. PlayDTMF brings its interval back into
// range; the calls with options refuse such lengths.

#include <cstdint>

#include "zelnor.h"

namespace zelnor {

constexpr bool IsLengthInRange(int32_t ms) {
  return ms >= ZELNOR_MIN_INTERVAL_MS && ms <= ZELNOR_MAX_INTERVAL_MS;
}

constexpr int32_t ClampIntervalMs(int32_t requested_ms) {
  if (requested_ms < ZELNOR_MIN_INTERVAL_MS) return ZELNOR_MIN_INTERVAL_MS;
  if (requested_ms > ZELNOR_MAX_INTERVAL_MS) return ZELNOR_MAX_INTERVAL_MS;
  return requested_ms;
}

}  // namespace zelnor
