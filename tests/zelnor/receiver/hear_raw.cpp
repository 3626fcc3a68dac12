// Prints each digit the receiver hears in raw 16-bit mono samples read from
// standard input, one line each: first sample, one past the last, symbol.
// "sensitive" hears down to the receiver's lowest level, as a masked
// recording is checked.
// Usage: hear_raw RATE [sensitive] < samples

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
  const bool sensitive = argc == 3 && std::strcmp(argv[2], "sensitive") == 0;
  if (argc != 2 && !sensitive) {
    std::fprintf(stderr, "usage: hear_raw RATE [sensitive] < samples\n");
    return 2;
  }
  try {
    zelnor::ReceiverSettings settings{
        static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 10))};
    if (sensitive) settings.minimum_level_dbm0 = zelnor::kReceiverLowestLevelDbm0;
    zelnor::DtmfReceiver receiver(settings);
    std::int16_t samples[4096];
    for (std::size_t n; (n = std::fread(samples, sizeof samples[0], 4096, stdin)) > 0;) {
      receiver.Feed(samples, n, Print, nullptr);
    }
    receiver.Flush(Print, nullptr);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "hear_raw: %s\n", e.what());
    return 2;
  }
  return 0;
}
