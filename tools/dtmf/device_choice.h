#pragma once
// Which device -d names: a number, or part of a device's name in any letter
// case.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "zelnor.h"

namespace dtmf_tool {

// The ids `wanted` names among `names` (in device-id order). A number is
// the id as it stands, left to the device to refuse when nothing is behind
// it; text names every device whose name holds it, or only the device whose
// whole name it is.
std::vector<uint32_t> MatchDevices(const std::vector<std::wstring>& names,
                                   const std::wstring& wanted);

struct Device {
  uint32_t id = ZELNOR_DEFAULT_DEVICE;
  std::wstring name = L"the default device";
};

// The device -d (`wanted`) names among `names`, the output or the input
// devices (`kind` says which); the default device without -d. Throws
// UsageError (command_line.h) when no device, or more than one, matches.
Device ChooseDevice(const std::optional<std::wstring>& wanted,
                    const std::vector<std::wstring>& names, const wchar_t* kind);

// dtmf --list-devices' lines: "N  name" per output device, then
// "in N  name" per input device.
std::wstring DeviceListLines(const std::vector<std::wstring>& outputs,
                             const std::vector<std::wstring>& inputs);

}  // namespace dtmf_tool
