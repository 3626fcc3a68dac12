#pragma once
// `-o -`: the WAV file written to standard output, for a pipe into sox or
// a redirect.

#include <string>

#include "zelnor.h"

namespace dtmf_tool {

// WriteDTMFWaveW's bytes and results with standard output for the file,
// streamed (ZELNOR_E_FILE with GetLastError() set when a write fails).
// Throws UsageError when standard output is a console.
int WriteWaveToStandardOutput(const std::string& dial, const ZelnorOptions& options);

}  // namespace dtmf_tool
