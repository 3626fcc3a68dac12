// The exported calls that render without a device.

#include <windows.h>

#include <vector>

#include "zelnor.h"
#include "zelnor/call_boundary.h"
#include "zelnor/input/dial_sequence_win.h"
#include "zelnor/output/render.h"
#include "zelnor/output/wav_file_win.h"

extern "C" int __stdcall RenderDTMF(const char* dial, const ZelnorOptions* options,
                                    int16_t* samples, uint64_t* sample_count) {
  return zelnor::ResultOf([&] {
    if (sample_count == nullptr) return ZELNOR_E_INVALID_ARGUMENT;
    zelnor::DtmfSequence sequence = zelnor::SequenceForDial(dial, options);
    return zelnor::RenderSequence(sequence, samples, *sample_count);
  });
}

extern "C" int __stdcall WriteDTMFWaveW(const wchar_t* path, const char* dial,
                                        const ZelnorOptions* options) {
  return zelnor::ResultOf([&] {
    if (path == nullptr) return ZELNOR_E_INVALID_ARGUMENT;
    zelnor::DtmfSequence sequence = zelnor::SequenceForDial(dial, options);
    return zelnor::WriteWaveFile(path, sequence);
  });
}

extern "C" int __stdcall WriteDTMFWaveA(const char* path, const char* dial,
                                        const ZelnorOptions* options) {
  return zelnor::ResultOf([&] {
    if (path == nullptr) return ZELNOR_E_INVALID_ARGUMENT;
    const int length = ::MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    if (length == 0) return ZELNOR_E_INVALID_ARGUMENT;
    std::vector<wchar_t> wide(static_cast<size_t>(length));
    ::MultiByteToWideChar(CP_ACP, 0, path, -1, wide.data(), length);
    return WriteDTMFWaveW(wide.data(), dial, options);
  });
}
