#pragma once
// A fuzzer's own invariants: a broken one ends the run as a crash would,
// saying which, so libFuzzer keeps the input that broke it. And the input
// the streaming fuzzers (receiver, masker) read alike.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

inline void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

// A rate (some out of range), chunk sizes, and the rest of the bytes as
// 16-bit samples and as raw floats (NaN and infinity included).
struct StreamInput {
  uint32_t rate = 0;
  const uint8_t* chunks = nullptr;  // each a chunk of 1 + 7 * byte samples, in turn
  size_t chunk_count = 0;           // 0: all at once
  std::vector<int16_t> integers;
  std::vector<float> floats;
};

// False when there are too few bytes for a stream.
inline bool ReadStreamInput(const uint8_t* data, size_t size, StreamInput& input) {
  if (size < 4) return false;
  constexpr uint32_t kRates[] = {8000, 11025, 16000, 22050, 32000, 44100, 48000, 9999};
  input.rate = kRates[data[0] & 7];
  input.chunk_count = data[1] & 15;
  input.chunks = data + 2;
  if (size < 2 + input.chunk_count) return false;
  const uint8_t* body = data + 2 + input.chunk_count;
  const size_t body_size = size - 2 - input.chunk_count;
  input.integers.resize(body_size / 2);
  if (!input.integers.empty()) std::memcpy(input.integers.data(), body, input.integers.size() * 2);
  input.floats.resize(body_size / 4);
  if (!input.floats.empty()) std::memcpy(input.floats.data(), body, input.floats.size() * 4);
  return true;
}
