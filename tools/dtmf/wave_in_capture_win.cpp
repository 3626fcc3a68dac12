#include "tools/dtmf/wave_in_capture_win.h"

#include "common/mono_pcm_format_win.h"
#include "tools/dtmf/failure.h"
#include "tools/dtmf/wave_devices_win.h"

namespace dtmf_tool {
namespace {

[[noreturn]] void ThrowDeviceFailure(const wchar_t* what, MMRESULT result) {
  throw Failure(kExitDevice,
                std::wstring(L"dtmf: --listen: ") + what + L": " + WaveInErrorText(result));
}

void Check(const wchar_t* what, MMRESULT result) {
  if (result != MMSYSERR_NOERROR) ThrowDeviceFailure(what, result);
}

}  // namespace

std::wstring WaveInErrorText(MMRESULT result) {
  return WaveErrorText(result, ::waveInGetErrorTextW);
}

std::vector<std::wstring> WaveInDeviceNames() {
  return WaveDeviceNames(::waveInGetNumDevs, ::waveInGetDevCapsW);
}

WaveInCapture::WaveInCapture(UINT device, uint32_t sample_rate) {
  if (!filled_.valid()) ThrowDeviceFailure(L"cannot wait for the device", MMSYSERR_NOMEM);
  if (::waveInGetNumDevs() == 0) ThrowDeviceFailure(L"no input device", MMSYSERR_NODRIVER);
  const WAVEFORMATEX format = MonoPcm16Format(sample_rate);
  Check(L"cannot open the input device",
        ::waveInOpen(&device_, device, &format, reinterpret_cast<DWORD_PTR>(filled_.get()), 0,
                     CALLBACK_EVENT));
  try {
    const size_t per_buffer = sample_rate * kBufferMs / 1000;
    samples_.resize(per_buffer * kBuffers);
    for (size_t i = 0; i < kBuffers; ++i) {
      WAVEHDR& header = headers_[i];
      header.lpData = reinterpret_cast<LPSTR>(&samples_[i * per_buffer]);
      header.dwBufferLength = static_cast<DWORD>(per_buffer * sizeof(int16_t));
      Check(L"cannot prepare a buffer", ::waveInPrepareHeader(device_, &header, sizeof header));
      Check(L"cannot queue a buffer", ::waveInAddBuffer(device_, &header, sizeof header));
    }
    Check(L"cannot start recording", ::waveInStart(device_));
  } catch (...) {
    Close();
    throw;
  }
}

WaveInCapture::~WaveInCapture() { Close(); }

void WaveInCapture::Close() noexcept {
  if (device_ == nullptr) return;
  // Reset hands every queued buffer back, so none is unprepared while the
  // driver still writes into it.
  ::waveInReset(device_);
  for (WAVEHDR& header : headers_) {
    if (header.dwFlags & WHDR_PREPARED) ::waveInUnprepareHeader(device_, &header, sizeof header);
  }
  ::waveInClose(device_);
  device_ = nullptr;
}

void WaveInCapture::Run(const UniqueEvent& stop,
                        const std::function<bool(const int16_t*, size_t)>& take) {
  const HANDLE events[] = {stop.get(), filled_.get()};
  for (;;) {
    const DWORD woken = ::WaitForMultipleObjects(2, events, FALSE, INFINITE);
    if (woken == WAIT_OBJECT_0) return;
    if (woken != WAIT_OBJECT_0 + 1) {
      throw Failure(kExitDevice, L"dtmf: --listen: waiting for the device failed");
    }
    // One signal may stand for several buffers.
    while (headers_[next_].dwFlags & WHDR_DONE) {
      WAVEHDR& header = headers_[next_];
      next_ = (next_ + 1) % kBuffers;
      const bool more = take(reinterpret_cast<const int16_t*>(header.lpData),
                             header.dwBytesRecorded / sizeof(int16_t));
      if (!more) return;
      header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
      Check(L"cannot queue a buffer", ::waveInAddBuffer(device_, &header, sizeof header));
    }
  }
}

}  // namespace dtmf_tool
