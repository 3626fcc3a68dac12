#pragma once
// Asking the user at the console, for a dial's waits.

namespace dtmf_tool {

// Whether standard input is a console a user can answer at.
bool StandardInputIsConsole();

// Waits for the user to press Enter; false when the input ends first.
bool WaitForEnter();

}  // namespace dtmf_tool
