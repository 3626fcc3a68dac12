// Any bytes through the WAV masker: it refuses with a reason or writes a
// recording no longer than the one it read, reports spans within the
// frames and channels it read, in order per channel, and reads given in
// short pieces change nothing.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tests/fuzz/fuzz_check.h"
#include "tests/support/memory_streams.h"
#include "zelnor/recording/wave_masker.h"

namespace {

struct Result {
  bool refused = false;
  std::vector<uint8_t> written;
  std::vector<zelnor::MaskedWaveSpan> spans;
};

void KeepSpan(void* context, const zelnor::MaskedWaveSpan& span) {
  static_cast<std::vector<zelnor::MaskedWaveSpan>*>(context)->push_back(span);
}

Result Mask(const uint8_t* data, size_t size, size_t piece) {
  zelnor_test::MemorySource source({data, data + size}, piece);
  zelnor_test::MemorySink sink;
  Result result;
  try {
    const zelnor::WaveSummary masked = zelnor::MaskWave(
        source, sink, {8000, zelnor::Replacement::kNoise}, KeepSpan, &result.spans);
    uint64_t last_end[zelnor::kMaxWaveChannels] = {};
    for (const zelnor::MaskedWaveSpan& span : result.spans) {
      Check(span.channel < masked.format.channels, "a span on a channel not there");
      Check(span.start_frame < span.end_frame && span.end_frame <= masked.frames,
            "a span outside the frames");
      Check(span.start_frame >= last_end[span.channel], "spans out of order");
      last_end[span.channel] = span.end_frame;
    }
    Check(masked.frames * masked.format.block_align <= size, "frames from nowhere");
  } catch (const zelnor::WaveError& error) {
    char text[128];
    zelnor::DescribeWaveProblem(error.problem(), error.value(), text, sizeof text);
    Check(text[0] != '\0', "a refusal without a reason");
    result.refused = true;
  }
  Check(sink.written.size() <= size, "wrote more than it read");
  result.written = std::move(sink.written);
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Result whole = Mask(data, size, size + 1);
  const Result pieces = Mask(data, size, 1 + size % 61);
  Check(whole.refused == pieces.refused, "short reads changed the refusal");
  Check(whole.written == pieces.written, "short reads changed the output");
  Check(whole.spans.size() == pieces.spans.size(), "short reads changed the spans");
  return 0;
}
