#pragma once
// The player's platform in libzelnor.so: the standard library's threads,
// locks and steady clock, and a PulseAudio sink for the device.

#include "zelnor/player/player_platform.h"

namespace zelnor {

struct PosixSignals;

class PosixPlatform final : public PlayerPlatform {
 public:
  PosixPlatform();
  ~PosixPlatform() override;
  PosixPlatform(const PosixPlatform&) = delete;
  PosixPlatform& operator=(const PosixPlatform&) = delete;

  std::unique_ptr<Signal> NewSignal(bool manual_reset) override;
  std::unique_ptr<PlayerLock> NewLock() override;
  std::unique_ptr<AudioDevice> NewAudioDevice() override;
  std::unique_ptr<PlayerThread> StartThread(std::function<void()> body) override;
  WaitResult WaitEither(Signal& first, Signal& second, uint32_t ms) override;
  uint64_t NowMs() override;

 private:
  // Every signal of this platform waits on one condition, so a wait can
  // cover two of them.
  std::unique_ptr<PosixSignals> signals_;
};

}  // namespace zelnor
