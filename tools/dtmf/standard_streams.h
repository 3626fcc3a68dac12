#pragma once
// Files and standard streams as the library's read and write functions
// (standard_streams_win.cpp, standard_streams_posix.cpp), and `-o -`: the
// WAV file written to standard output, for a pipe into sox or a redirect.

#include <string>

#include "tools/dtmf/console.h"
#include "zelnor.h"

namespace dtmf_tool {

// A standard stream as ReadFromHandle and WriteToHandle take it: a HANDLE
// on Windows, a file descriptor elsewhere.
void* StandardHandle(StandardStream stream);

// A ZelnorReadFunction over the handle given as its context; a pipe whose
// writer has gone is its end.
int32_t ZELNOR_CALL ReadFromHandle(void* handle, void* buffer, int32_t size);

// A ZelnorWriteFunction over the handle given as its context: all of each
// run, or 0 with the last system error set.
int ZELNOR_CALL WriteToHandle(void* handle, const void* bytes, uint32_t count);

// Throws UsageError, naming `option`, when standard input (for reading a
// WAV file) or standard output (for writing one) is a console.
void RequireNoConsole(StandardStream stream, const std::wstring& option);

// WriteDTMFWaveTo with standard output for the file, streamed
// (ZELNOR_E_FILE with the last system error set when a write fails).
// Throws UsageError when standard output is a console.
int WriteWaveToStandardOutput(const std::string& dial, const ZelnorOptions& options);

}  // namespace dtmf_tool
