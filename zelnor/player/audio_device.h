#pragma once
// The narrow view of an audio output the player needs: 16-bit mono blocks
// queued in order and handed back once played. waveOut stands behind it in
// the DLL, a fake in the tests. Any call may hang in a failing driver.

#include <cstddef>
#include <cstdint>
#include <optional>

namespace zelnor {

class Signal;

class AudioDevice {
 public:
  virtual ~AudioDevice() = default;

  // Output devices present; 0 when there are none.
  virtual uint32_t DeviceCount() = 0;
  // Opens device `id` (or the system's choice) at `sample_rate`; `block_done`
  // (auto-reset) is set each time a block is handed back, and may be set at
  // other times too. Returns ZELNOR_OK or the
  // ZELNOR_E_ code for the failure.
  virtual int Open(uint32_t id, uint32_t sample_rate, Signal& block_done) = 0;
  // Queues a copy of `count` samples (one block, at most kBlockMs long) while
  // fewer than kQueuedBlocks are queued. False if the device refuses it.
  virtual bool Write(const int16_t* samples, size_t count) = 0;
  // Blocks handed back since Open, in the order they were written.
  virtual uint64_t BlocksDone() = 0;
  // Samples the device says it has played since Open, modulo 2^32 (as
  // waveOut counts them); nothing if it cannot say.
  virtual std::optional<uint32_t> SamplesPlayed() = 0;
  // Holds and resumes output, so a queue can fill before it starts to sound.
  virtual void Pause() = 0;
  virtual void Restart() = 0;
  // Drops what is queued; the device hands the blocks back, possibly after
  // it has returned. May never return on a device that stopped taking
  // samples.
  virtual void Reset() = 0;
  // Whether every block written has been handed back. Reads the blocks'
  // state only, never calls the driver.
  virtual bool AllBlocksBack() = 0;
};

}  // namespace zelnor
