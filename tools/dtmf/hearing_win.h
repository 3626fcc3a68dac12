#pragma once
// dtmf.exe's two ways of hearing DTMF: --decode and --listen.

#include <windows.h>

#include <string>

#include "tools/dtmf/command_line.h"

namespace dtmf_tool {

// Prints the digits heard in command.recording; returns the exit status.
// Throws Failure (kExitUsage) for a recording that cannot be read.
int DecodeRecording(const Command& command);

// Prints the digits heard on capture `device` (named `device_name`) as
// they come, until Ctrl+C or command.until; returns the exit status.
// Throws Failure (kExitDevice) when the device cannot record.
int Listen(const Command& command, UINT device, const std::wstring& device_name);

}  // namespace dtmf_tool
