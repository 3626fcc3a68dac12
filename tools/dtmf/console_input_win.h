#pragma once
// Asking the user at the console, for a dial's waits.

namespace dtmf_tool {

// Waits for the user to press Enter, ignoring keys typed before the call;
// false when the input ends first (Ctrl+Z, a closed console).
bool WaitForEnter();

}  // namespace dtmf_tool
