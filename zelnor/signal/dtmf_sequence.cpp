#include "zelnor/signal/dtmf_sequence.h"

#include <algorithm>
#include <cmath>

#include "zelnor/signal/dtmf_levels.h"
#include "zelnor/signal/interval.h"
#include "zelnor/signal/keypad.h"
#include "zelnor/zelnor_error.h"

namespace zelnor {
namespace {

constexpr double kFullScale = 32767.0;
constexpr double kPhaseSteps = 4294967296.0;  // 2^32: one turn

uint32_t PhaseStep(uint32_t hz, uint32_t sample_rate) {
  return static_cast<uint32_t>(std::llround(hz * kPhaseSteps / sample_rate));
}

double Gain(int32_t db10) { return std::pow(10.0, db10 / 200.0); }

const SequenceOptions& Checked(const SequenceOptions& options) {
  if (!IsInRange(options)) {
    throw ZelnorError(ZELNOR_E_INVALID_ARGUMENT, "sequence options out of range");
  }
  return options;
}

constexpr bool Within(int32_t value, int32_t lowest, int32_t highest) {
  return value >= lowest && value <= highest;
}

}  // namespace

bool IsInRange(const SequenceOptions& options) {
  return options.sample_rate >= kMinSampleRate && IsLengthInRange(options.tone_ms) &&
         IsLengthInRange(options.gap_ms) && IsLengthInRange(options.pause_ms) &&
         Within(options.level_db10, ZELNOR_MIN_LEVEL_DB10, ZELNOR_MAX_LEVEL_DB10) &&
         Within(options.twist_db10, ZELNOR_MIN_TWIST_DB10, ZELNOR_MAX_TWIST_DB10) &&
         Within(options.lead_in_ms, ZELNOR_MIN_SILENCE_MS, ZELNOR_MAX_SILENCE_MS) &&
         Within(options.tail_ms, ZELNOR_MIN_SILENCE_MS, ZELNOR_MAX_SILENCE_MS);
}

size_t MillisecondsToSamples(double ms, uint32_t sample_rate) {
  return static_cast<size_t>(std::llround(ms * sample_rate / 1000.0));
}

DtmfSequence::DtmfSequence(DialSymbols dial, const SequenceOptions& options)
    : dial_(std::move(dial)),
      sample_rate_(Checked(options).sample_rate),
      tone_samples_(MillisecondsToSamples(options.tone_ms, sample_rate_)),
      gap_samples_(MillisecondsToSamples(options.gap_ms, sample_rate_)),
      pause_samples_(MillisecondsToSamples(options.pause_ms, sample_rate_)),
      lead_in_samples_(MillisecondsToSamples(options.lead_in_ms, sample_rate_)),
      tail_samples_(MillisecondsToSamples(options.tail_ms, sample_rate_)),
      fades_(std::make_shared<const Fades>(
          std::min(MillisecondsToSamples(kRampMs, sample_rate_), tone_samples_ / 2),
          tone_samples_)) {
  const double peak = kFullScale * Gain(options.level_db10);
  const double high_over_low = Gain(options.twist_db10);
  low_amplitude_ = peak / (1.0 + high_over_low);
  high_amplitude_ = peak * high_over_low / (1.0 + high_over_low);
  if (dial_.SymbolCount() == 0) {
    stage_ = Stage::kDone;
  } else {
    silence_left_ = SilenceBefore(0);
  }
}

uint64_t DtmfSequence::SilenceBefore(size_t index) const {
  const uint64_t before = index == 0 ? lead_in_samples_ : gap_samples_;
  const uint64_t after = index == dial_.SymbolCount() ? tail_samples_ : 0;
  return before + dial_.PausesBefore(index) * pause_samples_ + after;
}

uint64_t DtmfSequence::TotalSamples() const {
  if (dial_.SymbolCount() == 0) return 0;
  return lead_in_samples_ + uint64_t{dial_.SymbolCount()} * (tone_samples_ + gap_samples_) +
         dial_.PauseCount() * pause_samples_ + tail_samples_;
}

std::optional<SymbolStart> DtmfSequence::FirstSymbolStart() const {
  if (dial_.SymbolCount() == 0) return std::nullopt;
  return SymbolStart{0, SilenceBefore(0), dial_.OffsetAfter(0, 0), dial_.Symbol(0)};
}

std::optional<SymbolStart> DtmfSequence::SymbolStartAfter(const SymbolStart& previous) const {
  const uint64_t index = previous.index + 1;
  if (index >= dial_.SymbolCount()) return std::nullopt;
  const auto at = static_cast<size_t>(index);
  return SymbolStart{index, previous.sample + tone_samples_ + SilenceBefore(at),
                     dial_.OffsetAfter(at, previous.dial_offset), dial_.Symbol(at)};
}

void DtmfSequence::NextStage() {
  if (stage_ == Stage::kTone) {
    ++symbol_index_;
    stage_ = Stage::kSilence;
    silence_left_ = SilenceBefore(symbol_index_);
  } else if (symbol_index_ == dial_.SymbolCount()) {
    stage_ = Stage::kDone;
  } else {
    const TonePair tones = *TonesFor(dial_.Symbol(symbol_index_));
    tone_ = DualTone(SineTableFor(tones.low_hz, low_amplitude_),
                     SineTableFor(tones.high_hz, high_amplitude_), fades_.get());
    stage_ = Stage::kTone;
  }
}

const SineTable* DtmfSequence::SineTableFor(uint32_t hz, double amplitude) {
  const uint32_t step = PhaseStep(hz, sample_rate_);
  for (const auto& table : sine_tables_) {
    if (table->step == step && table->amplitude == amplitude) return table.get();
  }
  return sine_tables_.emplace_back(std::make_shared<const SineTable>(step, amplitude)).get();
}

size_t DtmfSequence::Generate(int16_t* out, size_t count) {
  size_t written = 0;
  while (written < count && !Finished()) {
    const size_t room = count - written;
    if (stage_ == Stage::kSilence && silence_left_ > 0) {
      const auto run = static_cast<size_t>(std::min<uint64_t>(room, silence_left_));
      std::fill_n(out + written, run, int16_t{0});
      silence_left_ -= run;
      written += run;
    } else if (stage_ == Stage::kTone && tone_.Remaining() > 0) {
      const size_t run = std::min(room, tone_.Remaining());
      tone_.Render(out + written, run);
      written += run;
    } else {
      NextStage();
    }
  }
  return written;
}

}  // namespace zelnor
