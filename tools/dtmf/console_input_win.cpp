#include "tools/dtmf/console_input_win.h"

#include <windows.h>

#include <iterator>

namespace dtmf_tool {

bool WaitForEnter() {
  const HANDLE in = ::GetStdHandle(STD_INPUT_HANDLE);
  wchar_t typed[256];
  DWORD read = 0;
  // In line mode a read returns once Enter is pressed; a long line comes in
  // several reads, the last ending with the line break.
  while (::ReadConsoleW(in, typed, static_cast<DWORD>(std::size(typed)), &read, nullptr) &&
         read > 0) {
    if (typed[read - 1] == L'\n') return true;
  }
  return false;
}

}  // namespace dtmf_tool
