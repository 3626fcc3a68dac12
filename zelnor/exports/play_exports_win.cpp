// The DLL's playing calls: no exception leaves them, and DllMain creates
// nothing and never waits.

#include <windows.h>

#include "zelnor.h"
#include "zelnor/exports/call_boundary.h"
#include "zelnor/exports/exception_globals_win.h"
#include "zelnor/exports/play_options.h"
#include "zelnor/input/dial_sequence.h"
#include "zelnor/player/player.h"
#include "zelnor/player/win32_platform_win.h"

#include <new>
#include <optional>
#include <utility>

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

zelnor::Player& ThePlayer() {
  if (!::InitOnceExecuteOnce(&g_player_once, &MakePlayer, nullptr, nullptr)) throw std::bad_alloc();
  return *g_player;
}

}  // namespace

extern "C" int __stdcall PlayDTMFEx(const char* dial, const ZelnorOptions* options, int32_t async) {
  return zelnor::ResultOf([&] {
    // Everything needed from the caller's string is copied here, before any
    // asynchronous return; a null dial or bad options change nothing.
    zelnor::DtmfSequence sequence = zelnor::SequenceForDial(dial, options);
    std::optional<zelnor::Playback> playback;
    // Progress is told on this thread while a synchronous call waits.
    std::optional<zelnor::ProgressReport> progress;
    if (!sequence.Finished()) {
      const bool has_progress = options->cbSize == sizeof(ZelnorOptions) && options->progress;
      if (has_progress && async == 0) {
        progress.emplace(zelnor::SequenceForDial(dial, options),
                         zelnor::ProgressCallback{options->progress, options->progress_context});
      }
      playback.emplace(zelnor::Playback{std::move(sequence), options->device});
    }
    return ThePlayer().Play(std::move(playback), async != 0, progress ? &*progress : nullptr);
  });
}

extern "C" int __stdcall PlayDTMF(const char* dial, int32_t interval_ms, int32_t async) {
  const ZelnorOptions options = zelnor::PlayDtmfOptions(interval_ms);
  return PlayDTMFEx(dial, &options, async);
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
