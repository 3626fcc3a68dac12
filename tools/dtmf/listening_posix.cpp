#include "tools/dtmf/listening_posix.h"

#include <signal.h>

#include <csignal>

#include "tools/dtmf/listening.h"
#include "tools/dtmf/pulse_capture_posix.h"

namespace dtmf_tool {
namespace {

// The rate --listen records at: DTMF's tones lie below 1,700 Hz, and
// PulseAudio resamples whatever the source runs at.
constexpr uint32_t kListenRate = 8000;

// Set by Ctrl+C: it ends the listening loop, which closes the stream on
// its way out.
volatile std::sig_atomic_t g_interrupted = 0;

void OnInterrupt(int) { g_interrupted = 1; }

// Ctrl+C stops the listening while this lives (a second one ends the
// process as usual), unless the shell had it ignored.
class CtrlCStops {
 public:
  CtrlCStops() {
    ::sigaction(SIGINT, nullptr, &previous_);
    if (previous_.sa_handler == SIG_IGN) return;
    struct sigaction action {};
    action.sa_handler = &OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    installed_ = ::sigaction(SIGINT, &action, nullptr) == 0;
  }
  ~CtrlCStops() {
    if (installed_) ::sigaction(SIGINT, &previous_, nullptr);
  }
  CtrlCStops(const CtrlCStops&) = delete;
  CtrlCStops& operator=(const CtrlCStops&) = delete;

 private:
  struct sigaction previous_ {};
  bool installed_ = false;
};

}  // namespace

int ListenOn(const Command& command, const std::string& source, const std::wstring& device_name) {
  const CtrlCStops ctrl_c;
  return PrintDigitsHeard(command, kListenRate, device_name, [&](const TakeSamples& take) {
    PulseCapture capture(source, kListenRate);
    capture.Run(g_interrupted, take);
  });
}

}  // namespace dtmf_tool
