// The exported call that writes a WAV file on POSIX systems: the path in
// UTF-8, as the system takes it.

#include "zelnor.h"
#include "zelnor/exports/call_boundary.h"
#include "zelnor/exports/caller_streams_posix.h"
#include "zelnor/exports/wave_file_calls.h"

extern "C" int WriteDTMFWaveA(const char* path, const char* dial, const ZelnorOptions* options) {
  return zelnor::ResultOf(
      [&] { return zelnor::WriteDialWave<zelnor::SystemFiles>(path, dial, options); });
}
