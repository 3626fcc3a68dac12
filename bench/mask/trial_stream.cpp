#include "trial_stream.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "voice_like.h"
#include "zelnor/recording/sample_formats.h"
#include "zelnor/signal/dtmf_levels.h"
#include "zelnor/signal/keypad.h"
#include "zelnor/wave_format.h"

namespace zelnor_bench {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kSlotMs = 400;
constexpr double kToneAtMs = 150;

double PowerOf(double dbm0) {
  const double a = 32767 * zelnor::Dbm0Amplitude(dbm0);
  return a * a / 2;
}

// The mean square of the speech where it speaks: 20 ms frames within
// 30 dB of the loudest.
double SpeakingPower(const std::vector<int16_t>& x, uint32_t rate) {
  const size_t frame = rate / 50;
  std::vector<double> powers;
  for (size_t at = 0; at + frame <= x.size(); at += frame) {
    double sum = 0;
    for (size_t n = at; n < at + frame; ++n) sum += static_cast<double>(x[n]) * x[n];
    powers.push_back(sum / static_cast<double>(frame));
  }
  const double loudest = powers.empty() ? 0 : *std::max_element(powers.begin(), powers.end());
  double sum = 0;
  size_t count = 0;
  for (const double p : powers) {
    if (p >= loudest * 1e-3) sum += p, ++count;
  }
  return count == 0 ? 1 : sum / static_cast<double>(count);
}

void RoundTrip(std::vector<double>& x, const std::string& codec) {
  if (codec.empty()) return;
  const zelnor::SampleFormat* format =
      zelnor::FindSampleFormat(codec == "ulaw" ? kWaveFormatMuLaw : kWaveFormatALaw, 1);
  for (double& v : x) {
    std::uint8_t byte = 0;
    format->encode(v / 32768, &byte);
    v = std::round(format->decode(&byte) * 32768);
  }
}

}  // namespace

TrialStream MakeTrialStream(const TrialPlan& plan) {
  const uint32_t rate = plan.rate;
  const size_t slot = static_cast<size_t>(kSlotMs * rate / 1000);
  std::mt19937 random(plan.seed);
  std::uniform_real_distribution<double> unit(0, 1);
  TrialStream stream;
  std::vector<double> x(slot * static_cast<size_t>(plan.trials) + slot / 2, 0.0);
  const double speaking = plan.speech.empty() ? 1 : SpeakingPower(plan.speech, rate);
  size_t speech_at = 0;
  for (int i = 0; i < plan.trials; ++i) {
    const zelnor::KeypadKey& key = zelnor::kKeypad[static_cast<size_t>(i) % zelnor::kSymbolCount];
    // The corners of the level and twist ranges come up often.
    const double level_draw = unit(random);
    const double low = level_draw < 0.25  ? -35
                       : level_draw < 0.5 ? -5
                                          : -35 + 30 * (level_draw - 0.5) / 0.5;
    const double twist_draw = unit(random);
    const double twist = twist_draw < 0.25  ? -8
                         : twist_draw < 0.5 ? 4
                                            : -8 + 12 * (twist_draw - 0.5) / 0.5;
    const double high = low + twist;
    const double ms = plan.shortest_ms + (plan.longest_ms - plan.shortest_ms) * unit(random);
    const size_t first = slot * static_cast<size_t>(i);
    const size_t start = first + static_cast<size_t>((kToneAtMs + 4 * unit(random)) * rate / 1000);
    const size_t end = start + static_cast<size_t>(std::lround(ms * rate / 1000));
    stream.tones.push_back({key.symbol, low, high, start, end});
    const double low_a = 32767 * zelnor::Dbm0Amplitude(low);
    const double high_a = 32767 * zelnor::Dbm0Amplitude(high);
    const double low_phase = 2 * kPi * unit(random);
    const double high_phase = 2 * kPi * unit(random);
    for (size_t n = start; n < end; ++n) {
      const double t = static_cast<double>(n - start) / rate;
      x[n] = low_a * std::sin(2 * kPi * key.low_hz * t + low_phase) +
             high_a * std::sin(2 * kPi * key.high_hz * t + high_phase);
    }
    const double under = (PowerOf(low) + PowerOf(high)) * std::pow(10, -plan.under_db / 10);
    switch (plan.background) {
      case Background::kQuiet:
        break;
      case Background::kNoise: {
        std::normal_distribution<double> noise(0, std::sqrt(under));
        for (size_t n = first; n < first + slot; ++n) x[n] += noise(random);
        break;
      }
      case Background::kVoice: {
        const double dbm0 = 10 * std::log10(under / PowerOf(0));
        const std::vector<int16_t> voice =
            zelnor_test::VoiceLike(slot, rate, dbm0, 0.37 * i + plan.seed);
        for (size_t n = 0; n < slot; ++n) x[first + n] += voice[n];
        break;
      }
      case Background::kSpeech: {
        const double gain = std::sqrt(under / speaking);
        for (size_t n = first; n < first + slot; ++n) {
          x[n] += gain * plan.speech[speech_at];
          speech_at = (speech_at + 1) % plan.speech.size();
        }
        break;
      }
    }
  }
  RoundTrip(x, plan.codec);
  stream.samples.resize(x.size());
  for (size_t n = 0; n < x.size(); ++n) {
    stream.samples[n] = static_cast<int16_t>(std::lround(std::clamp(x[n], -32768.0, 32767.0)));
  }
  return stream;
}

}  // namespace zelnor_bench
