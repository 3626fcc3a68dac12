#pragma once
// What the masker puts where a tone was: silence, comfort noise at the
// level of the audio around it, or one neutral beep that says a key was
// pressed but not which. Each sample depends only on its own number and
// its span, so the chunking of the stream cannot change it.

#include <cstdint>

namespace zelnor {

enum class Replacement { kSilence, kNoise, kBeep };

class Replacer {
 public:
  Replacer(Replacement kind, std::uint32_t rate);

  // Sample `n` (±1.0 full scale) of a span covering [start, end), with the
  // surrounding audio's mean square `background`.
  // Whether every sample is 0.
  [[nodiscard]] bool Silent() const { return kind_ == Replacement::kSilence; }

  [[nodiscard]] float At(std::int64_t n, std::int64_t start, std::int64_t end,
                         float background) const;

 private:
  Replacement kind_;
  double turns_per_sample_;  // of the beep
  double ramp_samples_;      // its fade in and out
};

}  // namespace zelnor
