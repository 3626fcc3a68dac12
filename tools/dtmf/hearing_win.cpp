#include "tools/dtmf/hearing_win.h"

#include <algorithm>
#include <string>
#include <vector>

#include "common/unique_event_win.h"
#include "tools/dtmf/console_win.h"
#include "tools/dtmf/digit_text.h"
#include "tools/dtmf/failure.h"
#include "tools/dtmf/standard_streams_win.h"
#include "tools/dtmf/wave_in_capture_win.h"
#include "zelnor.h"

namespace dtmf_tool {
namespace {

// The rate --listen records at: DTMF lies far below its Nyquist frequency.
constexpr uint32_t kListenRate = 16000;

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

void ZELNOR_CALL Collect(void* context, const ZelnorDigit* digit) {
  static_cast<std::vector<ZelnorDigit>*>(context)->push_back(*digit);
}

// Where Ctrl+C goes: set, it ends the listening loop, which closes the
// device on its way out.
HANDLE g_stop = nullptr;

BOOL WINAPI OnConsoleControl(DWORD control) {
  if (control != CTRL_C_EVENT && control != CTRL_BREAK_EVENT) return FALSE;
  ::SetEvent(g_stop);
  return TRUE;
}

// Ctrl+C sets `stop` while this lives, and ends the process as usual after.
class CtrlCSets {
 public:
  explicit CtrlCSets(const UniqueEvent& stop) {
    g_stop = stop.get();
    ::SetConsoleCtrlHandler(&OnConsoleControl, TRUE);
  }
  ~CtrlCSets() { ::SetConsoleCtrlHandler(&OnConsoleControl, FALSE); }
  CtrlCSets(const CtrlCSets&) = delete;
  CtrlCSets& operator=(const CtrlCSets&) = delete;
};

struct Listening {
  const Command& command;
  bool printed = false;
  bool done = false;
};

void ZELNOR_CALL PrintHeard(void* context, const ZelnorDigit* digit) {
  auto& listening = *static_cast<Listening*>(context);
  if (listening.done) return;
  Print(STD_OUTPUT_HANDLE,
        Widen(DigitText(*digit, kListenRate, listening.command.digit_format, false)));
  listening.printed = true;
  listening.done = digit->symbol == listening.command.until;
}

}  // namespace

int DecodeRecording(const Command& command) {
  const bool from_input = command.recording == kStandardOutputName;
  const std::wstring name = from_input ? L"standard input" : L"'" + command.recording + L"'";
  if (from_input) RequireNoConsole(STD_INPUT_HANDLE, L"--decode");
  std::vector<ZelnorDigit> digits;
  const ZelnorReceiverOptions options = ZELNOR_RECEIVER_OPTIONS(0, &Collect, &digits);
  ZelnorWaveInfo info{};
  info.cbSize = sizeof info;
  const int result =
      from_input
          ? DecodeDTMFWaveStream(&ReadFromHandle, ::GetStdHandle(STD_INPUT_HANDLE), &options, &info)
          : DecodeDTMFWaveW(command.recording.c_str(), &options, &info);
  if (result == ZELNOR_E_FILE) {
    throw Failure(kExitUsage, L"dtmf: --decode: cannot read " + name + L": " +
                                  SystemErrorText(::GetLastError()));
  }
  if (result == ZELNOR_E_BAD_WAVE) {
    throw Failure(kExitUsage, L"dtmf: --decode: " + name + L": " + Widen(info.message));
  }
  if (result != ZELNOR_OK) {
    throw Failure(kExitFailed, L"dtmf: zelnor.dll failed with error " + std::to_wstring(result));
  }
  if (info.problem == ZELNOR_WAVE_TRUNCATED) {
    Print(STD_ERROR_HANDLE, L"dtmf: --decode: warning: " + name + L": " + Widen(info.message) +
                                L"; decoded what is there\n");
  }
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
  Print(STD_OUTPUT_HANDLE, Widen(text));
  return 0;
}

int Listen(const Command& command, UINT device, const std::wstring& device_name) {
  const UniqueEvent stop(EventReset::kManual);
  if (!stop.valid()) throw Failure(kExitFailed, L"dtmf: " + SystemErrorText(::GetLastError()));
  const CtrlCSets ctrl_c(stop);
  Listening listening{command};
  ZelnorReceiverOptions options = ZELNOR_RECEIVER_OPTIONS(kListenRate, &PrintHeard, &listening);
  // A bare symbol is printed the moment it is heard; times need its end.
  if (command.digit_format == DigitFormat::kLine) options.reports = ZELNOR_REPORT_STARTS;
  ZelnorReceiver* receiver = nullptr;
  if (CreateDTMFReceiver(&options, &receiver) != ZELNOR_OK) {
    throw Failure(kExitFailed, L"dtmf: " + SystemErrorText(ERROR_NOT_ENOUGH_MEMORY));
  }
  try {
    if (command.verbose) {
      Print(STD_ERROR_HANDLE, L"dtmf: listening on " + device_name + L"\n");
    }
    WaveInCapture capture(device, kListenRate);
    capture.Run(stop, [&](const int16_t* samples, size_t count) {
      FeedDTMFReceiver(receiver, samples, count);
      return !listening.done;
    });
  } catch (...) {
    DestroyDTMFReceiver(receiver);
    throw;
  }
  FlushDTMFReceiver(receiver);
  DestroyDTMFReceiver(receiver);
  if (listening.printed && command.digit_format == DigitFormat::kLine) {
    Print(STD_OUTPUT_HANDLE, L"\n");
  }
  return 0;
}

}  // namespace dtmf_tool
