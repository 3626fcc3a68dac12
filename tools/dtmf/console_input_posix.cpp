#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "tools/dtmf/console_input.h"

namespace dtmf_tool {

bool WaitForEnter() {
  // Keys typed before the question was asked (two Enters pressed together
  // for one wait) do not answer it.
  ::tcflush(STDIN_FILENO, TCIFLUSH);
  for (;;) {
    char typed = 0;
    const ssize_t read = ::read(STDIN_FILENO, &typed, 1);
    if (read < 0 && errno == EINTR) continue;
    // Ctrl+D at the start of a line is the terminal's end of input.
    if (read <= 0) return false;
    if (typed == '\n') return true;
  }
}

}  // namespace dtmf_tool
