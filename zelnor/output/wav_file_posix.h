#pragma once
// A sequence written to a WAV file on disk, all or nothing (the POSIX
// counterpart of wav_file_win.h).

#include "zelnor/signal/dtmf_sequence.h"

namespace zelnor {

// The sequence's WAV file at a UTF-8 `path`, written as WriteWholeFile
// writes (common/whole_file_posix.h): ZELNOR_OK, or ZELNOR_E_FILE with
// errno set and `path` untouched. Throws ZelnorError before creating
// anything when the sequence is too long for a WAV file.
int WriteWaveFile(const char* path, DtmfSequence& sequence);

}  // namespace zelnor
