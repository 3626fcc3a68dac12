#pragma once
// The whole audio of a dial string as a pull generator: each symbol is its
// two tones followed by a silence, rendered on demand in whatever block sizes
// the caller asks for. It touches no audio API, so the Windows player, the
// renderer, the tests and the benchmarks share it.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "zelnor/signal/dtmf_levels.h"
#include "zelnor/signal/sine_oscillator.h"

namespace zelnor {

struct SequenceOptions {
  int32_t tone_ms;  // both within ZELNOR_MIN_INTERVAL_MS..ZELNOR_MAX_INTERVAL_MS
  int32_t gap_ms;
  uint32_t sample_rate = kDefaultSampleRate;  // 8000 or more
  double peak_dbfs = kPeakDbfs;               // both tones together
};

// Whether the generator takes these settings: lengths within
// ZELNOR_MIN_INTERVAL_MS..ZELNOR_MAX_INTERVAL_MS, a rate of kMinSampleRate or
// more, a level within ZELNOR_MIN_LEVEL_DB10..ZELNOR_MAX_LEVEL_DB10.
bool IsInRange(const SequenceOptions& options);

// Samples in `ms` at `sample_rate`, rounded to the nearest.
size_t MillisecondsToSamples(double ms, uint32_t sample_rate);

// Where one symbol of the dial begins to sound.
struct SymbolStart {
  uint64_t index;        // among the dial's symbols, from 0
  uint64_t sample;       // its tone's first sample, counted from the sequence's start
  uint64_t dial_offset;  // its byte offset in the caller's dial text
  char symbol;
};

class DtmfSequence {
 public:
  // symbols: characters of kAllSymbols only (as ReadSymbols returns them).
  // Throws ZelnorError for options out of range.
  DtmfSequence(std::string symbols, const SequenceOptions& options);

  // Writes up to `count` samples and returns how many it wrote; fewer than
  // asked only once the sequence ends, 0 after that.
  size_t Generate(int16_t* out, size_t count);

  // The dial's symbols in order, with where each starts: the first (nothing
  // for a dial without symbols), then each after `previous` (nothing after
  // the last). For reporting progress by the device's position.
  [[nodiscard]] std::optional<SymbolStart> FirstSymbolStart() const;
  [[nodiscard]] std::optional<SymbolStart> SymbolStartAfter(const SymbolStart& previous) const;
  [[nodiscard]] uint64_t SymbolCount() const { return symbols_.size(); }
  // Bytes of the caller's dial text, reported as the offset at the end.
  [[nodiscard]] uint64_t DialLength() const { return symbols_.size(); }

  [[nodiscard]] bool Finished() const { return symbol_index_ >= symbols_.size(); }
  [[nodiscard]] uint32_t SampleRate() const { return sample_rate_; }
  // Of the whole sequence, from its start.
  [[nodiscard]] uint64_t TotalSamples() const {
    return uint64_t{symbols_.size()} * (tone_samples_ + gap_samples_);
  }

 private:
  void StartSymbol();
  void RenderTone(int16_t* out, size_t count);

  std::string symbols_;
  uint32_t sample_rate_;
  size_t tone_samples_;
  size_t gap_samples_;
  std::vector<float> ramp_;  // rising half; the fall reads it backwards
  float low_amplitude_;
  float high_amplitude_;

  size_t symbol_index_ = 0;
  size_t position_ = 0;  // within the current symbol's tone + silence
  SineOscillator low_;
  SineOscillator high_;
};

}  // namespace zelnor
