#pragma once
// Recording from a waveIn device: the system's capture devices, and 16-bit
// mono samples handed on as the device fills each buffer.

#include <windows.h>

#include <mmsystem.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/unique_event_win.h"

namespace dtmf_tool {

// Capture device names in device-id order.
std::vector<std::wstring> WaveInDeviceNames();

// The system's text for a waveIn result.
std::wstring WaveInErrorText(MMRESULT result);

// A waveIn device recording from construction to destruction. The driver
// signals a kernel event (CALLBACK_EVENT), so it holds no pointer into this
// object that it could call late.
class WaveInCapture {
 public:
  // Opens `device` (an id or WAVE_MAPPER) and starts recording. Throws
  // Failure (kExitDevice) with the system's words when it cannot.
  WaveInCapture(UINT device, uint32_t sample_rate);
  // Stops the device, takes its buffers back and closes it.
  ~WaveInCapture();
  WaveInCapture(const WaveInCapture&) = delete;
  WaveInCapture& operator=(const WaveInCapture&) = delete;

  // Hands each filled buffer to `take`, in the order recorded, until `take`
  // returns false or `stop` is set. Throws Failure (kExitDevice) when the
  // device fails.
  void Run(const UniqueEvent& stop, const std::function<bool(const int16_t*, size_t)>& take);

 private:
  // Stops and closes the device, if open.
  void Close() noexcept;

  static constexpr size_t kBuffers = 8;
  static constexpr uint32_t kBufferMs = 20;

  UniqueEvent filled_{EventReset::kAuto};
  HWAVEIN device_ = nullptr;
  std::vector<int16_t> samples_;
  std::array<WAVEHDR, kBuffers> headers_{};
  size_t next_ = 0;  // the buffer the device fills next
};

}  // namespace dtmf_tool
