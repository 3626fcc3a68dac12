// zelnor.dll under Wine: RenderDTMF of 10,000 symbols at 48 kHz against
// memcpy of as many bytes, in the same process, each into memory touched
// beforehand; rounds rotate the order and the figures are medians.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "zelnor.h"

namespace {

constexpr int kSymbols = 10000;
constexpr int kIntervalMs = 40;
constexpr int kRounds = 15;

double NowSeconds() {
  LARGE_INTEGER frequency, counter;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main() {
  std::string dial;
  for (int i = 0; i < kSymbols; ++i) dial.push_back("0123456789ABCD*#"[i % 16]);
  ZelnorOptions options = ZELNOR_OPTIONS_FOR_INTERVAL(kIntervalMs);
  uint64_t count = 0;
  if (RenderDTMF(dial.c_str(), &options, nullptr, &count) != ZELNOR_OK) return 1;
  std::vector<int16_t> rendered(static_cast<size_t>(count), 1);
  std::vector<int16_t> copied(static_cast<size_t>(count), 1);

  std::vector<double> render_seconds, copy_seconds;
  for (int round = 0; round < kRounds; ++round) {
    for (int turn = 0; turn < 2; ++turn) {
      const double start = NowSeconds();
      if ((turn + round) % 2 == 0) {
        uint64_t room = count;
        if (RenderDTMF(dial.c_str(), &options, rendered.data(), &room) != ZELNOR_OK) return 1;
        render_seconds.push_back(NowSeconds() - start);
      } else {
        std::memcpy(copied.data(), rendered.data(), rendered.size() * sizeof(int16_t));
        copy_seconds.push_back(NowSeconds() - start);
      }
    }
  }
  const double render = Median(render_seconds), copy = Median(copy_seconds);
  std::printf(
      "RenderDTMF, %d symbols of %d + %d ms at 48 kHz (%.1f MB): %.1f ms, %.0f M samples/s\n"
      "memcpy of the same bytes: %.1f ms, %.0f M samples/s\n"
      "RenderDTMF runs at %.0f%% of memcpy's speed (median of %d rounds)\n",
      kSymbols, kIntervalMs, kIntervalMs, count * 2 / 1e6, render * 1e3, count / render / 1e6,
      copy * 1e3, count / copy / 1e6, 100 * copy / render, kRounds);
  return 0;
}
