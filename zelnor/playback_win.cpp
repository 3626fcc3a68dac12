#include "zelnor/playback_win.h"

#include <mmsystem.h>

#include <memory>
#include <new>

#include "zelnor/wave_out_handle_win.h"
#include "zelnor/wave_stream_win.h"
#include "zelnor/zelnor.h"
#include "zelnor/zelnor_error.h"

namespace zelnor {
namespace {

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

WAVEFORMATEX MonoPcm16(uint32_t sample_rate) {
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 1;
  format.nSamplesPerSec = sample_rate;
  format.wBitsPerSample = 16;
  format.nBlockAlign = format.nChannels * format.wBitsPerSample / 8;
  format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
  return format;
}

}  // namespace

// What the worker owns: its share of the playback and its module reference.
struct Playback::ThreadStart {
  std::shared_ptr<Playback> playback;
  HMODULE module;
};

std::shared_ptr<Playback> Playback::Start(DtmfSequence sequence, UINT device,
                                          std::shared_ptr<Playback> predecessor) {
  auto playback = std::make_shared<Playback>(std::move(sequence), device, std::move(predecessor));
  playback->StartWorker(playback);
  return playback;
}

Playback::Playback(DtmfSequence sequence, UINT device, std::shared_ptr<Playback> predecessor)
    : sequence_(std::move(sequence)),
      device_(device),
      predecessor_(std::move(predecessor)),
      block_done_(CreateEventOrThrow(false)),
      stop_(CreateEventOrThrow(true)) {}

void Playback::StartWorker(const std::shared_ptr<Playback>& self) {
  HMODULE module = nullptr;
  if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(&Playback::ThreadMain), &module)) {
    throw ZelnorError(ZELNOR_E_SYSTEM, "GetModuleHandleEx failed");
  }
  UniqueModule reference(module);  // handed to the worker once it runs
  auto start = std::unique_ptr<ThreadStart>(new (std::nothrow) ThreadStart{self, module});
  if (!start) throw ZelnorError(ZELNOR_E_OUT_OF_MEMORY, "out of memory");
  // The worker's frames are small (its sample blocks live on the heap), so a
  // modest address-space reservation is plenty.
  constexpr SIZE_T kWorkerStackBytes = 256 * 1024;
  thread_.reset(::CreateThread(nullptr, kWorkerStackBytes, &Playback::ThreadMain, start.get(),
                               STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
  if (!thread_) throw ZelnorError(ZELNOR_E_SYSTEM, "CreateThread failed");
  start.release();      // the worker deletes it
  reference.release();  // the worker frees it with FreeLibraryAndExitThread
}

DWORD WINAPI Playback::ThreadMain(void* start_pointer) {
  HMODULE module = nullptr;
  {
    std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(start_pointer));
    module = start->module;
    start->playback->Run();
  }  // the playback may be freed here, before the module reference goes
  ::FreeLibraryAndExitThread(module, 0);
  return 0;  // not reached
}

void Playback::Run() noexcept {
  if (predecessor_) {
    predecessor_->Wait();
    predecessor_.reset();
  }
  try {
    result_ = OpenAndStream();
  } catch (const ZelnorError& error) {
    result_ = error.code();
  } catch (...) {
    result_ = ZELNOR_E_OUT_OF_MEMORY;
  }
}

int Playback::OpenAndStream() {
  // Replaced before it began: leave the device alone.
  if (::WaitForSingleObject(stop_.get(), 0) == WAIT_OBJECT_0) return ZELNOR_OK;
  const WAVEFORMATEX format = MonoPcm16(sequence_.SampleRate());
  HWAVEOUT raw_device = nullptr;
  const MMRESULT opened =
      ::waveOutOpen(&raw_device, device_, &format, reinterpret_cast<DWORD_PTR>(block_done_.get()),
                    0, CALLBACK_EVENT);
  if (opened != MMSYSERR_NOERROR) return DeviceOpenError(opened);
  const UniqueWaveOut device(raw_device);
  return StreamToWaveOut(device.get(), block_done_.get(), stop_.get(), sequence_);
}

void Playback::RequestStop() { ::SetEvent(stop_.get()); }

int Playback::Wait() {
  ::WaitForSingleObject(thread_.get(), INFINITE);
  return result_;
}

}  // namespace zelnor
