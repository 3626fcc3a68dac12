#pragma once
// Streams a DTMF sequence into an open waveOut device a few short blocks at
// a time, so memory stays the same whatever the length of the string.

#include <windows.h>

#include <mmsystem.h>

#include <array>
#include <memory>

#include "zelnor/player/driver_watch_win.h"
#include "zelnor/signal/dtmf_sequence.h"

namespace zelnor {

inline constexpr unsigned kBlockMs = 20;
// 160 ms queued ahead: a player or audio thread held off the CPU that long
// on a loaded machine still leaves no gap in a tone.
inline constexpr unsigned kQueuedBlocks = 8;

class WaveBlock;

class WaveStream {
 public:
  // The device must have been opened with CALLBACK_EVENT on block_done.
  // Calls into the driver are marked on `watch`.
  WaveStream(HWAVEOUT device, HANDLE block_done, DriverWatch& watch);
  WaveStream(const WaveStream&) = delete;
  WaveStream& operator=(const WaveStream&) = delete;
  // Resets the device unless Reset() did, then frees the blocks if the device
  // handed them all back, else leaves them to it.
  ~WaveStream();

  // Returns once the last block has been played (ZELNOR_OK), once stop is
  // signalled (ZELNOR_OK), or when the device fails or stalls
  // (ZELNOR_E_DEVICE). Throws std::bad_alloc.
  int Play(DtmfSequence& sequence, HANDLE stop);

  // Takes every block back (waveOutReset) so the device can be closed. May
  // never return on a device that stopped taking samples.
  void Reset() noexcept;

 private:
  using Blocks = std::array<WaveBlock, kQueuedBlocks>;

  bool WaitForBlocksBack() const noexcept;

  HWAVEOUT device_;
  HANDLE block_done_;
  DriverWatch& watch_;
  std::unique_ptr<Blocks> blocks_;
  bool reset_ = false;
  bool blocks_back_ = false;
};

}  // namespace zelnor
