#include "tools/dtmf/writing.h"

#include "tools/dtmf/console.h"
#include "tools/dtmf/dial_waits.h"
#include "tools/dtmf/failure.h"
#include "tools/dtmf/recording_files.h"
#include "tools/dtmf/reporting.h"
#include "tools/dtmf/standard_streams.h"
#include "zelnor.h"

namespace dtmf_tool {

int Write(const Command& command, const std::wstring& dial) {
  RefuseWaits(dial, L"and a WAV file cannot wait");
  const std::string text = DialText(dial);
  const bool to_output = command.output_path == kStandardOutputName;
  const int result = to_output ? WriteWaveToStandardOutput(text, command.options)
                               : WriteDialWave(command.output_path, text, command.options);
  const std::wstring target = to_output ? L"standard output" : L"'" + command.output_path + L"'";
  if (result == ZELNOR_E_FILE) {
    throw Failure(kExitFailed,
                  L"dtmf: -o: cannot write " + target + L": " + SystemErrorText(LastSystemError()));
  }
  if (result == ZELNOR_E_INVALID_ARGUMENT) {  // the options were checked here already
    throw Failure(kExitFailed, L"dtmf: -o: the dial is too long for a WAV file (4 GB at most)");
  }
  Check(result);
  Say(command,
      L"wrote " + target + L": " + Describe(LengthSeconds(text, command.options), command.options));
  return 0;
}

}  // namespace dtmf_tool
