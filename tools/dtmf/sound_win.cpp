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
  Print(StandardStream::kOutput, DeviceListLines(names, WaveInDeviceNames()));
  return 0;
}

int Listen(const Command& command) {
  const Device device = ChooseDevice(command.device, WaveInDeviceNames(), L"input");
  return ListenOn(command, device.id, device.name);
}

}  // namespace dtmf_tool
