#pragma once
// The AudioDevice on waveOut: a ring of kQueuedBlocks prepared blocks, each
// handed back through a callback that sets the player's signal.

#include <windows.h>

#include <mmsystem.h>

#include <array>
#include <memory>
#include <vector>

#include "zelnor/player/audio_device.h"
#include "zelnor/player/timing.h"

namespace zelnor {

class WaveOutDevice final : public AudioDevice {
 public:
  WaveOutDevice() = default;
  WaveOutDevice(const WaveOutDevice&) = delete;
  WaveOutDevice& operator=(const WaveOutDevice&) = delete;
  // Closes the device; frees the blocks only if it handed them all back.
  ~WaveOutDevice() override;

  uint32_t DeviceCount() override;
  int Open(uint32_t id, uint32_t sample_rate, Signal& block_done) override;
  bool Write(const int16_t* samples, size_t count) override;
  uint64_t BlocksDone() override;
  void Pause() override;
  void Restart() override;
  void Reset() override;

 private:
  struct Block {
    WAVEHDR header{};
    std::vector<int16_t> samples;
  };
  using Blocks = std::array<Block, kQueuedBlocks>;

  static void CALLBACK BlockDone(HWAVEOUT, UINT message, DWORD_PTR signal, DWORD_PTR, DWORD_PTR);
  [[nodiscard]] bool AllBlocksBack();

  HWAVEOUT device_ = nullptr;
  Signal* block_done_ = nullptr;
  std::unique_ptr<Blocks> blocks_ = std::make_unique<Blocks>();
  size_t prepared_ = 0;  // blocks prepared for the device, from the first
  uint64_t written_ = 0;
  uint64_t done_ = 0;
};

}  // namespace zelnor
