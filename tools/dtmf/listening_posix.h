#pragma once
// dtmf --listen on a PulseAudio source.

#include <string>

#include "tools/dtmf/command_line.h"

namespace dtmf_tool {

// Prints the digits heard on `source` (a source's name, empty for the
// server's default; named `device_name`) as they come, until Ctrl+C or
// command.until; returns the exit status. Throws Failure (kExitDevice)
// when the source cannot record.
int ListenOn(const Command& command, const std::string& source, const std::wstring& device_name);

}  // namespace dtmf_tool
