#pragma once
// Streams a DTMF sequence into an open device a few short blocks at a time,
// so memory stays the same whatever the dial's length.

#include <cstdint>
#include <vector>

#include "zelnor/player/audio_device.h"
#include "zelnor/player/driver_watch.h"
#include "zelnor/player/player_platform.h"
#include "zelnor/player/progress_report.h"
#include "zelnor/signal/dtmf_sequence.h"

namespace zelnor {

class DeviceStream {
 public:
  // `block_done` is the signal the device was opened with; `stop` ends the
  // stream. Driver calls are marked on `watch`.
  DeviceStream(PlayerPlatform& platform, AudioDevice& device, DriverWatch& watch, Signal& stop,
               Signal& block_done)
      : platform_(platform), device_(device), watch_(watch), stop_(stop), block_done_(block_done) {}

  // ZELNOR_OK once the device has handed back the last block,
  // ZELNOR_E_STOPPED once `stop` is set, ZELNOR_E_DEVICE when the device
  // refuses a block or hands none back for kDeviceGraceMs. The device is
  // never started or fed after `stop` is seen. Throws std::bad_alloc.
  int Play(DtmfSequence& sequence, ProgressReport& progress);

 private:
  // Queues blocks until kQueuedBlocks are out or the sequence ends; ZELNOR_OK
  // to carry on.
  int TopUp(DtmfSequence& sequence, uint64_t done);

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
