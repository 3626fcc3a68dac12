#pragma once
// The sample formats a WAV may hold, each decoded to its exact value and
// encoded back, shared by the reader and the masker's writer. A value
// decoded encodes to the bytes it came from, so a writer loses nothing.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace zelnor {

struct SampleFormat {
  std::uint16_t format_tag;  // kWaveFormat*
  std::uint16_t bytes;       // per sample
  // Full scale is ±1.0; only a float sample can lie outside it.
  double (*decode)(const std::uint8_t* at);
  // Rounds to the nearest code, clipping at full scale.
  void (*encode)(double value, std::uint8_t* at);
};

// The format of `bytes`-byte samples tagged `format_tag`, or nullptr.
const SampleFormat* FindSampleFormat(std::uint16_t format_tag, std::size_t bytes);

// Whether any size of sample is known under `format_tag`.
bool IsKnownSampleTag(std::uint16_t format_tag);

// A decoded value as the receiver and the masker take it: overs clipped to
// full scale, NaN and a negative zero (mu-law's) as zero. Inline: it runs
// once per sample.
inline float SignalValue(double decoded) {
  if (std::isnan(decoded)) return 0.0f;
  // Adding zero turns a negative zero positive.
  return static_cast<float>(std::clamp(decoded, -1.0, 1.0)) + 0.0f;
}

}  // namespace zelnor
