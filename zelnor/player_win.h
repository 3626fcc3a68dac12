#pragma once
// The one playback a process has at a time: a new call stops the current one
// first, the way PlaySound does, whichever thread either call came from.

#include <cstdint>
#include <memory>
#include <mutex>

#include "zelnor/playback_win.h"
#include "zelnor/zelnor.h"

namespace zelnor {

class Player {
 public:
  // Never destroyed: nothing may wait on a thread while the DLL detaches.
  static Player& Instance();

  // PlayDTMFEx's behaviour (zelnor.h); throws ZelnorError or std::bad_alloc.
  int Play(const char* dial, const ZelnorOptions* options, bool async);

  // Drops a finished playback's handles when the DLL is unloaded. By then no
  // worker runs this module's code, so this never waits.
  void ReleaseAtUnload();

 private:
  Player() = default;

  std::mutex mutex_;
  std::shared_ptr<Playback> current_;  // the latest, playing or not
};

}  // namespace zelnor
