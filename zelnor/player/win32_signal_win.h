#pragma once
// The player's Signal on a Win32 event, which waveOut can also set itself
// (CALLBACK_EVENT) and WaitForMultipleObjects can wait on.

#include <windows.h>

#include <atomic>

#include "common/unique_event_win.h"
#include "zelnor/player/player_platform.h"
#include "zelnor/zelnor_error.h"

namespace zelnor {

class Win32Signal final : public Signal {
 public:
  // Throws ZelnorError (ZELNOR_E_SYSTEM) if no event can be made.
  explicit Win32Signal(bool manual_reset)
      : event_(manual_reset ? EventReset::kManual : EventReset::kAuto),
        manual_reset_(manual_reset) {
    if (!event_.valid()) throw ZelnorError(ZELNOR_E_SYSTEM, "CreateEvent failed");
  }
  void Set() override {
    set_ = true;
    event_.Set();
  }
  void Reset() override {
    set_ = false;
    event_.Reset();
  }
  // The player asks before every block whether to stop; under Wine each
  // look at the event itself is a round trip to the server.
  bool IsSet() override { return manual_reset_ ? set_.load() : event_.IsSet(); }
  bool Wait(uint32_t ms) override { return event_.Wait(ms); }
  // The event, for the calls that wait on it or set it themselves.
  [[nodiscard]] HANDLE get() const { return event_.get(); }

 private:
  UniqueEvent event_;
  bool manual_reset_;
  std::atomic<bool> set_{false};  // a manual-reset event's state
};

}  // namespace zelnor
