#pragma once
// Tone and pause length: too short for a receiver to latch or long enough to
// look hung is brought back into range rather than refused.

#include <cstdint>

#include "zelnor/zelnor.h"

namespace zelnor {

constexpr int32_t ClampIntervalMs(int32_t requested_ms) {
  if (requested_ms < ZELNOR_MIN_INTERVAL_MS) return ZELNOR_MIN_INTERVAL_MS;
  if (requested_ms > ZELNOR_MAX_INTERVAL_MS) return ZELNOR_MAX_INTERVAL_MS;
  return requested_ms;
}

}  // namespace zelnor
