#include "tools/dtmf/listening_win.h"

#include <string>

#include "common/unique_event_win.h"
#include "tools/dtmf/console.h"
#include "tools/dtmf/failure.h"
#include "tools/dtmf/listening.h"
#include "tools/dtmf/wave_in_capture_win.h"

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

}  // namespace

int ListenOn(const Command& command, UINT device, const std::wstring& device_name) {
  const UniqueEvent stop(EventReset::kManual);
  if (!stop.valid()) throw Failure(kExitFailed, L"dtmf: " + SystemErrorText(LastSystemError()));
  const CtrlCSets ctrl_c(stop);
  return PrintDigitsHeard(command, kListenRate, device_name, [&](const TakeSamples& take) {
    WaveInCapture capture(device, kListenRate);
    capture.Run(stop, take);
  });
}

}  // namespace dtmf_tool
