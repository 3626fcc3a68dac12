// The exported calls that hear DTMF: a receiver fed by the caller, and
// whole WAV recordings from the caller's reads. The file forms are the
// system's (receiver_exports_win.cpp, receiver_exports_posix.cpp).

#include <algorithm>

#include "zelnor.h"
#include "zelnor/exports/call_boundary.h"
#include "zelnor/exports/caller_streams.h"
#include "zelnor/exports/receiver_options.h"
#include "zelnor/exports/recording_calls.h"

struct ZelnorReceiver {
  zelnor::DtmfReceiver receiver;
  zelnor::DigitListener listener;
};

namespace zelnor {

void ReportToListener(void* listener, const HeardDigit& heard, uint32_t channel, bool ended) {
  const auto& to = *static_cast<const DigitListener*>(listener);
  if ((to.reports & (ended ? ZELNOR_REPORT_ENDS : ZELNOR_REPORT_STARTS)) == 0) return;
  const ZelnorDigit digit{heard.symbol, channel, heard.start_sample, heard.end_sample};
  to.digit(to.context, &digit);
}

}  // namespace zelnor

namespace {

void ReportReceiver(void* context, const zelnor::HeardDigit& heard, bool ended) {
  zelnor::ReportToListener(&static_cast<ZelnorReceiver*>(context)->listener, heard, 0, ended);
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

}  // namespace

extern "C" int ZELNOR_CALL CreateDTMFReceiver(const ZelnorReceiverOptions* options,
                                              ZelnorReceiver** receiver) {
  return zelnor::ResultOf([&] {
    if (receiver == nullptr) return ZELNOR_E_INVALID_ARGUMENT;
    *receiver = nullptr;
    const zelnor::ReceiverSettings settings = zelnor::ToReceiverSettings(options, true);
    *receiver = new ZelnorReceiver{zelnor::DtmfReceiver(settings),
                                   {options->digit, options->digit_context, options->reports}};
    return ZELNOR_OK;
  });
}

extern "C" int ZELNOR_CALL FeedDTMFReceiver(ZelnorReceiver* receiver, const int16_t* samples,
                                            uint64_t count) {
  return Feed(receiver, samples, count);
}

extern "C" int ZELNOR_CALL FeedDTMFReceiverFloat(ZelnorReceiver* receiver, const float* samples,
                                                 uint64_t count) {
  return Feed(receiver, samples, count);
}

extern "C" int ZELNOR_CALL FlushDTMFReceiver(ZelnorReceiver* receiver) {
  return zelnor::ResultOf([&] {
    if (receiver == nullptr) return ZELNOR_E_INVALID_ARGUMENT;
    receiver->receiver.Flush(&ReportReceiver, receiver);
    return ZELNOR_OK;
  });
}

extern "C" int ZELNOR_CALL DestroyDTMFReceiver(ZelnorReceiver* receiver) {
  delete receiver;
  return ZELNOR_OK;
}

extern "C" int ZELNOR_CALL DecodeDTMFWaveStream(ZelnorReadFunction read, void* read_context,
                                                const ZelnorReceiverOptions* options,
                                                ZelnorWaveInfo* info) {
  return zelnor::ResultOf([&] {
    if (read == nullptr) return ZELNOR_E_INVALID_ARGUMENT;
    return zelnor::DecodeRecording(options, info, [&](ZelnorWaveInfo&, auto&& decode) {
      zelnor::CallerSource source(read, read_context);
      decode(source);
      return ZELNOR_OK;
    });
  });
}
