#pragma once
// The whole audio of a dial as a pull generator: a lead-in, each symbol's
// two tones followed by a gap, the pauses its commas ask for, and a tail,
// rendered on demand in whatever block sizes the caller asks for. It
// touches no audio API, so the Windows player, the renderer, the tests and
// the benchmarks share it.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "zelnor.h"
#include "zelnor/signal/dial_symbols.h"
#include "zelnor/signal/dual_tone.h"

namespace zelnor {

// The generator's settings, in the units and ranges of ZelnorOptions.
struct SequenceOptions {
  int32_t tone_ms;
  int32_t gap_ms;
  uint32_t sample_rate = ZELNOR_DEFAULT_SAMPLE_RATE;  // kMinSampleRate or more
  int32_t level_db10 = ZELNOR_DEFAULT_LEVEL_DB10;     // both tones together
  int32_t twist_db10 = ZELNOR_DEFAULT_TWIST_DB10;     // high group over low
  int32_t pause_ms = ZELNOR_DEFAULT_PAUSE_MS;         // per ',' of the dial
  int32_t lead_in_ms = 0;
  int32_t tail_ms = 0;
};

// Whether the generator takes these settings: each field within its range
// in zelnor.h, and a rate of kMinSampleRate or more.
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
  // Throws ZelnorError for options out of range. A dial without symbols
  // makes no sound at all: no lead-in, pauses or tail either.
  DtmfSequence(DialSymbols dial, const SequenceOptions& options);

  // Writes up to `count` samples and returns how many it wrote; fewer than
  // asked only once the sequence ends, 0 after that.
  size_t Generate(int16_t* out, size_t count);

  // The dial's symbols in order, with where each starts: the first (nothing
  // for a dial without symbols), then each after `previous` (nothing after
  // the last). For reporting progress by the device's position.
  [[nodiscard]] std::optional<SymbolStart> FirstSymbolStart() const;
  [[nodiscard]] std::optional<SymbolStart> SymbolStartAfter(const SymbolStart& previous) const;
  [[nodiscard]] uint64_t SymbolCount() const { return dial_.SymbolCount(); }
  // Bytes of the caller's dial text, reported as the offset at the end.
  [[nodiscard]] uint64_t DialLength() const { return dial_.Length(); }

  [[nodiscard]] bool Finished() const { return stage_ == Stage::kDone; }
  [[nodiscard]] uint32_t SampleRate() const { return sample_rate_; }
  // Of the whole sequence, from its start.
  [[nodiscard]] uint64_t TotalSamples() const;

 private:
  enum class Stage { kSilence, kTone, kDone };
  // The silence before symbol `index` (or, past the last, the end's).
  [[nodiscard]] uint64_t SilenceBefore(size_t index) const;
  void NextStage();
  const SineTable* SineTableFor(uint32_t hz, double amplitude);

  DialSymbols dial_;
  uint32_t sample_rate_;
  size_t tone_samples_;
  size_t gap_samples_;
  uint64_t pause_samples_;
  uint64_t lead_in_samples_;
  uint64_t tail_samples_;
  // Shared, so that a moved or copied sequence's tone still finds them.
  std::shared_ptr<const Fades> fades_;
  // Made as the dial first needs each frequency.
  std::vector<std::shared_ptr<const SineTable>> sine_tables_;
  double low_amplitude_;
  double high_amplitude_;

  Stage stage_ = Stage::kSilence;
  size_t symbol_index_ = 0;  // the symbol sounding, or the next one during a silence
  uint64_t silence_left_ = 0;
  DualTone tone_;
};

}  // namespace zelnor
