// The DLL's player, and its entry point: DllMain creates nothing and never
// waits.

#include <windows.h>

#include <new>

#include "zelnor/exports/exception_globals_win.h"
#include "zelnor/exports/the_player.h"
#include "zelnor/player/win32_platform_win.h"

namespace {

// Made by the first call through InitOnce rather than a function-local
// static, whose guard would link the runtime's winpthreads (and its TLS
// leak) into the DLL.
INIT_ONCE g_player_once = INIT_ONCE_STATIC_INIT;
zelnor::Win32Platform g_platform;
zelnor::Player* g_player = nullptr;

BOOL CALLBACK MakePlayer(PINIT_ONCE, PVOID, PVOID*) {
  g_player = new (std::nothrow) zelnor::Player(g_platform);
  return g_player != nullptr;
}

}  // namespace

zelnor::Player& zelnor::ThePlayer() {
  if (!::InitOnceExecuteOnce(&g_player_once, &MakePlayer, nullptr, nullptr)) throw std::bad_alloc();
  return *g_player;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      return zelnor::AllocateExceptionSlot();
    case DLL_THREAD_DETACH:
      zelnor::ReleaseThreadExceptionRecord();
      break;
    case DLL_PROCESS_DETACH:
      // On FreeLibrary (reserved is null) no player thread is left: each
      // holds a module reference. At process exit (reserved set) other
      // threads are already gone and nothing is worth tidying.
      if (reserved == nullptr) {
        delete g_player;
        zelnor::FreeExceptionSlot();
      }
      break;
    default:
      break;
  }
  return TRUE;
}
