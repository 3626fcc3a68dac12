// Any samples, at any rate, in any chunks, as 16-bit integers and as raw
// floats (NaN and infinity included): the masker never fails, writes one
// sample out per sample in plus Delay() at the flush, reports spans in
// order within the stream, and the chunking changes nothing.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/fuzz/fuzz_check.h"
#include "zelnor/masker/dtmf_masker.h"

namespace {

struct Result {
  std::vector<unsigned char> bytes;  // the output, compared as bytes (NaN included)
  std::vector<zelnor::MaskedSpan> spans;
};

void Keep(void* context, const zelnor::MaskedSpan& span) {
  auto& spans = *static_cast<std::vector<zelnor::MaskedSpan>*>(context);
  Check(span.end_sample > span.start_sample, "an empty span");
  Check(spans.empty() || spans.back().end_sample <= span.start_sample, "spans overlap");
  spans.push_back(span);
}

template <typename Sample>
Result Mask(uint32_t rate, const std::vector<Sample>& x, const uint8_t* chunks,
            size_t chunk_count) {
  Result result;
  zelnor::DtmfMasker masker({rate, zelnor::Replacement::kNoise, Keep, &result.spans});
  // A guard sample past the end catches a write beyond what was asked.
  std::vector<Sample> out(x.size() + masker.Delay() + 1, Sample{7});
  size_t at = 0;
  for (size_t i = 0; at < x.size(); ++i) {
    const size_t n = chunk_count == 0 ? x.size() : 1 + chunks[i % chunk_count] * 7u;
    const size_t take = n < x.size() - at ? n : x.size() - at;
    masker.Process(x.data() + at, take, out.data() + at);
    at += take;
  }
  masker.Flush(out.data() + x.size());
  Check(out.back() == Sample{7}, "wrote past the output");
  out.pop_back();
  for (const zelnor::MaskedSpan& span : result.spans) {
    Check(span.end_sample <= x.size(), "a span past the stream");
  }
  result.bytes.resize(out.size() * sizeof(Sample));
  if (!out.empty()) std::memcpy(result.bytes.data(), out.data(), result.bytes.size());
  return result;
}

template <typename Sample>
void CheckChunking(uint32_t rate, const std::vector<Sample>& x, const uint8_t* chunks,
                   size_t chunk_count) {
  const Result chunked = Mask(rate, x, chunks, chunk_count);
  const Result whole = Mask(rate, x, chunks, 0);
  Check(chunked.bytes == whole.bytes, "chunking changed the output");
  Check(chunked.spans.size() == whole.spans.size(), "chunking changed the spans");
  for (size_t i = 0; i < whole.spans.size(); ++i) {
    Check(chunked.spans[i].start_sample == whole.spans[i].start_sample &&
              chunked.spans[i].end_sample == whole.spans[i].end_sample,
          "chunking moved a span");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  StreamInput in;
  if (!ReadStreamInput(data, size, in)) return 0;
  CheckChunking(in.rate, in.integers, in.chunks, in.chunk_count);
  CheckChunking(in.rate, in.floats, in.chunks, in.chunk_count);
  return 0;
}
