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
#include "tests/support/memory_streams.h"
#include "zelnor/recording/wave_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zelnor_test::MemorySource source({data, data + size}, SIZE_MAX);
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
