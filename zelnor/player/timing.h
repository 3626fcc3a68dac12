#pragma once
// The player's timing promises, in one place, with the orderings they rely
// on checked as the library builds.

#include <cstdint>

namespace zelnor {

// 160 ms queued ahead in 20 ms blocks: a player or audio thread held off the
// CPU that long on a loaded machine still leaves no gap in a tone.
inline constexpr uint32_t kBlockMs = 20;
inline constexpr uint32_t kQueuedBlocks = 8;

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

// How long a reset device may take to hand back blocks it had already
// finished with but not yet marked done. The wait is the player's, outside
// any driver call: a slow hand-back is not a wedged driver.
inline constexpr uint32_t kBlocksBackMs = 2000;

// How often the player looks at a device while it waits for blocks to come
// back or for the last sample to play, when the device signals nothing.
inline constexpr uint32_t kDevicePollMs = 10;

// How long after the device hands back the last block a synchronous call
// waits for the device's position to reach the last sample: the blocks a
// device has taken but not yet sounded are far shorter.
inline constexpr uint32_t kPlayedOutMs = 500;

// An idle player thread ends after this long, so an unloaded DLL really goes.
inline constexpr uint32_t kIdleMs = 5000;

// What the player learnt of the device count stands this long for
// asynchronous calls; after it, the next playback counts again.
inline constexpr uint64_t kDeviceCountTrustedMs = 5000;

// A device playing normally hands back a block long before it could be
// taken as failing, and a driver call answers long before it is wedged.
static_assert(kBlockMs * kQueuedBlocks < kWedgedAfterMs);
// A wedged player is seen, and replaced, while a synchronous call still
// waits for its dial.
static_assert(kWedgeCheckMs < kWedgedAfterMs);
static_assert(kWedgedAfterMs + kWedgeCheckMs < kDeviceGraceMs);
// A call stopped before its dial's end returns ZELNOR_E_STOPPED once its
// device has handed the blocks back, before its own grace runs out.
static_assert(kBlocksBackMs + kWedgeCheckMs < kDeviceGraceMs);
static_assert(kDevicePollMs < kBlockMs);
// A device whose position lags still lets a synchronous call return well
// within its grace.
static_assert(kBlockMs * kQueuedBlocks < kPlayedOutMs);
static_assert(kPlayedOutMs + kWedgeCheckMs < kDeviceGraceMs);

}  // namespace zelnor
