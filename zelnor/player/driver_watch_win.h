#pragma once
// How long a thread has been inside one audio-driver call. Some drivers never
// return from a call on a device that stopped taking samples (waveOutReset on
// a stalled or unplugged device); other threads read this to tell a wedged
// worker from a busy one.

#include <windows.h>

#include <atomic>
#include <cstdint>

namespace zelnor {

class DriverWatch {
 public:
  // Marks the calls made during its lifetime.
  class Call {
   public:
    explicit Call(DriverWatch& watch) noexcept : watch_(watch) {
      watch_.entered_at_ = ::GetTickCount64();
    }
    ~Call() { watch_.entered_at_ = 0; }
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;

   private:
    DriverWatch& watch_;
  };

  // 0 when the thread is not inside a driver call.
  [[nodiscard]] uint64_t InsideForMs() const noexcept {
    const uint64_t entered_at = entered_at_;
    return entered_at == 0 ? 0 : ::GetTickCount64() - entered_at;
  }

 private:
  std::atomic<uint64_t> entered_at_{0};
};

}  // namespace zelnor
