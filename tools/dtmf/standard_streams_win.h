#pragma once
// Files and standard streams as the library's read and write functions,
// and `-o -`: the WAV file written to standard output, for a pipe into sox
// or a redirect.

#include <windows.h>

#include <string>

#include "zelnor.h"

namespace dtmf_tool {

// A ZelnorReadFunction over the handle given as its context; a pipe whose
// writer has gone is its end.
int32_t ZELNOR_CALL ReadFromHandle(void* handle, void* buffer, int32_t size);

// A ZelnorWriteFunction over the handle given as its context: all of each
// run, or 0 with the last error set.
int ZELNOR_CALL WriteToHandle(void* handle, const void* bytes, uint32_t count);

// Throws UsageError, naming `option`, when standard input (for reading a
// WAV file) or standard output (for writing one) is a console.
void RequireNoConsole(DWORD stream, const std::wstring& option);

// WriteDTMFWaveW's bytes and results with standard output for the file,
// streamed (ZELNOR_E_FILE with GetLastError() set when a write fails).
// Throws UsageError when standard output is a console.
int WriteWaveToStandardOutput(const std::string& dial, const ZelnorOptions& options);

}  // namespace dtmf_tool
