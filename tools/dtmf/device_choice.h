#pragma once
// Which output devices -d names: a number, or part of a device's name in
// any letter case.

#include <cstdint>
#include <string>
#include <vector>

namespace dtmf_tool {

// The ids `wanted` names among `names` (in device-id order). A number is
// the id as it stands, left to the device to refuse when nothing is behind
// it; text names every device whose name holds it, or only the device whose
// whole name it is.
std::vector<uint32_t> MatchDevices(const std::vector<std::wstring>& names,
                                   const std::wstring& wanted);

}  // namespace dtmf_tool
