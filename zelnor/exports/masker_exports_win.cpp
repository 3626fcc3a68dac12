// The exported calls that mask a WAV file into another on Windows: wide
// paths, and paths in the ANSI code page.

#include <windows.h>

#include <vector>

#include "zelnor.h"
#include "zelnor/exports/ansi_path_win.h"
#include "zelnor/exports/call_boundary.h"
#include "zelnor/exports/caller_streams_win.h"
#include "zelnor/exports/wave_file_calls.h"

extern "C" int __stdcall MaskDTMFWaveW(const wchar_t* source, const wchar_t* target,
                                       const ZelnorMaskerOptions* options, ZelnorWaveInfo* info) {
  return zelnor::ResultOf(
      [&] { return zelnor::MaskWaveFile<zelnor::SystemFiles>(source, target, options, info); });
}

extern "C" int __stdcall MaskDTMFWaveA(const char* source, const char* target,
                                       const ZelnorMaskerOptions* options, ZelnorWaveInfo* info) {
  return zelnor::ResultOf([&] {
    if (source == nullptr || target == nullptr) return ZELNOR_E_INVALID_ARGUMENT;
    const std::vector<wchar_t> wide_source = zelnor::WidePath(source);
    const std::vector<wchar_t> wide_target = zelnor::WidePath(target);
    if (wide_source.empty() || wide_target.empty()) return ZELNOR_E_INVALID_ARGUMENT;
    return MaskDTMFWaveW(wide_source.data(), wide_target.data(), options, info);
  });
}
