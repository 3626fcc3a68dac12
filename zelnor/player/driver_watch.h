#pragma once
// How long a thread has been inside one audio-driver call. Some drivers never
// return from a call on a device that stopped taking samples (waveOutReset on
// a stalled or unplugged device); other threads read this to tell a wedged
// player from a busy one.

#include <atomic>
#include <cstdint>

#include "zelnor/player/player_platform.h"

namespace zelnor {

class DriverWatch {
 public:
  explicit DriverWatch(PlayerPlatform& platform) : platform_(platform) {}

  // Marks the driver call made during its lifetime.
  class Call {
   public:
    explicit Call(DriverWatch& watch) : watch_(watch) {
      watch_.entered_at_ = watch_.platform_.NowMs();
    }
    ~Call() { watch_.entered_at_ = kOutside; }
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;

   private:
    DriverWatch& watch_;
  };

  // 0 when the thread is not inside a driver call.
  [[nodiscard]] uint64_t InsideForMs() const {
    const uint64_t entered_at = entered_at_;
    return entered_at == kOutside ? 0 : platform_.NowMs() - entered_at;
  }

 private:
  static constexpr uint64_t kOutside = UINT64_MAX;

  PlayerPlatform& platform_;
  std::atomic<uint64_t> entered_at_{kOutside};
};

}  // namespace zelnor
