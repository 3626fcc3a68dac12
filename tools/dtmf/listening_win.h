#pragma once
// dtmf --listen on a waveIn device.

#include <windows.h>

#include <string>

#include "tools/dtmf/command_line.h"

namespace dtmf_tool {

// Prints the digits heard on capture `device` (named `device_name`) as
// they come, until Ctrl+C or command.until; returns the exit status.
// Throws Failure (kExitDevice) when the device cannot record.
int ListenOn(const Command& command, UINT device, const std::wstring& device_name);

}  // namespace dtmf_tool
