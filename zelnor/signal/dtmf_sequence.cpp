#include "zelnor/signal/dtmf_sequence.h"

#include <algorithm>
#include <cmath>

#include "zelnor.h"
#include "zelnor/signal/interval.h"
#include "zelnor/signal/keypad.h"
#include "zelnor/zelnor_error.h"

namespace zelnor {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr float kFullScale = 32767.0f;

std::vector<float> MakeRamp(size_t length) {
  std::vector<float> ramp(length);
  for (size_t i = 0; i < length; ++i) {
    ramp[i] = static_cast<float>(0.5 - 0.5 * std::cos(kPi * (i + 0.5) / length));
  }
  return ramp;
}

int16_t ToSample(float value) {
  const float rounded = value >= 0.0f ? value + 0.5f : value - 0.5f;
  return static_cast<int16_t>(std::clamp(rounded, -kFullScale, kFullScale));
}

const SequenceOptions& Checked(const SequenceOptions& options) {
  if (!IsInRange(options)) {
    throw ZelnorError(ZELNOR_E_INVALID_ARGUMENT, "sequence options out of range");
  }
  return options;
}

}  // namespace

bool IsInRange(const SequenceOptions& options) {
  return options.sample_rate >= kMinSampleRate && IsLengthInRange(options.tone_ms) &&
         IsLengthInRange(options.gap_ms) && options.peak_dbfs >= ZELNOR_MIN_LEVEL_DB10 / 10.0 &&
         options.peak_dbfs <= ZELNOR_MAX_LEVEL_DB10 / 10.0;
}

size_t MillisecondsToSamples(double ms, uint32_t sample_rate) {
  return static_cast<size_t>(std::llround(ms * sample_rate / 1000.0));
}

DtmfSequence::DtmfSequence(std::string symbols, const SequenceOptions& options)
    : symbols_(std::move(symbols)),
      sample_rate_(Checked(options).sample_rate),
      tone_samples_(MillisecondsToSamples(options.tone_ms, options.sample_rate)),
      gap_samples_(MillisecondsToSamples(options.gap_ms, options.sample_rate)) {
  ramp_ = MakeRamp(std::min(MillisecondsToSamples(kRampMs, sample_rate_), tone_samples_ / 2));
  const double peak = kFullScale * std::pow(10.0, options.peak_dbfs / 20.0);
  const double high_over_low = std::pow(10.0, kHighOverLowDb / 20.0);
  low_amplitude_ = static_cast<float>(peak / (1.0 + high_over_low));
  high_amplitude_ = static_cast<float>(peak * high_over_low / (1.0 + high_over_low));
  StartSymbol();
}

std::optional<SymbolStart> DtmfSequence::FirstSymbolStart() const {
  if (symbols_.empty()) return std::nullopt;
  return SymbolStart{0, 0, 0, symbols_[0]};
}

std::optional<SymbolStart> DtmfSequence::SymbolStartAfter(const SymbolStart& previous) const {
  const uint64_t index = previous.index + 1;
  if (index >= symbols_.size()) return std::nullopt;
  return SymbolStart{index, index * (tone_samples_ + gap_samples_), index,
                     symbols_[static_cast<size_t>(index)]};
}

void DtmfSequence::StartSymbol() {
  if (Finished()) return;
  const std::optional<TonePair> tones = TonesFor(symbols_[symbol_index_]);
  if (!tones) throw ZelnorError(ZELNOR_E_INVALID_ARGUMENT, "not a DTMF symbol");
  low_ = SineOscillator(tones->low_hz, sample_rate_);
  high_ = SineOscillator(tones->high_hz, sample_rate_);
}

void DtmfSequence::RenderTone(int16_t* out, size_t count) {
  const size_t ramp_length = ramp_.size();
  const size_t fall_start = tone_samples_ - ramp_length;
  for (size_t i = 0; i < count; ++i) {
    const size_t at = position_ + i;
    float envelope = 1.0f;
    if (at < ramp_length) {
      envelope = ramp_[at];
    } else if (at >= fall_start) {
      envelope = ramp_[tone_samples_ - 1 - at];
    }
    const float mixed = low_amplitude_ * low_.Next() + high_amplitude_ * high_.Next();
    out[i] = ToSample(envelope * mixed);
  }
}

size_t DtmfSequence::Generate(int16_t* out, size_t count) {
  const size_t period = tone_samples_ + gap_samples_;
  size_t written = 0;
  while (written < count && !Finished()) {
    const bool in_tone = position_ < tone_samples_;
    const size_t segment_end = in_tone ? tone_samples_ : period;
    const size_t run = std::min(count - written, segment_end - position_);
    if (in_tone) {
      RenderTone(out + written, run);
    } else {
      std::fill_n(out + written, run, int16_t{0});
    }
    written += run;
    position_ += run;
    if (position_ == period) {
      position_ = 0;
      ++symbol_index_;
      StartSymbol();
    }
  }
  return written;
}

}  // namespace zelnor
