#pragma once
// Asking the user at the console, for a dial's waits (console_input_win.cpp,
// console_input_posix.cpp).

namespace dtmf_tool {

// Waits for the user to press Enter, ignoring keys typed before the call;
// false when the input ends first (Ctrl+Z on Windows, Ctrl+D elsewhere, a
// closed console).
bool WaitForEnter();

}  // namespace dtmf_tool
