#pragma once
// An owned Win32 event with the few things done to one, so a wait-0 check
// reads as IsSet() and no caller handles the raw HANDLE.

#include <windows.h>

#include <cstdint>

#include "common/handles_win.h"

enum class EventReset { kManual, kAuto };

class UniqueEvent {
 public:
  // Check valid(): creating an event can fail.
  explicit UniqueEvent(EventReset reset)
      : event_(::CreateEventW(nullptr, reset == EventReset::kManual, FALSE, nullptr)),
        reset_(reset) {}

  [[nodiscard]] bool valid() const noexcept { return event_.valid(); }
  void Set() const noexcept { ::SetEvent(event_.get()); }
  void Reset() const noexcept { ::ResetEvent(event_.get()); }
  // Whether the event is set, leaving it so: a look takes an auto-reset
  // event's set state, which is then given back (a waiter timing out in
  // that instant misses it).
  [[nodiscard]] bool IsSet() const noexcept {
    if (!Wait(0)) return false;
    if (reset_ == EventReset::kAuto) Set();
    return true;
  }
  // True if the event was (or became) set within `ms`; an auto-reset event
  // is cleared by a wait that sees it set.
  [[nodiscard]] bool Wait(uint32_t ms) const noexcept {
    return ::WaitForSingleObject(event_.get(), ms) == WAIT_OBJECT_0;
  }
  // For APIs that signal or wait on the event themselves.
  [[nodiscard]] HANDLE get() const noexcept { return event_.get(); }

 private:
  UniqueKernelHandle event_;
  EventReset reset_;
};
