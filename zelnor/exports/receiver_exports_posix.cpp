// The exported call that decodes a WAV file on POSIX systems: the path in
// UTF-8, as the system takes it.

#include "zelnor.h"
#include "zelnor/exports/call_boundary.h"
#include "zelnor/exports/caller_streams_posix.h"
#include "zelnor/exports/wave_file_calls.h"

extern "C" int DecodeDTMFWaveA(const char* path, const ZelnorReceiverOptions* options,
                               ZelnorWaveInfo* info) {
  return zelnor::ResultOf(
      [&] { return zelnor::DecodeWaveFile<zelnor::SystemFiles>(path, options, info); });
}
