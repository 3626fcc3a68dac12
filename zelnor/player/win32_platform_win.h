#pragma once
// The player's platform in the DLL: Win32 events, an SRW lock, threads that
// hold a reference to this module, and waveOut. Nothing here uses the C++
// runtime's threads, whose static winpthreads leaks a TLS slot each time the
// DLL is loaded and freed.

#include "zelnor/player/player_platform.h"

namespace zelnor {

class Win32Platform final : public PlayerPlatform {
 public:
  std::unique_ptr<Signal> NewSignal(bool manual_reset) override;
  std::unique_ptr<PlayerLock> NewLock() override;
  std::unique_ptr<AudioDevice> NewAudioDevice() override;
  std::unique_ptr<PlayerThread> StartThread(std::function<void()> body) override;
  WaitResult WaitEither(Signal& first, Signal& second, uint32_t ms) override;
  uint64_t NowMs() override;
};

}  // namespace zelnor
