#pragma once
// `-o -`: the WAV file written to standard output, for a pipe into sox or
// a redirect.

#include <string>

#include "zelnor.h"

namespace dtmf_tool {

// WriteDTMFWaveA with standard output for the file: the same bytes, the
// same results (ZELNOR_E_FILE with GetLastError() set when a write fails).
// Throws UsageError when standard output is a console.
int WriteWaveToStandardOutput(const std::string& dial, const ZelnorOptions& options);

}  // namespace dtmf_tool
