// The DLL's boundary: no exception leaves it, and DllMain creates nothing
// and never waits.

#include <windows.h>

#include <new>

#include "zelnor/player_win.h"
#include "zelnor/zelnor.h"
#include "zelnor/zelnor_error.h"

extern "C" int __stdcall PlayDTMF(const char* dial, int32_t interval_ms, int32_t async) {
  try {
    return zelnor::Player::Instance().Play(dial, interval_ms, async != 0);
  } catch (const zelnor::ZelnorError& error) {
    return error.code();
  } catch (const std::bad_alloc&) {
    return ZELNOR_E_OUT_OF_MEMORY;
  } catch (...) {
    return ZELNOR_E_SYSTEM;
  }
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
