#pragma once
// The AudioDevice on waveOut: a ring of kQueuedBlocks prepared blocks, each
// handed back by the driver setting the player's event (CALLBACK_EVENT), so
// the driver never holds a pointer into this library's objects.

#include <windows.h>

#include <mmsystem.h>

#include <array>
#include <memory>
#include <vector>

#include "common/handles_win.h"
#include "zelnor/player/audio_device.h"
#include "zelnor/player/timing.h"

namespace zelnor {

class WaveOutDevice final : public AudioDevice {
 public:
  WaveOutDevice() = default;
  WaveOutDevice(const WaveOutDevice&) = delete;
  WaveOutDevice& operator=(const WaveOutDevice&) = delete;
  // Closes the device; frees the blocks and lets go of the event only if it
  // handed every block back and closed.
  ~WaveOutDevice() override;

  uint32_t DeviceCount() override;
  int Open(uint32_t id, uint32_t sample_rate, Signal& block_done) override;
  bool Write(const int16_t* samples, size_t count) override;
  uint64_t BlocksDone() override;
  std::optional<uint32_t> SamplesPlayed() override;
  void Pause() override;
  void Restart() override;
  void Reset() override;
  bool AllBlocksBack() override;

 private:
  struct Block {
    WAVEHDR header{};
    std::vector<int16_t> samples;
  };
  using Blocks = std::array<Block, kQueuedBlocks>;

  HWAVEOUT device_ = nullptr;
  // The driver's own handle to the block-done event: one it may still set
  // after a failed close must stay open, never reused by another object.
  UniqueKernelHandle block_done_;
  std::unique_ptr<Blocks> blocks_ = std::make_unique<Blocks>();
  size_t prepared_ = 0;  // blocks prepared for the device, from the first
  uint64_t written_ = 0;
  uint64_t done_ = 0;
};

}  // namespace zelnor
