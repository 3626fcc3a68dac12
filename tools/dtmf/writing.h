#pragma once
// dtmf -o: the dial written to a WAV file or standard output.

#include <string>

#include "tools/dtmf/command_line.h"

namespace dtmf_tool {

// Writes `dial` to command.output_path; returns the exit status. Throws
// UsageError for a dial that waits, Failure (kExitFailed) when the file
// cannot be written.
int Write(const Command& command, const std::wstring& dial);

}  // namespace dtmf_tool
