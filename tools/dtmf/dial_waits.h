#pragma once
// A ';' in a dial (or its full-width form, as an input method types it)
// waits for the user before the rest is sent, as a phone's "wait" does.

#include <string>
#include <string_view>
#include <vector>

namespace dtmf_tool {

// Whether `c` is a wait.
bool IsWait(wchar_t c);

// Throws UsageError (command_line.h) for a dial that holds a wait, saying
// `why` it cannot wait here.
void RefuseWaits(std::wstring_view dial, const std::wstring& why);

// `dial` cut at each wait, the waits left out: one part when there is
// none. The parts view `dial`.
std::vector<std::wstring_view> SplitAtWaits(std::wstring_view dial);

}  // namespace dtmf_tool
