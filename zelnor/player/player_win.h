#pragma once
// The one playback a process has at a time, played by one long-lived player
// thread fed through a mailbox that holds only the newest request: a new
// call replaces a request not yet begun and stops the one playing, the way
// PlaySound does, whichever thread either call came from.
//
// The thread is started by the first call and ends after a while idle. One
// stuck inside a driver that never returns is left there (it keeps its own
// module reference) and a fresh one takes over, so at most two threads of
// this library exist at any moment.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <mutex>

#include "common/handles_win.h"
#include "zelnor.h"
#include "zelnor/player/play_request_win.h"
#include "zelnor/player/player_thread_win.h"

namespace zelnor {

class Player {
 public:
  // Never destroyed: nothing may wait on a thread while the DLL detaches.
  static Player& Instance();

  // PlayDTMFEx's behaviour (zelnor.h); throws ZelnorError or std::bad_alloc.
  int Play(const char* dial, const ZelnorOptions* options, bool async);

  // Plays `request` in place of whatever is playing; a null request only
  // stops. Waits for the end of the playback unless async. Throws
  // ZelnorError or std::bad_alloc.
  int Submit(std::unique_ptr<PlayRequest> request, bool async);

  // For the player thread. Takes the newest request, or null with nothing to
  // play; `dismissed` is set once the player no longer counts on this thread.
  std::unique_ptr<PlayRequest> TakeNext(PlayerThread& thread, bool& dismissed);
  // After `completion`'s request has been played and freed.
  void Played(const std::shared_ptr<Completion>& completion);
  // True if the idle thread may end: no request came in meanwhile.
  bool Retire(PlayerThread& thread);

  // Drops what is left when the DLL is unloaded. By then no player thread
  // runs this module's code, so this never waits.
  void ReleaseAtUnload();

 private:
  Player() = default;

  // With mutex_ held: a thread that will take the pending request.
  void EnsurePlayerThread();

  std::mutex mutex_;
  std::unique_ptr<PlayRequest> pending_;
  std::shared_ptr<Completion> playing_;   // of the request being played
  std::shared_ptr<PlayerThread> thread_;  // null when none runs
  UniqueKernelHandle abandoned_thread_;   // left inside a wedged driver
  UniqueKernelHandle retired_thread_;     // ended idle, may still be exiting
};

}  // namespace zelnor
