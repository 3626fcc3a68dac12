#pragma once
// Which output device -d names: a number, or part of a device's name in
// any letter case.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace dtmf_tool {

// `names` in device-id order. The first device whose name contains
// `wanted`, unless `wanted` is a number, which is taken as the id itself.
std::optional<uint32_t> ChooseDevice(const std::vector<std::wstring>& names,
                                     const std::wstring& wanted);

}  // namespace dtmf_tool
