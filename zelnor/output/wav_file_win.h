#pragma once
// A sequence written to a WAV file on disk.

#include "zelnor/signal/dtmf_sequence.h"

namespace zelnor {

// Replaces any file at `path`. Returns ZELNOR_OK, or ZELNOR_E_FILE with the
// system's reason in GetLastError() and no file left behind. Throws
// ZelnorError before touching the file when the sequence is too long for a
// WAV file.
int WriteWaveFile(const wchar_t* path, DtmfSequence& sequence);

}  // namespace zelnor
