#pragma once
// The system's waveOut devices and its words for their failures.

#include <windows.h>

#include <mmsystem.h>

#include <cstdint>
#include <string>
#include <vector>

namespace dtmf_tool {

// Names in device-id order.
std::vector<std::wstring> WaveOutDeviceNames();

// The system's text for a waveOut result.
std::wstring WaveOutErrorText(MMRESULT result);

// Why `device` cannot play 16-bit mono PCM at `sample_rate`, in the
// system's words; asked after the library has reported a device error.
std::wstring WaveOutFailureText(UINT device, uint32_t sample_rate);

}  // namespace dtmf_tool
