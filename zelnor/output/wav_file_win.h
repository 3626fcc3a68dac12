#pragma once
// A sequence written to a WAV file on disk, all or nothing.

#include "zelnor/signal/dtmf_sequence.h"

namespace zelnor {

// Writes a temporary file beside `path` and swaps it in only once every
// byte is on disk, so a reader finds the old file or the whole new one, and
// an old file's attributes and permissions stay. Returns ZELNOR_OK, or
// ZELNOR_E_FILE with the system's reason in GetLastError() (access denied
// for a read-only target), `path` untouched and the temporary gone. A
// process killed while writing leaves at most the temporary
// ("~zl<hex>.tmp"), and none where the system deletes it with its last
// handle. Throws ZelnorError before creating anything when the sequence is
// too long for a WAV file.
int WriteWaveFile(const wchar_t* path, DtmfSequence& sequence);

}  // namespace zelnor
