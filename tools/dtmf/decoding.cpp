#include "tools/dtmf/decoding.h"

#include <algorithm>
#include <string>
#include <vector>

#include "tools/dtmf/console.h"
#include "tools/dtmf/digit_text.h"
#include "tools/dtmf/failure.h"
#include "tools/dtmf/recording_files.h"
#include "tools/dtmf/reporting.h"
#include "tools/dtmf/standard_streams.h"
#include "zelnor.h"

namespace dtmf_tool {
namespace {

void ZELNOR_CALL Collect(void* context, const ZelnorDigit* digit) {
  static_cast<std::vector<ZelnorDigit>*>(context)->push_back(*digit);
}

}  // namespace

int DecodeRecording(const Command& command) {
  const bool from_input = command.recording == kStandardOutputName;
  const std::wstring name = from_input ? L"standard input" : L"'" + command.recording + L"'";
  if (from_input) RequireNoConsole(StandardStream::kInput, L"--decode");
  std::vector<ZelnorDigit> digits;
  const ZelnorReceiverOptions options = ZELNOR_RECEIVER_OPTIONS(0, &Collect, &digits);
  ZelnorWaveInfo info{};
  info.cbSize = sizeof info;
  const int result =
      from_input ? DecodeDTMFWaveStream(&ReadFromHandle, StandardHandle(StandardStream::kInput),
                                        &options, &info)
                 : DecodeWaveFile(command.recording, options, info);
  CheckRecording(result, info, L"--decode", name, L"decoded");
  // Each channel reports in turn as the file is read; people read by time.
  std::stable_sort(digits.begin(), digits.end(), [](const ZelnorDigit& a, const ZelnorDigit& b) {
    return a.start_sample != b.start_sample ? a.start_sample < b.start_sample
                                            : a.channel < b.channel;
  });
  // The line reads as a person would; times and JSON stay per channel.
  if (command.digit_format == DigitFormat::kLine) digits = OncePerPress(digits);
  std::string text;
  for (const ZelnorDigit& digit : digits) {
    text += DigitText(digit, info.sample_rate, command.digit_format, info.channels > 1);
  }
  if (command.digit_format == DigitFormat::kLine) text += "\n";
  Print(StandardStream::kOutput, Widen(text));
  return 0;
}

}  // namespace dtmf_tool
