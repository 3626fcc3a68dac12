#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tools/dtmf/console.h"
#include "tools/dtmf/console_input_win.h"
#include "tools/dtmf/device_choice.h"
#include "tools/dtmf/dial_waits.h"
#include "tools/dtmf/failure.h"
#include "tools/dtmf/listening_win.h"
#include "tools/dtmf/progress_display_win.h"
#include "tools/dtmf/recording_files.h"
#include "tools/dtmf/reporting.h"
#include "tools/dtmf/sound.h"
#include "tools/dtmf/wave_in_capture_win.h"
#include "tools/dtmf/wave_out_devices_win.h"
#include "zelnor.h"

namespace dtmf_tool {
namespace {

struct Device {
  uint32_t id = ZELNOR_DEFAULT_DEVICE;
  std::wstring name = L"the default device";
};

// The device -d names among `names`, the output or the input devices
// (`kind` says which).
Device ChooseDevice(const std::optional<std::wstring>& wanted,
                    const std::vector<std::wstring>& names, const wchar_t* kind) {
  if (!wanted) return {};
  const std::vector<uint32_t> ids = MatchDevices(names, *wanted);
  if (ids.empty()) {
    throw UsageError(L"dtmf: -d: no " + std::wstring(kind) + L" device matches '" + *wanted +
                     L"' (dtmf --list-devices lists them)");
  }
  if (ids.size() > 1) {
    std::wstring matches;
    for (uint32_t id : ids) {
      matches += (matches.empty() ? L"" : L", ") + std::to_wstring(id) + L" " + names[id];
    }
    throw UsageError(L"dtmf: -d: '" + *wanted + L"' matches several devices: " + matches +
                     L"; give a number or more of the name");
  }
  const uint32_t id = ids.front();
  return {id, id < names.size() ? names[id] : L"device " + std::to_wstring(id)};
}

}  // namespace

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

int Play(const Command& command, const std::wstring& dial) {
  const std::vector<std::wstring_view> parts = SplitAtWaits(dial);
  if (!IsConsole(StandardStream::kInput)) {
    RefuseWaits(dial, L"which needs a console, and standard input is not one");
  }
  const Device device = ChooseDevice(command.device, WaveOutDeviceNames(), L"output");
  ZelnorOptions options = command.options;
  options.device = device.id;
  ProgressDisplay progress(dial);
  double seconds = 0;
  for (const std::wstring_view part : parts) {
    const size_t start = static_cast<size_t>(part.data() - dial.data());
    if (start > 0) {
      const std::wstring rest = dial.substr(start);
      if (rest.empty()) break;
      PrintError(L"waiting: press Enter to send " + rest + L", Ctrl+C to stop");
      if (!WaitForEnter()) {
        throw Failure(kExitFailed, L"dtmf: stopped at '" + std::wstring(1, dial[start - 1]) +
                                       L"': input ended; not sent: " + rest);
      }
    }
    const std::string ansi = DialText(part);
    if (!command.quiet) progress.Follow(options, ansi, start);
    const int result = PlayDTMFEx(ansi.c_str(), &options, 0);
    progress.EndLine();
    if (result == ZELNOR_E_NO_DEVICE || result == ZELNOR_E_DEVICE) {
      throw Failure(kExitDevice, L"dtmf: cannot play on " + device.name + L": " +
                                     WaveOutFailureText(options.device, options.sample_rate));
    }
    Check(result);
    seconds += LengthSeconds(ansi, options);
  }
  Say(command, L"played " + Describe(seconds, options) + L" on " + device.name);
  return 0;
}

int Listen(const Command& command) {
  const Device device = ChooseDevice(command.device, WaveInDeviceNames(), L"input");
  return ListenOn(command, device.id, device.name);
}

}  // namespace dtmf_tool
