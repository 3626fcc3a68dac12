#pragma once
// Streams a DTMF sequence into an open device a few short blocks at a time,
// so memory stays the same whatever the dial's length.

#include <cstdint>
#include <vector>

#include "zelnor/player/audio_device.h"
#include "zelnor/player/completion.h"
#include "zelnor/player/driver_watch.h"
#include "zelnor/player/player_platform.h"
#include "zelnor/signal/dtmf_sequence.h"

namespace zelnor {

class DeviceStream {
 public:
  // `block_done` is the signal the device was opened with; `stop` ends the
  // stream. Driver calls are marked on `watch`.
  DeviceStream(PlayerPlatform& platform, AudioDevice& device, DriverWatch& watch, Signal& stop,
               Signal& block_done)
      : platform_(platform), device_(device), watch_(watch), stop_(stop), block_done_(block_done) {}

  // ZELNOR_OK once the device has handed back the last block and its
  // position has reached the last sample (or kPlayedOutMs has passed),
  // ZELNOR_E_STOPPED once `stop` is set, ZELNOR_E_DEVICE when the device
  // refuses a block or hands none back for kDeviceGraceMs. The device is
  // never started or fed after `stop` is seen. How far the device has got
  // goes to `progress` as blocks come back. Throws std::bad_alloc.
  int Play(DtmfSequence& sequence, Completion& progress);

  // Drops what is queued and waits up to kBlocksBackMs for the device to
  // hand every block back; only the driver call is watched.
  void Reset();

 private:
  // Queues blocks until kQueuedBlocks are out or the sequence ends; ZELNOR_OK
  // to carry on.
  int TopUp(DtmfSequence& sequence, uint64_t done);
  // Waits up to kPlayedOutMs for the device to play the first `samples`
  // samples; ZELNOR_OK, or ZELNOR_E_STOPPED once `stop` is set.
  int AwaitPlayed(uint64_t samples);

  PlayerPlatform& platform_;
  AudioDevice& device_;
  DriverWatch& watch_;
  Signal& stop_;
  Signal& block_done_;
  std::vector<int16_t> block_;
  uint64_t written_ = 0;
  bool all_written_ = false;
};

}  // namespace zelnor
