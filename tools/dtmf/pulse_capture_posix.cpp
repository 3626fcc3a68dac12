#include "tools/dtmf/pulse_capture_posix.h"

#include "common/pulse_library_posix.h"
#include "tools/dtmf/failure.h"
#include "tools/dtmf/utf8_text.h"

namespace dtmf_tool {
namespace {

[[noreturn]] void ThrowDeviceFailure(const wchar_t* what, const std::string& why) {
  throw Failure(kExitDevice, std::wstring(L"dtmf: --listen: ") + what + L": " + FromUtf8(why));
}

}  // namespace

PulseCapture::PulseCapture(const std::string& source, uint32_t sample_rate) {
  std::string why;
  pulse_ = LoadPulseLibrary(&why);
  if (pulse_ == nullptr) ThrowDeviceFailure(L"cannot open the input device", why);
  const uint32_t stretch = sample_rate * kStretchMs / 1000;
  samples_.resize(stretch);
  const pa_sample_spec format{PA_SAMPLE_S16NE, sample_rate, 1};
  pa_buffer_attr buffer{};
  buffer.maxlength = UINT32_MAX;  // UINT32_MAX: the server's choice
  buffer.tlength = UINT32_MAX;
  buffer.prebuf = UINT32_MAX;
  buffer.minreq = UINT32_MAX;
  // Handed over a stretch at a time, so a digit is printed as it is heard.
  buffer.fragsize = stretch * static_cast<uint32_t>(sizeof(int16_t));
  int error = 0;
  stream_ = pulse_->simple_new(nullptr, "dtmf", PA_STREAM_RECORD,
                               source.empty() ? nullptr : source.c_str(), "DTMF listening", &format,
                               nullptr, &buffer, &error);
  if (stream_ == nullptr) {
    ThrowDeviceFailure(L"cannot open the input device", PulseErrorText(*pulse_, error));
  }
}

PulseCapture::~PulseCapture() {
  if (stream_ != nullptr) pulse_->simple_free(stream_);
}

void PulseCapture::Run(const volatile std::sig_atomic_t& stop, const TakeSamples& take) {
  while (stop == 0) {
    int error = 0;
    if (pulse_->simple_read(stream_, samples_.data(), samples_.size() * sizeof(int16_t), &error) !=
        0) {
      ThrowDeviceFailure(L"recording failed", PulseErrorText(*pulse_, error));
    }
    if (!take(samples_.data(), samples_.size())) return;
  }
}

}  // namespace dtmf_tool
