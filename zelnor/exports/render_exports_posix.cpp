// The exported call that writes a WAV file on POSIX systems: the path in
// UTF-8, as the system takes it.

#include "zelnor.h"
#include "zelnor/exports/call_boundary.h"
#include "zelnor/input/dial_sequence.h"
#include "zelnor/output/wav_file_posix.h"

extern "C" int WriteDTMFWaveA(const char* path, const char* dial, const ZelnorOptions* options) {
  return zelnor::ResultOf([&] {
    if (path == nullptr) return ZELNOR_E_INVALID_ARGUMENT;
    zelnor::DtmfSequence sequence = zelnor::SequenceForDial(dial, options);
    return zelnor::WriteWaveFile(path, sequence);
  });
}
