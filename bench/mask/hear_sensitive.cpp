// Prints each digit our receiver, at its most sensitive, hears in raw
// 16-bit mono samples from standard input: first sample, one past the
// last, symbol.
// Usage: hear_sensitive RATE < samples

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "zelnor/receiver/dtmf_receiver.h"

namespace {

void Print(void*, const zelnor::HeardDigit& digit, bool ended) {
  if (ended) {
    std::printf("%llu %llu %c\n", static_cast<unsigned long long>(digit.start_sample),
                static_cast<unsigned long long>(digit.end_sample), digit.symbol);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: hear_sensitive RATE < samples\n");
    return 2;
  }
  try {
    zelnor::DtmfReceiver receiver({static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 10)),
                                   zelnor::kReceiverLowestLevelDbm0});
    std::int16_t samples[4096];
    for (std::size_t n; (n = std::fread(samples, sizeof samples[0], 4096, stdin)) > 0;) {
      receiver.Feed(samples, n, Print, nullptr);
    }
    receiver.Flush(Print, nullptr);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "hear_sensitive: %s\n", e.what());
    return 2;
  }
  return 0;
}
