#pragma once
// A sequence written to a WAV file on disk, all or nothing.

#include "zelnor/signal/dtmf_sequence.h"

namespace zelnor {

// Writes a temporary file beside `path` and moves it over `path` only once
// every byte is on disk, so a reader finds the old file or the whole new
// one. Returns ZELNOR_OK, or ZELNOR_E_FILE with the system's reason in
// GetLastError(), `path` untouched and the temporary gone. A process killed
// while writing leaves at most the temporary ("~name.<hex>.tmp"), and none
// where the system deletes it with its last handle. Throws ZelnorError
// before creating anything when the sequence is too long for a WAV file.
int WriteWaveFile(const wchar_t* path, DtmfSequence& sequence);

}  // namespace zelnor
