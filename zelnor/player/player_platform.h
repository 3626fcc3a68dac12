#pragma once
// What the player needs from the system besides the device: events, a
// lock, a millisecond clock and threads. Win32 in the DLL (which must not
// pull in a threads runtime of its own), std:: or a fake clock in the
// tests.

#include <cstdint>
#include <functional>
#include <memory>

#include "zelnor/player/audio_device.h"

namespace zelnor {

// An event: set, it wakes its waiters; an auto-reset one wakes one wait.
class Signal {
 public:
  virtual ~Signal() = default;
  virtual void Set() = 0;
  virtual void Reset() = 0;
  [[nodiscard]] virtual bool IsSet() = 0;
  // True if set within `ms`.
  virtual bool Wait(uint32_t ms) = 0;
};

// A plain mutual-exclusion lock (usable with std::lock_guard).
class PlayerLock {
 public:
  virtual ~PlayerLock() = default;
  virtual void lock() = 0;
  virtual void unlock() = 0;
};

// A started thread, to tell whether it has ended.
class PlayerThread {
 public:
  virtual ~PlayerThread() = default;
  [[nodiscard]] virtual bool HasEnded() = 0;
};

enum class WaitResult { kFirst, kSecond, kTimedOut };

class PlayerPlatform {
 public:
  virtual ~PlayerPlatform() = default;
  // An event, not set. Throws ZelnorError (ZELNOR_E_SYSTEM).
  virtual std::unique_ptr<Signal> NewSignal(bool manual_reset) = 0;
  virtual std::unique_ptr<PlayerLock> NewLock() = 0;
  // A closed device, for one playback.
  virtual std::unique_ptr<AudioDevice> NewAudioDevice() = 0;
  // Runs `body` on a new thread that keeps the library loaded until it ends.
  // Throws ZelnorError (ZELNOR_E_SYSTEM).
  virtual std::unique_ptr<PlayerThread> StartThread(std::function<void()> body) = 0;
  // Waits up to `ms` for either signal (both made by this platform).
  virtual WaitResult WaitEither(Signal& first, Signal& second, uint32_t ms) = 0;
  // A monotonic clock.
  virtual uint64_t NowMs() = 0;
};

}  // namespace zelnor
