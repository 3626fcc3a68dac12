// Any samples, at any rate, in any chunks, as 16-bit integers and as raw
// floats (NaN and infinity included): the receiver never fails, reports
// each digit once with a sensible span, and the chunking changes nothing.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <tuple>
#include <vector>

#include "tests/fuzz/fuzz_check.h"
#include "zelnor/receiver/dtmf_receiver.h"

namespace {

struct Heard {
  std::vector<std::tuple<char, uint64_t, uint64_t>> ended;
  int sounding = 0;
};

void Keep(void* context, const zelnor::HeardDigit& digit, bool ended) {
  Heard& heard = *static_cast<Heard*>(context);
  if (!ended) {
    Check(heard.sounding == 0 && digit.end_sample == 0, "a digit began over another");
    ++heard.sounding;
    return;
  }
  Check(heard.sounding == 1, "a digit ended that never began");
  Check(digit.end_sample > digit.start_sample, "a digit ended before it began");
  Check(heard.ended.empty() || std::get<2>(heard.ended.back()) <= digit.start_sample,
        "digits overlap");
  --heard.sounding;
  heard.ended.emplace_back(digit.symbol, digit.start_sample, digit.end_sample);
}

template <typename Sample>
Heard Hear(uint32_t rate, const std::vector<Sample>& x, const uint8_t* chunks, size_t chunk_count) {
  Heard heard;
  zelnor::DtmfReceiver receiver({rate});
  size_t at = 0;
  for (size_t i = 0; at < x.size(); ++i) {
    const size_t n = chunk_count == 0 ? x.size() : 1 + chunks[i % chunk_count] * 7u;
    const size_t take = n < x.size() - at ? n : x.size() - at;
    receiver.Feed(x.data() + at, take, Keep, &heard);
    at += take;
  }
  receiver.Flush(Keep, &heard);
  Check(heard.sounding == 0, "a digit left sounding after the flush");
  return heard;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  StreamInput in;
  if (!ReadStreamInput(data, size, in)) return 0;
  Check(Hear(in.rate, in.integers, in.chunks, in.chunk_count).ended ==
            Hear(in.rate, in.integers, in.chunks, 0).ended,
        "chunking changed 16-bit hearing");
  Check(Hear(in.rate, in.floats, in.chunks, in.chunk_count).ended ==
            Hear(in.rate, in.floats, in.chunks, 0).ended,
        "chunking changed float hearing");
  return 0;
}
