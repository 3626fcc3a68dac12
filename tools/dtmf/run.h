#pragma once
// dtmf from its arguments to its exit status, the same on every platform.

#include <string>
#include <vector>

namespace dtmf_tool {

// Does what `arguments` (without the program's own name) ask; every
// failure reported on standard error as one line. Returns the exit status.
int RunAndReport(const std::vector<std::wstring>& arguments);

}  // namespace dtmf_tool
