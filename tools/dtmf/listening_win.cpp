#include "tools/dtmf/listening_win.h"

#include <string>

#include "common/unique_event_win.h"
#include "tools/dtmf/console.h"
#include "tools/dtmf/digit_text.h"
#include "tools/dtmf/failure.h"
#include "tools/dtmf/reporting.h"
#include "tools/dtmf/wave_in_capture_win.h"
#include "zelnor.h"

namespace dtmf_tool {
namespace {

// The rate --listen records at: DTMF lies far below its Nyquist frequency.
constexpr uint32_t kListenRate = 16000;

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
  Print(StandardStream::kOutput,
        Widen(DigitText(*digit, kListenRate, listening.command.digit_format, false)));
  listening.printed = true;
  listening.done = digit->symbol == listening.command.until;
}

}  // namespace

int ListenOn(const Command& command, UINT device, const std::wstring& device_name) {
  const UniqueEvent stop(EventReset::kManual);
  if (!stop.valid()) throw Failure(kExitFailed, L"dtmf: " + SystemErrorText(LastSystemError()));
  const CtrlCSets ctrl_c(stop);
  Listening listening{command};
  ZelnorReceiverOptions options = ZELNOR_RECEIVER_OPTIONS(kListenRate, &PrintHeard, &listening);
  // A bare symbol is printed the moment it is heard; times need its end.
  if (command.digit_format == DigitFormat::kLine) options.reports = ZELNOR_REPORT_STARTS;
  ZelnorReceiver* receiver = nullptr;
  if (CreateDTMFReceiver(&options, &receiver) != ZELNOR_OK) {
    throw Failure(kExitFailed, L"dtmf: " + OutOfMemoryText());
  }
  try {
    if (command.verbose) {
      Print(StandardStream::kError, L"dtmf: listening on " + device_name + L"\n");
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
    Print(StandardStream::kOutput, L"\n");
  }
  return 0;
}

}  // namespace dtmf_tool
