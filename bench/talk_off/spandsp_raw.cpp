// Prints each digit SpanDSP's dtmf_rx hears in raw 16-bit mono 8 kHz samples
// read from standard input, one line each: samples fed when it was reported,
// symbol. Fed 160 samples (20 ms) at a time, as a phone line would be; the
// digit callback runs at the end of the chunk in which the digit was seen.
// Usage: spandsp_raw < samples

#include <cstdint>
#include <cstdio>

extern "C" {
#include <spandsp.h>
}

namespace {

struct Position {
  unsigned long long samples = 0;
};

void Print(void* context, const char* digits, int count) {
  const auto* at = static_cast<const Position*>(context);
  for (int i = 0; i < count; ++i) std::printf("%llu %c\n", at->samples, digits[i]);
}

}  // namespace

int main(int argc, char**) {
  if (argc != 1) {
    std::fprintf(stderr, "usage: spandsp_raw < samples\n");
    return 2;
  }
  Position at;
  dtmf_rx_state_t* receiver = dtmf_rx_init(nullptr, Print, &at);
  if (receiver == nullptr) return 2;
  std::int16_t samples[160];
  for (std::size_t n; (n = std::fread(samples, sizeof samples[0], 160, stdin)) > 0;) {
    at.samples += n;
    dtmf_rx(receiver, samples, static_cast<int>(n));
  }
  dtmf_rx_free(receiver);
  return 0;
}
