// The exported calls that render without a device.

#include <windows.h>

#include <vector>

#include "zelnor.h"
#include "zelnor/exports/ansi_path_win.h"
#include "zelnor/exports/call_boundary.h"
#include "zelnor/exports/caller_streams_win.h"
#include "zelnor/input/dial_sequence_win.h"
#include "zelnor/output/render.h"
#include "zelnor/output/wav_file_win.h"
#include "zelnor/output/wav_writer.h"

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
    const std::vector<wchar_t> wide = zelnor::WidePath(path);
    if (wide.empty()) return ZELNOR_E_INVALID_ARGUMENT;
    return WriteDTMFWaveW(wide.data(), dial, options);
  });
}

extern "C" int __stdcall WriteDTMFWaveTo(const char* dial, const ZelnorOptions* options,
                                         ZelnorWriteFunction write, void* context) {
  return zelnor::ResultOf([&] {
    if (write == nullptr) return ZELNOR_E_INVALID_ARGUMENT;
    zelnor::DtmfSequence sequence = zelnor::SequenceForDial(dial, options);
    zelnor::CallerSink sink(write, context);
    zelnor::WriteWave(sequence, sink);
    return ZELNOR_OK;
  });
}
