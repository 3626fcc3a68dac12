#include "zelnor/audio_warm_up_win.h"

#include <mmsystem.h>

#include "common/handles_win.h"

namespace zelnor {
namespace {

DWORD WINAPI WarmUpThread(void* module) {
  ::waveOutGetNumDevs();
  ::FreeLibraryAndExitThread(static_cast<HMODULE>(module), 0);
  return 0;  // not reached
}

}  // namespace

void StartAudioWarmUp(HMODULE self) noexcept {
  // The thread's own reference keeps this code mapped should the DLL be
  // unloaded before it finishes.
  HMODULE reference = nullptr;
  if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(self),
                            &reference)) {
    return;
  }
  UniqueModule owned(reference);
  const UniqueKernelHandle thread(::CreateThread(nullptr, 64 * 1024, &WarmUpThread, reference,
                                                 STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
  if (thread) owned.release();  // the thread frees it as it exits
}

}  // namespace zelnor
