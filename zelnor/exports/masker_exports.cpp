// The exported calls that mask DTMF: a masker fed by the caller, and whole
// WAV recordings between the caller's functions. The file forms are the
// system's (masker_exports_win.cpp, masker_exports_posix.cpp).

#include <algorithm>

#include "zelnor.h"
#include "zelnor/exports/call_boundary.h"
#include "zelnor/exports/caller_streams.h"
#include "zelnor/exports/masker_options.h"
#include "zelnor/exports/recording_calls.h"
#include "zelnor/recording/wave_masker.h"

namespace {
void ReportMasker(void* context, const zelnor::MaskedSpan& masked);
}  // namespace

struct ZelnorMasker {
  ZelnorMasker(zelnor::MaskerSettings settings, ZelnorSpanFunction span_function,
               void* span_context)
      : span(span_function), context(span_context), masker(Reporting(settings, this)) {}

  ZelnorSpanFunction span;
  void* context;
  zelnor::DtmfMasker masker;

 private:
  // The masker reports through this object, when the caller wants spans.
  static zelnor::MaskerSettings Reporting(zelnor::MaskerSettings settings, ZelnorMasker* self) {
    settings.report = self->span != nullptr ? &ReportMasker : nullptr;
    settings.context = self;
    return settings;
  }
};

namespace {

void ReportMasker(void* context, const zelnor::MaskedSpan& masked) {
  const auto& masker = *static_cast<const ZelnorMasker*>(context);
  const ZelnorMaskedSpan span{0, masked.start_sample, masked.end_sample};
  masker.span(masker.context, &span);
}

// Where a recording's spans go: the caller's callback, if any.
struct SpanListener {
  ZelnorSpanFunction span;
  void* context;
};

void ReportWave(void* context, const zelnor::MaskedWaveSpan& masked) {
  const auto& listener = *static_cast<const SpanListener*>(context);
  const ZelnorMaskedSpan span{masked.channel, masked.start_frame, masked.end_frame};
  listener.span(listener.context, &span);
}

// Samples masked at a time, so a 64-bit count never overflows a 32-bit
// size_t.
constexpr uint64_t kFeedStep = 1u << 20;

template <typename Sample>
int Feed(ZelnorMasker* masker, const Sample* samples, uint64_t count, Sample* masked) {
  return zelnor::ResultOf([&] {
    if (masker == nullptr || ((samples == nullptr || masked == nullptr) && count != 0)) {
      return ZELNOR_E_INVALID_ARGUMENT;
    }
    for (uint64_t done = 0; done < count;) {
      const auto step = static_cast<size_t>(std::min(count - done, kFeedStep));
      masker->masker.Process(samples + done, step, masked + done);
      done += step;
    }
    return ZELNOR_OK;
  });
}

template <typename Sample>
int Flush(ZelnorMasker* masker, Sample* masked) {
  return zelnor::ResultOf([&] {
    if (masker == nullptr || masked == nullptr) return ZELNOR_E_INVALID_ARGUMENT;
    masker->masker.Flush(masked);
    return ZELNOR_OK;
  });
}

}  // namespace

namespace zelnor {

WaveSummary MaskRecording(ByteSource& source, ByteSink& sink, const ZelnorMaskerOptions* options) {
  SpanListener listener{options->span, options->span_context};
  return MaskWave(source, sink, ToMaskerSettings(options, false),
                  options->span != nullptr ? &ReportWave : nullptr, &listener);
}

}  // namespace zelnor

extern "C" int ZELNOR_CALL CreateDTMFMasker(const ZelnorMaskerOptions* options,
                                            ZelnorMasker** masker) {
  return zelnor::ResultOf([&] {
    if (masker == nullptr) return ZELNOR_E_INVALID_ARGUMENT;
    *masker = nullptr;
    const zelnor::MaskerSettings settings = zelnor::ToMaskerSettings(options, true);
    auto* made = new ZelnorMasker(settings, options->span, options->span_context);
    *masker = made;
    return ZELNOR_OK;
  });
}

extern "C" int ZELNOR_CALL GetDTMFMaskerDelay(const ZelnorMasker* masker, uint32_t* samples) {
  if (masker == nullptr || samples == nullptr) return ZELNOR_E_INVALID_ARGUMENT;
  *samples = static_cast<uint32_t>(masker->masker.Delay());
  return ZELNOR_OK;
}

extern "C" int ZELNOR_CALL FeedDTMFMasker(ZelnorMasker* masker, const int16_t* samples,
                                          uint64_t count, int16_t* masked) {
  return Feed(masker, samples, count, masked);
}

extern "C" int ZELNOR_CALL FeedDTMFMaskerFloat(ZelnorMasker* masker, const float* samples,
                                               uint64_t count, float* masked) {
  return Feed(masker, samples, count, masked);
}

extern "C" int ZELNOR_CALL FlushDTMFMasker(ZelnorMasker* masker, int16_t* masked) {
  return Flush(masker, masked);
}

extern "C" int ZELNOR_CALL FlushDTMFMaskerFloat(ZelnorMasker* masker, float* masked) {
  return Flush(masker, masked);
}

extern "C" int ZELNOR_CALL DestroyDTMFMasker(ZelnorMasker* masker) {
  delete masker;
  return ZELNOR_OK;
}

extern "C" int ZELNOR_CALL MaskDTMFWaveStream(ZelnorReadFunction read, void* read_context,
                                              ZelnorWriteFunction write, void* write_context,
                                              const ZelnorMaskerOptions* options,
                                              ZelnorWaveInfo* info) {
  return zelnor::ResultOf([&] {
    if (read == nullptr || write == nullptr) return ZELNOR_E_INVALID_ARGUMENT;
    zelnor::ToMaskerSettings(options, false);  // bad options before any byte is read
    return zelnor::WaveCall(info, [&](ZelnorWaveInfo&, zelnor::WaveSummary& summary) {
      zelnor::CallerSource source(read, read_context);
      zelnor::CallerSink sink(write, write_context);
      summary = zelnor::MaskRecording(source, sink, options);
      return ZELNOR_OK;
    });
  });
}
