#pragma once
// dtmf --mask: a recording written back with its DTMF tones taken
// out.

#include "tools/dtmf/command_line.h"

namespace dtmf_tool {

// Writes command.recording masked to command.output_path and prints the
// spans masked; returns the exit status. Throws Failure: kExitUsage for a
// recording that cannot be read, kExitFailed for output that cannot be
// written.
int MaskRecording(const Command& command);

}  // namespace dtmf_tool
