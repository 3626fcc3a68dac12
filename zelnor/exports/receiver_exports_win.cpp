// The exported calls that decode a WAV file on Windows: a wide path, and
// one in the ANSI code page.

#include <windows.h>

#include <vector>

#include "zelnor.h"
#include "zelnor/exports/ansi_path_win.h"
#include "zelnor/exports/call_boundary.h"
#include "zelnor/exports/caller_streams_win.h"
#include "zelnor/exports/wave_file_calls.h"

extern "C" int __stdcall DecodeDTMFWaveW(const wchar_t* path, const ZelnorReceiverOptions* options,
                                         ZelnorWaveInfo* info) {
  return zelnor::ResultOf(
      [&] { return zelnor::DecodeWaveFile<zelnor::SystemFiles>(path, options, info); });
}

extern "C" int __stdcall DecodeDTMFWaveA(const char* path, const ZelnorReceiverOptions* options,
                                         ZelnorWaveInfo* info) {
  return zelnor::ResultOf([&] {
    if (path == nullptr) return ZELNOR_E_INVALID_ARGUMENT;
    const std::vector<wchar_t> wide = zelnor::WidePath(path);
    if (wide.empty()) return ZELNOR_E_INVALID_ARGUMENT;
    return DecodeDTMFWaveW(wide.data(), options, info);
  });
}
