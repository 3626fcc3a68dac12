// Any bytes through the WAV reader: it refuses or reads, never crashes, and
// every sample it hands out is a number within full scale.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tests/fuzz/fuzz_check.h"
#include "zelnor/recording/wave_reader.h"

namespace {

class FuzzSource final : public zelnor::ByteSource {
 public:
  FuzzSource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  size_t Read(uint8_t* into, size_t count) override {
    const size_t step = std::min(count, size_ - at_);
    std::copy_n(data_ + at_, step, into);
    at_ += step;
    return step;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzSource source(data, size);
  try {
    zelnor::WaveReader reader(source);
    const zelnor::WaveFormat& format = reader.format();
    Check(format.channels >= 1 && format.channels <= zelnor::kMaxWaveChannels, "channels");
    Check(format.sample_rate >= 8000 && format.sample_rate <= 48000, "rate");
    std::vector<float> samples(size_t{64} * format.channels);
    size_t frames_total = 0;
    while (const size_t frames = reader.Read(samples.data(), 64)) {
      Check(frames <= 64, "more frames than asked for");
      for (size_t i = 0; i < frames * format.channels; ++i) {
        Check(std::isfinite(samples[i]) && std::fabs(samples[i]) <= 1.0f, "sample out of range");
      }
      frames_total += frames;
    }
    Check(frames_total * format.block_align <= size, "frames from nowhere");
  } catch (const zelnor::WaveError& error) {
    char text[128];
    zelnor::DescribeWaveProblem(error.problem(), error.value(), text, sizeof text);
    Check(text[0] != '\0', "a refusal without a reason");
  }
  return 0;
}
