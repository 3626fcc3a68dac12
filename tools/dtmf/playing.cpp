// dtmf SYMBOLS: the dial played through the library, part by part at its
// waits, with its progress shown.

#include <string>
#include <string_view>
#include <vector>

#include "tools/dtmf/console.h"
#include "tools/dtmf/console_input.h"
#include "tools/dtmf/device_choice.h"
#include "tools/dtmf/dial_waits.h"
#include "tools/dtmf/failure.h"
#include "tools/dtmf/progress_display.h"
#include "tools/dtmf/recording_files.h"
#include "tools/dtmf/reporting.h"
#include "tools/dtmf/sound.h"
#include "tools/dtmf/sound_devices.h"
#include "zelnor.h"

namespace dtmf_tool {

int Play(const Command& command, const std::wstring& dial) {
  const std::vector<std::wstring_view> parts = SplitAtWaits(dial);
  if (!IsConsole(StandardStream::kInput)) {
    RefuseWaits(dial, L"which needs a console, and standard input is not one");
  }
  const Device device = ChooseDevice(command.device, OutputDeviceNames(), L"output");
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
    const std::string text = DialText(part);
    if (!command.quiet) progress.Follow(options, text, start);
    const int result = PlayDTMFEx(text.c_str(), &options, 0);
    progress.EndLine();
    if (result == ZELNOR_E_NO_DEVICE || result == ZELNOR_E_DEVICE) {
      throw Failure(kExitDevice, L"dtmf: cannot play on " + device.name + L": " +
                                     PlayFailureText(options.device, options.sample_rate));
    }
    Check(result);
    seconds += LengthSeconds(text, options);
  }
  Say(command, L"played " + Describe(seconds, options) + L" on " + device.name);
  return 0;
}

}  // namespace dtmf_tool
