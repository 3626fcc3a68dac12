// The exported calls that write a WAV file on Windows: a wide path, and
// one in the ANSI code page.

#include <windows.h>

#include <vector>

#include "zelnor.h"
#include "zelnor/exports/ansi_path_win.h"
#include "zelnor/exports/call_boundary.h"
#include "zelnor/exports/caller_streams_win.h"
#include "zelnor/exports/wave_file_calls.h"

extern "C" int __stdcall WriteDTMFWaveW(const wchar_t* path, const char* dial,
                                        const ZelnorOptions* options) {
  return zelnor::ResultOf(
      [&] { return zelnor::WriteDialWave<zelnor::SystemFiles>(path, dial, options); });
}

extern "C" int __stdcall WriteDTMFWaveA(const char* path, const char* dial,
                                        const ZelnorOptions* options) {
  return zelnor::ResultOf([&] {
    if (path == nullptr) return ZELNOR_E_INVALID_ARGUMENT;
    const std::vector<wchar_t> wide = zelnor::WidePath(path);
    if (wide.empty()) return ZELNOR_E_INVALID_ARGUMENT;
    return WriteDTMFWaveW(wide.data(), dial, options);
  });
}
