#include "zelnor/player/win32_platform_win.h"

#include <windows.h>

#include "common/handles_win.h"
#include "zelnor.h"
#include "zelnor/exports/exception_globals_win.h"
#include "zelnor/player/wave_out_device_win.h"
#include "zelnor/player/win32_signal_win.h"
#include "zelnor/zelnor_error.h"

namespace zelnor {
namespace {

class SlimLock final : public PlayerLock {
 public:
  void lock() override { ::AcquireSRWLockExclusive(&lock_); }
  void unlock() override { ::ReleaseSRWLockExclusive(&lock_); }

 private:
  SRWLOCK lock_ = SRWLOCK_INIT;
};

class Win32Thread final : public PlayerThread {
 public:
  void Adopt(HANDLE thread) { thread_.reset(thread); }
  bool HasEnded() override { return ::WaitForSingleObject(thread_.get(), 0) == WAIT_OBJECT_0; }

 private:
  UniqueKernelHandle thread_;
};

// What a new thread owns: its body and its reference to this module.
struct ThreadStart {
  std::function<void()> body;
  HMODULE module;
};

DWORD WINAPI ThreadMain(void* start_pointer) {
  // Audio engines run the thread that feeds the device above everything
  // else, so a busy machine delays it by microseconds, not by whole blocks.
  ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  HMODULE module = nullptr;
  {
    std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(start_pointer));
    module = start->module;
    start->body();
  }  // the body's state goes before the module reference
  ReleaseThreadExceptionRecord();
  ::FreeLibraryAndExitThread(module, 0);
  return 0;  // not reached
}

}  // namespace

std::unique_ptr<Signal> Win32Platform::NewSignal(bool manual_reset) {
  return std::make_unique<Win32Signal>(manual_reset);
}

std::unique_ptr<PlayerLock> Win32Platform::NewLock() { return std::make_unique<SlimLock>(); }

std::unique_ptr<AudioDevice> Win32Platform::NewAudioDevice() {
  return std::make_unique<WaveOutDevice>();
}

std::unique_ptr<PlayerThread> Win32Platform::StartThread(std::function<void()> body) {
  HMODULE module = nullptr;
  if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(&ThreadMain), &module)) {
    throw ZelnorError(ZELNOR_E_SYSTEM, "GetModuleHandleEx failed");
  }
  UniqueModule reference(module);  // handed to the thread once it runs
  auto start = std::make_unique<ThreadStart>(ThreadStart{std::move(body), module});
  auto started = std::make_unique<Win32Thread>();  // allocated first: nothing throws once it runs
  // The thread's frames are small (its sample blocks live on the heap), so a
  // modest address-space reservation is plenty.
  constexpr SIZE_T kStackBytes = 256 * 1024;
  HANDLE thread = ::CreateThread(nullptr, kStackBytes, &ThreadMain, start.get(),
                                 STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (!thread) throw ZelnorError(ZELNOR_E_SYSTEM, "CreateThread failed");
  static_cast<void>(start.release());      // the thread deletes it
  static_cast<void>(reference.release());  // freed by FreeLibraryAndExitThread
  started->Adopt(thread);
  return started;
}

WaitResult Win32Platform::WaitEither(Signal& first, Signal& second, uint32_t ms) {
  // Every Signal of this platform is a Win32Signal.
  const HANDLE events[] = {static_cast<Win32Signal&>(first).get(),
                           static_cast<Win32Signal&>(second).get()};
  switch (::WaitForMultipleObjects(2, events, FALSE, ms)) {
    case WAIT_OBJECT_0:
      return WaitResult::kFirst;
    case WAIT_OBJECT_0 + 1:
      return WaitResult::kSecond;
    case WAIT_TIMEOUT:
      return WaitResult::kTimedOut;
    default:
      throw ZelnorError(ZELNOR_E_SYSTEM, "WaitForMultipleObjects failed");
  }
}

uint64_t Win32Platform::NowMs() { return ::GetTickCount64(); }

}  // namespace zelnor
