#pragma once
// dtmf --decode: the digits heard in a recording.

#include "tools/dtmf/command_line.h"

namespace dtmf_tool {

// Prints the digits heard in command.recording; returns the exit status.
// Throws Failure (kExitUsage) for a recording that cannot be read.
int DecodeRecording(const Command& command);

}  // namespace dtmf_tool
