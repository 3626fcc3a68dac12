#pragma once
// The player's timing promises, in one place.

#include <cstdint>

namespace zelnor {

// How long past a dial's length a synchronous call waits, and how long a
// device may go without handing back a block, before the device is
// reported as failing (ZELNOR_E_DEVICE).
inline constexpr uint32_t kDeviceGraceMs = 3000;

// A thread this long inside one driver call is taken as wedged there and
// replaced; a working driver answers within milliseconds.
inline constexpr uint64_t kWedgedAfterMs = 1000;

// How often a synchronous call whose request has not begun looks for a
// wedged player.
inline constexpr uint32_t kWedgeCheckMs = 250;

// An idle player thread ends after this long, so an unloaded DLL really goes.
inline constexpr uint32_t kIdleMs = 5000;

// What the player learnt of the device count stands this long for
// asynchronous calls; after it, the next playback counts again.
inline constexpr uint64_t kDeviceCountTrustedMs = 5000;

// 160 ms queued ahead in 20 ms blocks: a player or audio thread held off the
// CPU that long on a loaded machine still leaves no gap in a tone.
inline constexpr uint32_t kBlockMs = 20;
inline constexpr uint32_t kQueuedBlocks = 8;

}  // namespace zelnor
