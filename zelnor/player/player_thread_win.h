#pragma once
// The thread that plays the Player's requests one after another on waveOut,
// at raised priority. It holds a reference to this module while it runs, so
// unloading the DLL mid-playback only takes effect once it has ended.

#include <windows.h>

#include <memory>

#include "common/handles_win.h"
#include "zelnor/player/driver_watch_win.h"
#include "zelnor/player/play_request_win.h"

namespace zelnor {

class Player;

class PlayerThread {
 public:
  // Starts a thread serving `player`. Throws ZelnorError.
  static std::shared_ptr<PlayerThread> Start(Player& player);

  explicit PlayerThread(Player& player);
  PlayerThread(const PlayerThread&) = delete;
  PlayerThread& operator=(const PlayerThread&) = delete;

  // The rest is for the Player, with its lock held.

  // The mailbox changed: stop what is playing and look again.
  void Notify() noexcept { ::SetEvent(news_.get()); }
  void ClearNews() noexcept { ::ResetEvent(news_.get()); }
  // The Player no longer counts on this thread: it ends as soon as it can.
  void Dismiss() noexcept {
    dismissed_ = true;
    Notify();
  }
  [[nodiscard]] bool Dismissed() const noexcept { return dismissed_; }
  [[nodiscard]] uint64_t InsideDriverForMs() const noexcept { return driver_.InsideForMs(); }
  // The thread's handle, to tell later whether it has ended.
  UniqueKernelHandle TakeHandle() noexcept { return std::move(thread_); }

 private:
  struct ThreadStart;
  static DWORD WINAPI ThreadMain(void* start);
  void Run() noexcept;
  int PlayOnDevice(PlayRequest& request);

  Player& player_;
  UniqueKernelHandle news_;        // manual reset, cleared as the mailbox is read
  UniqueKernelHandle block_done_;  // the device's CALLBACK_EVENT
  UniqueKernelHandle thread_;
  DriverWatch driver_;
  bool dismissed_ = false;
};

}  // namespace zelnor
