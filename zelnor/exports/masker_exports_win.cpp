// The exported calls that mask DTMF: a masker fed by the caller, and whole
// WAV recordings from file to file or between the caller's functions.

#include <windows.h>

#include <algorithm>
#include <vector>

#include "common/handles_win.h"
#include "common/whole_file_win.h"
#include "zelnor.h"
#include "zelnor/exports/ansi_path_win.h"
#include "zelnor/exports/call_boundary.h"
#include "zelnor/exports/caller_streams_win.h"
#include "zelnor/exports/masker_options.h"
#include "zelnor/exports/wave_call_win.h"
#include "zelnor/output/file_sink_win.h"
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

// Masks the recording from `source` into `sink` with `options`.
zelnor::WaveSummary Mask(zelnor::ByteSource& source, zelnor::ByteSink& sink,
                         const ZelnorMaskerOptions* options) {
  SpanListener listener{options->span, options->span_context};
  return zelnor::MaskWave(source, sink, zelnor::ToMaskerSettings(options, false),
                          options->span != nullptr ? &ReportWave : nullptr, &listener);
}

// One file masked into another: the source is closed once read, so the
// masked copy may take its place.
struct FileMasking {
  UniqueKernelHandle source;
  const ZelnorMaskerOptions* options;
  zelnor::WaveSummary summary;
};

bool WriteMasked(HANDLE file, void* context) {
  auto& masking = *static_cast<FileMasking*>(context);
  return zelnor::FillThrough(file, [&masking](zelnor::ByteSink& sink) {
    zelnor::FileSource source(masking.source.get());
    masking.summary = Mask(source, sink, masking.options);
    masking.source.reset();
  });
}

}  // namespace

extern "C" int __stdcall CreateDTMFMasker(const ZelnorMaskerOptions* options,
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

extern "C" int __stdcall GetDTMFMaskerDelay(const ZelnorMasker* masker, uint32_t* samples) {
  if (masker == nullptr || samples == nullptr) return ZELNOR_E_INVALID_ARGUMENT;
  *samples = static_cast<uint32_t>(masker->masker.Delay());
  return ZELNOR_OK;
}

extern "C" int __stdcall FeedDTMFMasker(ZelnorMasker* masker, const int16_t* samples,
                                        uint64_t count, int16_t* masked) {
  return Feed(masker, samples, count, masked);
}

extern "C" int __stdcall FeedDTMFMaskerFloat(ZelnorMasker* masker, const float* samples,
                                             uint64_t count, float* masked) {
  return Feed(masker, samples, count, masked);
}

extern "C" int __stdcall FlushDTMFMasker(ZelnorMasker* masker, int16_t* masked) {
  return Flush(masker, masked);
}

extern "C" int __stdcall FlushDTMFMaskerFloat(ZelnorMasker* masker, float* masked) {
  return Flush(masker, masked);
}

extern "C" int __stdcall DestroyDTMFMasker(ZelnorMasker* masker) {
  delete masker;
  return ZELNOR_OK;
}

extern "C" int __stdcall MaskDTMFWaveStream(ZelnorReadFunction read, void* read_context,
                                            ZelnorWriteFunction write, void* write_context,
                                            const ZelnorMaskerOptions* options,
                                            ZelnorWaveInfo* info) {
  return zelnor::ResultOf([&] {
    if (read == nullptr || write == nullptr) return ZELNOR_E_INVALID_ARGUMENT;
    zelnor::ToMaskerSettings(options, false);  // bad options before any byte is read
    return zelnor::WaveCall(info, [&](ZelnorWaveInfo&, zelnor::WaveSummary& summary) {
      zelnor::CallerSource source(read, read_context);
      zelnor::CallerSink sink(write, write_context);
      summary = Mask(source, sink, options);
      return ZELNOR_OK;
    });
  });
}

extern "C" int __stdcall MaskDTMFWaveW(const wchar_t* source, const wchar_t* target,
                                       const ZelnorMaskerOptions* options, ZelnorWaveInfo* info) {
  return zelnor::ResultOf([&] {
    if (source == nullptr || target == nullptr) return ZELNOR_E_INVALID_ARGUMENT;
    zelnor::ToMaskerSettings(options, false);  // bad options before any file is opened
    return zelnor::WaveCall(info, [&](ZelnorWaveInfo& filled, zelnor::WaveSummary& summary) {
      FileMasking masking{zelnor::OpenToRead(source), options, {}};
      if (!masking.source) return zelnor::Unreadable(filled, ::GetLastError());
      const bool written = WriteWholeFile(target, &WriteMasked, &masking);
      summary = masking.summary;
      return written ? ZELNOR_OK : ZELNOR_E_FILE;
    });
  });
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
