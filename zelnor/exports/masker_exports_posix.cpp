// The exported call that masks a WAV file into another on POSIX systems:
// the paths in UTF-8, as the system takes them.

#include "zelnor.h"
#include "zelnor/exports/call_boundary.h"
#include "zelnor/exports/caller_streams_posix.h"
#include "zelnor/exports/wave_file_calls.h"

extern "C" int MaskDTMFWaveA(const char* source, const char* target,
                             const ZelnorMaskerOptions* options, ZelnorWaveInfo* info) {
  return zelnor::ResultOf(
      [&] { return zelnor::MaskWaveFile<zelnor::SystemFiles>(source, target, options, info); });
}
