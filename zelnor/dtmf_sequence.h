#pragma once
// The whole audio of a dial string as a pull generator: each symbol is its
// two tones for one interval followed by as long a silence, rendered on
// demand in whatever block sizes the caller asks for. It touches no audio
// API, so the Windows player, the tests and the benchmarks share it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "zelnor/sine_oscillator.h"

namespace zelnor {

class DtmfSequence {
 public:
  // symbols: characters of kAllSymbols only (as ReadSymbols returns them).
  // interval_ms must already be in range (ClampIntervalMs).
  DtmfSequence(std::string symbols, int32_t interval_ms, uint32_t sample_rate);

  // Writes up to `count` samples and returns how many it wrote; fewer than
  // asked only once the sequence ends, 0 after that.
  size_t Generate(int16_t* out, size_t count);

  [[nodiscard]] bool Finished() const { return symbol_index_ >= symbols_.size(); }
  [[nodiscard]] uint32_t SampleRate() const { return sample_rate_; }
  [[nodiscard]] size_t ToneSamples() const { return tone_samples_; }
  [[nodiscard]] size_t RampSamples() const { return ramp_.size(); }
  [[nodiscard]] uint64_t TotalSamples() const { return uint64_t{symbols_.size()} * 2 * tone_samples_; }

  // Peak amplitudes of each tone, in sample units.
  [[nodiscard]] float LowAmplitude() const { return low_amplitude_; }
  [[nodiscard]] float HighAmplitude() const { return high_amplitude_; }

 private:
  void StartSymbol();
  void RenderTone(int16_t* out, size_t count);

  std::string symbols_;
  uint32_t sample_rate_;
  size_t tone_samples_;
  std::vector<float> ramp_;  // rising half; the fall reads it backwards
  float low_amplitude_;
  float high_amplitude_;

  size_t symbol_index_ = 0;
  size_t position_ = 0;  // within the current symbol's tone + silence
  SineOscillator low_;
  SineOscillator high_;
};

}  // namespace zelnor
