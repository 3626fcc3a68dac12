#include "zelnor/player/player_thread_win.h"

#include <mmsystem.h>

#include <memory>
#include <new>

#include "zelnor.h"
#include "zelnor/player/mono_pcm_format_win.h"
#include "zelnor/player/player_win.h"
#include "zelnor/player/wave_out_handle_win.h"
#include "zelnor/player/wave_stream_win.h"
#include "zelnor/zelnor_error.h"

namespace zelnor {
namespace {

// An idle thread ends after this long, so that an unloaded DLL really goes.
constexpr DWORD kIdleMs = 5000;

int DeviceOpenError(MMRESULT result) {
  switch (result) {
    case MMSYSERR_BADDEVICEID:
    case MMSYSERR_NODRIVER:
      return ZELNOR_E_NO_DEVICE;
    case MMSYSERR_NOMEM:
      return ZELNOR_E_OUT_OF_MEMORY;
    default:
      return ZELNOR_E_DEVICE;
  }
}

UniqueKernelHandle CreateEventOrThrow(bool manual_reset) {
  UniqueKernelHandle event(::CreateEventW(nullptr, manual_reset, FALSE, nullptr));
  if (!event) throw ZelnorError(ZELNOR_E_SYSTEM, "CreateEvent failed");
  return event;
}

}  // namespace

// What the new thread owns: its share of the state and its module reference.
struct PlayerThread::ThreadStart {
  std::shared_ptr<PlayerThread> self;
  HMODULE module;
};

std::shared_ptr<PlayerThread> PlayerThread::Start(Player& player) {
  auto self = std::make_shared<PlayerThread>(player);
  HMODULE module = nullptr;
  if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(&PlayerThread::ThreadMain), &module)) {
    throw ZelnorError(ZELNOR_E_SYSTEM, "GetModuleHandleEx failed");
  }
  UniqueModule reference(module);  // handed to the thread once it runs
  auto start = std::unique_ptr<ThreadStart>(new ThreadStart{self, module});
  // The thread's frames are small (its sample blocks live on the heap), so a
  // modest address-space reservation is plenty.
  constexpr SIZE_T kStackBytes = 256 * 1024;
  self->thread_.reset(::CreateThread(nullptr, kStackBytes, &PlayerThread::ThreadMain, start.get(),
                                     STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
  if (!self->thread_) throw ZelnorError(ZELNOR_E_SYSTEM, "CreateThread failed");
  start.release();      // the thread deletes it
  reference.release();  // the thread frees it with FreeLibraryAndExitThread
  return self;
}

PlayerThread::PlayerThread(Player& player)
    : player_(player), news_(CreateEventOrThrow(true)), block_done_(CreateEventOrThrow(false)) {}

DWORD WINAPI PlayerThread::ThreadMain(void* start_pointer) {
  HMODULE module = nullptr;
  {
    std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(start_pointer));
    module = start->module;
    start->self->Run();
  }  // the state may be freed here, before the module reference goes
  ::FreeLibraryAndExitThread(module, 0);
  return 0;  // not reached
}

void PlayerThread::Run() noexcept {
  // Audio engines run the thread that feeds the device above everything
  // else, so a busy machine delays it by microseconds, not by whole blocks.
  ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  for (;;) {
    bool dismissed = false;
    std::unique_ptr<PlayRequest> request = player_.TakeNext(*this, dismissed);
    if (dismissed) return;
    if (!request) {
      if (::WaitForSingleObject(news_.get(), kIdleMs) == WAIT_TIMEOUT && player_.Retire(*this)) {
        return;
      }
      continue;
    }
    const std::shared_ptr<Completion> completion = request->completion;
    int result = ZELNOR_E_SYSTEM;
    try {
      result = PlayOnDevice(*request);
    } catch (const ZelnorError& error) {
      result = error.code();
    } catch (...) {
      result = ZELNOR_E_OUT_OF_MEMORY;
    }
    request.reset();  // the symbols' copy goes before anyone hears it ended
    completion->Finish(result);
    player_.Played(completion);
  }
}

int PlayerThread::PlayOnDevice(PlayRequest& request) {
  // Replaced before it began: leave the device alone.
  if (::WaitForSingleObject(news_.get(), 0) == WAIT_OBJECT_0) return ZELNOR_OK;
  const WAVEFORMATEX format = MonoPcm16Format(request.sequence.SampleRate());
  // What a failed open leaves in the handle is not defined: kept out of
  // the owner until the open succeeds.
  HWAVEOUT raw_device = nullptr;
  MMRESULT opened = MMSYSERR_ERROR;
  {
    const DriverWatch::Call call(driver_);
    opened = ::waveOutOpen(&raw_device, request.device_id, &format,
                           reinterpret_cast<DWORD_PTR>(block_done_.get()), 0, CALLBACK_EVENT);
  }
  if (opened != MMSYSERR_NOERROR) return DeviceOpenError(opened);
  UniqueWaveOut device(raw_device);
  int result = ZELNOR_OK;
  {
    WaveStream stream(device.get(), block_done_.get(), driver_);
    result = stream.Play(request.sequence, news_.get());
    // A device that failed may never come back from the reset: its caller
    // hears of the failure now.
    if (result != ZELNOR_OK) request.completion->Finish(result);
    stream.Reset();
  }
  const DriverWatch::Call call(driver_);
  device.reset();
  return result;
}

}  // namespace zelnor
