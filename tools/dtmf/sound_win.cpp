#include <windows.h>

#include <string>
#include <vector>

#include "tools/dtmf/console.h"
#include "tools/dtmf/device_choice.h"
#include "tools/dtmf/failure.h"
#include "tools/dtmf/listening_win.h"
#include "tools/dtmf/sound.h"
#include "tools/dtmf/sound_devices.h"
#include "tools/dtmf/wave_in_capture_win.h"
#include "tools/dtmf/wave_out_devices_win.h"

namespace dtmf_tool {

std::vector<std::wstring> OutputDeviceNames() { return WaveOutDeviceNames(); }

std::wstring PlayFailureText(uint32_t device, uint32_t sample_rate) {
  return WaveOutFailureText(device, sample_rate);
}

int ListDevices() {
  const std::vector<std::wstring> names = WaveOutDeviceNames();
  if (names.empty()) {
    throw Failure(kExitDevice, L"dtmf: --list-devices: no output device: " +
                                   WaveOutErrorText(MMSYSERR_NODRIVER));
  }
  std::wstring lines;
  for (size_t id = 0; id < names.size(); ++id) {
    lines += std::to_wstring(id) + L"  " + names[id] + L"\n";
  }
  const std::vector<std::wstring> inputs = WaveInDeviceNames();
  for (size_t id = 0; id < inputs.size(); ++id) {
    lines += L"in " + std::to_wstring(id) + L"  " + inputs[id] + L"\n";
  }
  Print(StandardStream::kOutput, lines);
  return 0;
}

int Listen(const Command& command) {
  const Device device = ChooseDevice(command.device, WaveInDeviceNames(), L"input");
  return ListenOn(command, device.id, device.name);
}

}  // namespace dtmf_tool
