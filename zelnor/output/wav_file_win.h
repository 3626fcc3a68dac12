#pragma once
// A sequence written to a WAV file on disk, all or nothing.

#include "zelnor/signal/dtmf_sequence.h"

namespace zelnor {

// The sequence's WAV file, written as WriteWholeFile writes
// (common/whole_file_win.h): ZELNOR_OK, or ZELNOR_E_FILE with the system's
// reason in GetLastError() and `path` untouched. Throws ZelnorError before
// creating anything when the sequence is too long for a WAV file.
int WriteWaveFile(const wchar_t* path, DtmfSequence& sequence);

}  // namespace zelnor
