// The exported calls that hear DTMF: a receiver fed by the caller, and
// whole WAV recordings from a file or the caller's reads.

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "common/handles_win.h"
#include "zelnor.h"
#include "zelnor/exports/ansi_path_win.h"
#include "zelnor/exports/call_boundary.h"
#include "zelnor/exports/caller_streams_win.h"
#include "zelnor/exports/receiver_options.h"
#include "zelnor/exports/wave_call_win.h"
#include "zelnor/recording/wave_decoder.h"

struct ZelnorReceiver {
  zelnor::DtmfReceiver receiver;
  ZelnorDigitFunction digit;
  void* context;
  uint32_t reports;
};

namespace {

// Where a digit goes: the caller's callback, for the reports it asked for.
struct Listener {
  ZelnorDigitFunction digit;
  void* context;
  uint32_t reports;
};

void Report(const Listener& listener, const zelnor::HeardDigit& heard, uint32_t channel,
            bool ended) {
  if ((listener.reports & (ended ? ZELNOR_REPORT_ENDS : ZELNOR_REPORT_STARTS)) == 0) return;
  const ZelnorDigit digit{heard.symbol, channel, heard.start_sample, heard.end_sample};
  listener.digit(listener.context, &digit);
}

void ReportChannel(void* context, const zelnor::HeardDigit& heard, uint32_t channel, bool ended) {
  Report(*static_cast<const Listener*>(context), heard, channel, ended);
}

void ReportReceiver(void* context, const zelnor::HeardDigit& heard, bool ended) {
  const auto& receiver = *static_cast<const ZelnorReceiver*>(context);
  Report({receiver.digit, receiver.context, receiver.reports}, heard, 0, ended);
}

// Samples handed to the receiver at a time, so a 64-bit count never
// overflows a 32-bit size_t.
constexpr uint64_t kFeedStep = 1u << 20;

template <typename Sample>
int Feed(ZelnorReceiver* receiver, const Sample* samples, uint64_t count) {
  return zelnor::ResultOf([&] {
    if (receiver == nullptr || (samples == nullptr && count != 0)) return ZELNOR_E_INVALID_ARGUMENT;
    for (uint64_t done = 0; done < count;) {
      const auto step = static_cast<size_t>(std::min(count - done, kFeedStep));
      receiver->receiver.Feed(samples + done, step, &ReportReceiver, receiver);
      done += step;
    }
    return ZELNOR_OK;
  });
}

// Decodes the recording `open` gives (a source, or ZELNOR_E_FILE), filling
// `info` (may be null) with what was found.
template <typename OpenSource>
int Decode(const ZelnorReceiverOptions* options, ZelnorWaveInfo* info, OpenSource&& open) {
  return zelnor::WaveCall(info, [&](ZelnorWaveInfo& filled, zelnor::WaveSummary& summary) {
    const zelnor::ReceiverSettings settings = zelnor::ToReceiverSettings(options, false);
    Listener listener{options->digit, options->digit_context, options->reports};
    return open(filled, [&](zelnor::ByteSource& source) {
      summary = zelnor::DecodeWave(source, settings, &ReportChannel, &listener);
    });
  });
}

}  // namespace

extern "C" int __stdcall CreateDTMFReceiver(const ZelnorReceiverOptions* options,
                                            ZelnorReceiver** receiver) {
  return zelnor::ResultOf([&] {
    if (receiver == nullptr) return ZELNOR_E_INVALID_ARGUMENT;
    *receiver = nullptr;
    const zelnor::ReceiverSettings settings = zelnor::ToReceiverSettings(options, true);
    *receiver = new ZelnorReceiver{zelnor::DtmfReceiver(settings), options->digit,
                                   options->digit_context, options->reports};
    return ZELNOR_OK;
  });
}

extern "C" int __stdcall FeedDTMFReceiver(ZelnorReceiver* receiver, const int16_t* samples,
                                          uint64_t count) {
  return Feed(receiver, samples, count);
}

extern "C" int __stdcall FeedDTMFReceiverFloat(ZelnorReceiver* receiver, const float* samples,
                                               uint64_t count) {
  return Feed(receiver, samples, count);
}

extern "C" int __stdcall FlushDTMFReceiver(ZelnorReceiver* receiver) {
  return zelnor::ResultOf([&] {
    if (receiver == nullptr) return ZELNOR_E_INVALID_ARGUMENT;
    receiver->receiver.Flush(&ReportReceiver, receiver);
    return ZELNOR_OK;
  });
}

extern "C" int __stdcall DestroyDTMFReceiver(ZelnorReceiver* receiver) {
  delete receiver;
  return ZELNOR_OK;
}

extern "C" int __stdcall DecodeDTMFWaveStream(ZelnorReadFunction read, void* read_context,
                                              const ZelnorReceiverOptions* options,
                                              ZelnorWaveInfo* info) {
  return zelnor::ResultOf([&] {
    if (read == nullptr) return ZELNOR_E_INVALID_ARGUMENT;
    return Decode(options, info, [&](ZelnorWaveInfo&, auto&& decode) {
      zelnor::CallerSource source(read, read_context);
      decode(source);
      return ZELNOR_OK;
    });
  });
}

extern "C" int __stdcall DecodeDTMFWaveW(const wchar_t* path, const ZelnorReceiverOptions* options,
                                         ZelnorWaveInfo* info) {
  return zelnor::ResultOf([&] {
    if (path == nullptr) return ZELNOR_E_INVALID_ARGUMENT;
    return Decode(options, info, [&](ZelnorWaveInfo& filled, auto&& decode) {
      const UniqueKernelHandle file = zelnor::OpenToRead(path);
      if (!file) return zelnor::Unreadable(filled, ::GetLastError());
      zelnor::FileSource source(file.get());
      decode(source);
      return ZELNOR_OK;
    });
  });
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
