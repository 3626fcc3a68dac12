#include "tools/dtmf/console_input.h"

#include <windows.h>

#include <iterator>

namespace dtmf_tool {

bool WaitForEnter() {
  const HANDLE in = ::GetStdHandle(STD_INPUT_HANDLE);
  // Keys typed before the question was asked (two Enters pressed together
  // for one wait) do not answer it.
  ::FlushConsoleInputBuffer(in);
  wchar_t typed[256];
  DWORD read = 0;
  bool line_start = true;
  // In line mode a read returns once Enter is pressed; a long line comes in
  // several reads, the last ending with the line break.
  while (::ReadConsoleW(in, typed, static_cast<DWORD>(std::size(typed)), &read, nullptr) &&
         read > 0) {
    // Ctrl+Z at the start of a line is the console's end of input.
    if (line_start && typed[0] == L'\x1A') return false;
    if (typed[read - 1] == L'\n') return true;
    line_start = false;
  }
  return false;
}

}  // namespace dtmf_tool
