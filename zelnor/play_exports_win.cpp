// The DLL's boundary: no exception leaves it, and DllMain creates nothing
// and never waits.

#include <windows.h>

#include "zelnor.h"
#include "zelnor/call_boundary.h"
#include "zelnor/input/options.h"
#include "zelnor/player/player_win.h"

extern "C" int __stdcall PlayDTMFEx(const char* dial, const ZelnorOptions* options, int32_t async) {
  return zelnor::ResultOf(
      [&] { return zelnor::Player::Instance().Play(dial, options, async != 0); });
}

extern "C" int __stdcall PlayDTMF(const char* dial, int32_t interval_ms, int32_t async) {
  const ZelnorOptions options = zelnor::PlayDtmfOptions(interval_ms);
  return PlayDTMFEx(dial, &options, async);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  // On FreeLibrary (reserved is null) no player thread is left: each holds a
  // module reference. At process exit (reserved set) other threads are
  // already gone and nothing is worth tidying.
  if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
    zelnor::Player::Instance().ReleaseAtUnload();
  }
  return TRUE;
}
