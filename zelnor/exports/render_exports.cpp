// The exported calls that render without a device into the caller's memory
// or write function; the file forms are the system's
// (render_exports_win.cpp, render_exports_posix.cpp).

#include "zelnor.h"
#include "zelnor/exports/call_boundary.h"
#include "zelnor/exports/caller_streams.h"
#include "zelnor/input/dial_sequence.h"
#include "zelnor/output/render.h"
#include "zelnor/output/wav_writer.h"

extern "C" int ZELNOR_CALL RenderDTMF(const char* dial, const ZelnorOptions* options,
                                      int16_t* samples, uint64_t* sample_count) {
  return zelnor::ResultOf([&] {
    if (sample_count == nullptr) return ZELNOR_E_INVALID_ARGUMENT;
    zelnor::DtmfSequence sequence = zelnor::SequenceForDial(dial, options);
    return zelnor::RenderSequence(sequence, samples, *sample_count);
  });
}

extern "C" int ZELNOR_CALL WriteDTMFWaveTo(const char* dial, const ZelnorOptions* options,
                                           ZelnorWriteFunction write, void* context) {
  return zelnor::ResultOf([&] {
    if (write == nullptr) return ZELNOR_E_INVALID_ARGUMENT;
    zelnor::DtmfSequence sequence = zelnor::SequenceForDial(dial, options);
    zelnor::CallerSink sink(write, context);
    zelnor::WriteWave(sequence, sink);
    return ZELNOR_OK;
  });
}
