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
#include "zelnor/exports/receiver_options.h"
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

// A read that failed, with the system's reason kept for the caller.
struct ReadFailure {
  DWORD error;
};

class FileSource final : public zelnor::ByteSource {
 public:
  explicit FileSource(HANDLE file) : file_(file) {}
  size_t Read(uint8_t* bytes, size_t count) override {
    DWORD read = 0;
    const auto want = static_cast<DWORD>(std::min<size_t>(count, 1u << 20));
    if (!::ReadFile(file_, bytes, want, &read, nullptr)) {
      // A pipe whose writer has gone is the end of the recording.
      if (::GetLastError() == ERROR_BROKEN_PIPE) return 0;
      throw ReadFailure{::GetLastError()};
    }
    return read;
  }

 private:
  HANDLE file_;
};

class CallerSource final : public zelnor::ByteSource {
 public:
  CallerSource(ZelnorReadFunction read, void* context) : read_(read), context_(context) {}
  size_t Read(uint8_t* bytes, size_t count) override {
    const auto want = static_cast<int32_t>(std::min<size_t>(count, 1u << 20));
    const int32_t read = read_(context_, bytes, want);
    if (read < 0 || read > want) throw ReadFailure{ERROR_READ_FAULT};
    return static_cast<size_t>(read);
  }

 private:
  ZelnorReadFunction read_;
  void* context_;
};

void Describe(ZelnorWaveInfo* info, uint32_t problem, uint32_t value) {
  info->problem = problem;
  info->value = value;
  zelnor::DescribeWaveProblem(problem, value, info->message, sizeof info->message);
}

// Decodes from `source`, filling `info` (may be null) with what was found.
int Decode(zelnor::ByteSource& source, const ZelnorReceiverOptions* options, ZelnorWaveInfo* info) {
  ZelnorWaveInfo ignored{};
  ignored.cbSize = sizeof ignored;
  if (info == nullptr) info = &ignored;
  if (info->cbSize != sizeof(ZelnorWaveInfo)) return ZELNOR_E_INVALID_ARGUMENT;
  *info = ZelnorWaveInfo{};
  info->cbSize = sizeof *info;
  const zelnor::ReceiverSettings settings = zelnor::ToReceiverSettings(options, false);
  Listener listener{options->digit, options->digit_context, options->reports};
  try {
    const zelnor::WaveDecoded decoded =
        zelnor::DecodeWave(source, settings, &ReportChannel, &listener);
    info->format_tag = decoded.format.format_tag;
    info->channels = decoded.format.channels;
    info->sample_rate = decoded.format.sample_rate;
    info->bits_per_sample = decoded.format.bits_per_sample;
    info->frames = decoded.frames;
    if (decoded.truncated) Describe(info, ZELNOR_WAVE_TRUNCATED, 0);
  } catch (const zelnor::WaveError& error) {
    Describe(info, error.problem(), error.value());
    return ZELNOR_E_BAD_WAVE;
  } catch (const ReadFailure& failure) {
    // The caller learns why from the last error, so it is never left at 0.
    ::SetLastError(failure.error != 0 ? failure.error : ERROR_READ_FAULT);
    return ZELNOR_E_FILE;
  }
  return ZELNOR_OK;
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
    CallerSource source(read, read_context);
    return Decode(source, options, info);
  });
}

extern "C" int __stdcall DecodeDTMFWaveW(const wchar_t* path, const ZelnorReceiverOptions* options,
                                         ZelnorWaveInfo* info) {
  return zelnor::ResultOf([&] {
    if (path == nullptr) return ZELNOR_E_INVALID_ARGUMENT;
    zelnor::ToReceiverSettings(options, false);  // bad options before any file is opened
    const UniqueKernelHandle file(::CreateFileW(path, GENERIC_READ,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
      if (::GetLastError() == 0) ::SetLastError(ERROR_OPEN_FAILED);
      return ZELNOR_E_FILE;
    }
    FileSource source(file.get());
    return Decode(source, options, info);
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
