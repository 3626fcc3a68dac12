#pragma once
// What playing and listening ask of the system's sound (sound_win.cpp:
// waveOut and waveIn; sound_posix.cpp: a PulseAudio server).

#include <cstdint>
#include <string>
#include <vector>

namespace dtmf_tool {

// The output devices' names in the order the library numbers them; none
// when the system has none (or no sound server answers).
std::vector<std::wstring> OutputDeviceNames();

// Why output `device` (an id or ZELNOR_DEFAULT_DEVICE) cannot play 16-bit
// mono PCM at `sample_rate`, in the system's words; asked after the
// library has reported a device error.
std::wstring PlayFailureText(uint32_t device, uint32_t sample_rate);

}  // namespace dtmf_tool
