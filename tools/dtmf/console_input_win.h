#pragma once
// Asking the user at the console, for a dial's waits.

namespace dtmf_tool {

// Waits for the user to press Enter; false when the input ends first.
bool WaitForEnter();

}  // namespace dtmf_tool
