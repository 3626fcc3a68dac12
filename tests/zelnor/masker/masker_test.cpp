// The masker on synthesised lines: each tone's frequencies at least 40 dB
// down over the whole tone and over its first and last 10 ms, everything
// outside the spans it reports passed bit for bit, no digit left for our
// most sensitive receiver, and the chunking changing nothing. Then music
// and a voice-like signal without tones, of which almost nothing may go.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "line_signals.h"
#include "signal_analysis.h"
#include "zelnor/masker/dtmf_masker.h"
#include "zelnor/receiver/dtmf_receiver.h"
#include "zelnor/signal/keypad.h"

namespace zelnor_test {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kFullScaleDbm0 = 3.14;

struct Masked {
  std::vector<int16_t> samples;  // lined up with the input
  std::vector<zelnor::MaskedSpan> spans;
};

void KeepSpan(void* context, const zelnor::MaskedSpan& span) {
  static_cast<std::vector<zelnor::MaskedSpan>*>(context)->push_back(span);
}

// `x` masked `chunk` samples at a time, the delay taken off.
template <typename Sample>
std::vector<Sample> MaskSamples(const std::vector<Sample>& x, uint32_t rate, size_t chunk,
                                zelnor::Replacement kind, std::vector<zelnor::MaskedSpan>* spans) {
  zelnor::DtmfMasker masker({rate, kind, KeepSpan, spans});
  std::vector<Sample> out(x.size() + masker.Delay());
  for (size_t at = 0; at < x.size(); at += chunk) {
    masker.Process(x.data() + at, std::min(chunk, x.size() - at), out.data() + at);
  }
  masker.Flush(out.data() + x.size());
  out.erase(out.begin(), out.begin() + static_cast<long>(masker.Delay()));
  return out;
}

Masked Mask(const std::vector<int16_t>& x, uint32_t rate, size_t chunk = 4096,
            zelnor::Replacement kind = zelnor::Replacement::kSilence) {
  Masked masked;
  masked.samples = MaskSamples(x, rate, chunk, kind, &masked.spans);
  return masked;
}

bool Inside(const std::vector<zelnor::MaskedSpan>& spans, size_t n) {
  return std::any_of(spans.begin(), spans.end(), [n](const zelnor::MaskedSpan& span) {
    return n >= span.start_sample && n < span.end_sample;
  });
}

uint64_t Replaced(const std::vector<zelnor::MaskedSpan>& spans) {
  uint64_t total = 0;
  for (const zelnor::MaskedSpan& span : spans) total += span.end_sample - span.start_sample;
  return total;
}

std::string Heard(const std::vector<int16_t>& x, uint32_t rate) {
  std::string heard;
  const auto keep = [](void* context, const zelnor::HeardDigit& digit, bool ended) {
    if (ended) static_cast<std::string*>(context)->push_back(digit.symbol);
  };
  zelnor::DtmfReceiver receiver({rate, zelnor::kReceiverLowestLevelDbm0});
  receiver.Feed(x.data(), x.size(), keep, &heard);
  receiver.Flush(keep, &heard);
  return heard;
}

// A voice-like signal: the harmonics of a pitch gliding about 90-240 Hz,
// shaped by two moving formants, in syllables four times a second; the
// hardest kind of audio for a tone detector, a harmonic passing a keypad
// frequency now and then.
std::vector<int16_t> VoiceLike(size_t count, uint32_t rate, double dbm0, double seed) {
  std::vector<double> x(count);
  double phase = 0;
  double power = 0;
  for (size_t n = 0; n < count; ++n) {
    const double t = static_cast<double>(n) / rate;
    const double f0 =
        150 + 60 * std::sin(2 * kPi * 3.1 * t + seed) + 30 * std::sin(2 * kPi * 0.7 * t);
    phase = std::fmod(phase + 2 * kPi * f0 / rate, 2 * kPi);
    const double f1 = 500 + 200 * std::sin(2 * kPi * 2.3 * t + 2 * seed);
    const double f2 = 1500 + 500 * std::sin(2 * kPi * 1.7 * t + 3 * seed);
    double sample = 0;
    for (int k = 1; k * f0 < 3400; ++k) {
      const double d1 = (k * f0 - f1) / 150;
      const double d2 = (k * f0 - f2) / 200;
      sample += (1 / (1 + d1 * d1) + 0.5 / (1 + d2 * d2)) * std::sin(k * phase);
    }
    x[n] = sample * std::sqrt(std::max(0.0, std::sin(2 * kPi * 4 * t + seed)));
    power += x[n] * x[n];
  }
  const double gain = 32767 * std::pow(10, (dbm0 - kFullScaleDbm0) / 20) * std::sqrt(0.5) /
                      std::sqrt(power / static_cast<double>(count));
  std::vector<int16_t> out(count);
  for (size_t n = 0; n < count; ++n) out[n] = static_cast<int16_t>(std::lround(x[n] * gain));
  return out;
}

// What a line carries besides the tone.
enum class Background { kQuiet, kNoise, kVoice };
const char* const kBackgroundNames[] = {"quiet", "noise", "voice"};

struct Condition {
  double low_dbm0;
  double high_dbm0;
  double tone_ms;
  uint32_t rate;
  Background background;
};

// Noise 20 dB under the tones; a voice 10 dB under them, as speech over a
// key pressed mid-sentence.
constexpr double kVoiceUnderDb = 10;
const Condition kConditions[] = {
    {-5, -5, 100, 8000, Background::kQuiet},    {-5, -5, 40, 48000, Background::kQuiet},
    {-20, -28, 40, 8000, Background::kQuiet},   {-20, -16, 40, 16000, Background::kQuiet},
    {-35, -35, 40, 8000, Background::kQuiet},   {-35, -31, 100, 16000, Background::kQuiet},
    {-35, -35, 20, 48000, Background::kQuiet},  {-20, -20, 12, 8000, Background::kQuiet},
    {-20, -28, 12, 48000, Background::kQuiet},  {-5, -5, 12, 16000, Background::kQuiet},
    {-20, -20, 20, 16000, Background::kNoise},  {-35, -35, 40, 8000, Background::kNoise},
    {-20, -28, 40, 48000, Background::kNoise},  {-20, -16, 12, 8000, Background::kNoise},
    {-35, -35, 100, 16000, Background::kNoise}, {-5, -5, 40, 8000, Background::kVoice},
    {-20, -20, 20, 16000, Background::kVoice},  {-20, -16, 100, 8000, Background::kVoice},
    {-20, -28, 40, 48000, Background::kVoice},  {-35, -35, 40, 8000, Background::kVoice},
    {-20, -20, 12, 8000, Background::kVoice},
};

constexpr char kSymbols[] = "123A456B789C*0#D";

char SymbolOf(const Condition& condition, uint32_t seed) {
  return kSymbols[(seed * 5 + static_cast<uint32_t>(condition.tone_ms)) % 16];
}

LineSignal MakeTrial(const Condition& condition, uint32_t seed) {
  LineTrial trial;
  trial.symbol = SymbolOf(condition, seed);
  trial.low_dbm0 = condition.low_dbm0;
  trial.high_dbm0 = condition.high_dbm0;
  trial.tone_ms = condition.tone_ms;
  if (condition.background == Background::kNoise) trial.snr_db = 20;
  LineSignal line = MakeLine(trial, condition.rate, seed);
  if (condition.background == Background::kVoice) {
    const double voice_dbm0 = 10 * std::log10(std::pow(10, condition.low_dbm0 / 10) +
                                              std::pow(10, condition.high_dbm0 / 10)) -
                              kVoiceUnderDb;
    const std::vector<int16_t> voice =
        VoiceLike(line.samples.size(), condition.rate, voice_dbm0, seed);
    for (size_t n = 0; n < voice.size(); ++n) {
      line.samples[n] = static_cast<int16_t>(std::clamp(line.samples[n] + voice[n], -32768, 32767));
    }
  }
  return line;
}

// The tone's power at `hz` over [first, first + count) in the output against
// the input, in dB.
double DropDb(const std::vector<int16_t>& in, const std::vector<int16_t>& out, size_t first,
              size_t count, double hz, uint32_t rate) {
  const double before = std::abs(ToneAt(in, first, count, hz, rate));
  const double after = std::abs(ToneAt(out, first, count, hz, rate));
  return after == 0 ? -200 : Db(after / before);
}

// The worst and the median of `values`.
std::string Spread(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return std::to_string(values.back()) + " (median " + std::to_string(values[values.size() / 2]) +
         ")";
}

TEST(DtmfMasker, TakesOutEachToneAndLeavesTheRestBitForBit) {
  std::vector<double> widening_ms;  // replaced before and after each tone
  for (const Condition& condition : kConditions) {
    for (uint32_t seed = 0; seed < 4; ++seed) {
      const LineSignal line = MakeTrial(condition, seed);
      const uint32_t rate = condition.rate;
      const Masked masked = Mask(line.samples, rate);
      const std::string where =
          "rate " + std::to_string(rate) + " low " + std::to_string(condition.low_dbm0) + " high " +
          std::to_string(condition.high_dbm0) + " ms " + std::to_string(condition.tone_ms) + " " +
          kBackgroundNames[static_cast<int>(condition.background)] + " seed " +
          std::to_string(seed);
      SCOPED_TRACE(where);
      const size_t start = line.tone_starts[0];
      const size_t end = line.tone_ends[0];
      const size_t edge = std::min(end - start, static_cast<size_t>(rate / 100));
      const zelnor::TonePair tones = *zelnor::TonesFor(SymbolOf(condition, seed));
      for (const double hz :
           {static_cast<double>(tones.low_hz), static_cast<double>(tones.high_hz)}) {
        const double whole = DropDb(line.samples, masked.samples, start, end - start, hz, rate);
        const double first = DropDb(line.samples, masked.samples, start, edge, hz, rate);
        const double last = DropDb(line.samples, masked.samples, end - edge, edge, hz, rate);
        EXPECT_LE(whole, -40) << hz << " Hz";
        EXPECT_LE(first, -40) << hz << " Hz, first 10 ms";
        EXPECT_LE(last, -40) << hz << " Hz, last 10 ms";
      }
      // At most 30 ms either side of the tone is replaced, and nothing else.
      const size_t slack = rate * 30 / 1000;
      EXPECT_LE(Replaced(masked.spans), end - start + 2 * slack);
      ASSERT_FALSE(masked.spans.empty());
      widening_ms.push_back(
          1000.0 *
          (static_cast<double>(start) - static_cast<double>(masked.spans.front().start_sample)) /
          rate);
      widening_ms.push_back(
          1000.0 *
          (static_cast<double>(masked.spans.back().end_sample) - static_cast<double>(end)) / rate);
      for (size_t n = 0; n < line.samples.size(); ++n) {
        if (!Inside(masked.spans, n)) {
          ASSERT_EQ(masked.samples[n], line.samples[n]) << "sample " << n << " outside the spans";
        } else {
          ASSERT_TRUE(n + slack >= start && n < end + slack)
              << "sample " << n << " far from the tone";
        }
      }
      EXPECT_EQ(Heard(masked.samples, rate), "");
      if (seed == 0) {
        for (const size_t chunk : {1, 7, 160}) {
          const Masked chunked = Mask(line.samples, rate, chunk);
          EXPECT_EQ(chunked.samples, masked.samples) << "chunks of " << chunk;
          EXPECT_EQ(Replaced(chunked.spans), Replaced(masked.spans)) << "chunks of " << chunk;
        }
      }
    }
  }
  std::printf("replaced beside each tone, worst: %s ms\n", Spread(widening_ms).c_str());
}

// The library's own tones (40 ms at the shortest), faded in and out over
// 5 ms, some through a telephone band whose filters ring on past each
// tone's end.
TEST(DtmfMasker, TakesOutTheGeneratorsTones) {
  const struct {
    uint32_t rate;
    int32_t level_db10;  // both tones together, dBFS
    int32_t twist_db10;
    int32_t tone_ms;
    bool telephone_band;
  } kDials[] = {
      {8000, -15, 20, 40, false}, {16000, -350, -80, 40, false}, {48000, -200, 40, 100, false},
      {8000, -200, 0, 40, true},  {16000, -15, 20, 100, true},   {8000, -350, 20, 40, true},
  };
  constexpr int32_t kGapMs = 60;
  const std::string symbols = "1A#0*D";
  for (const auto& dial : kDials) {
    SCOPED_TRACE("rate " + std::to_string(dial.rate) + " level " + std::to_string(dial.level_db10) +
                 " ms " + std::to_string(dial.tone_ms) +
                 (dial.telephone_band ? " telephone band" : ""));
    zelnor::SequenceOptions options{dial.tone_ms, kGapMs, dial.rate, dial.level_db10,
                                    dial.twist_db10};
    options.lead_in_ms = kGapMs;
    std::vector<int16_t> x = Render(symbols, options);
    if (dial.telephone_band) x = TelephoneBand(x, dial.rate);
    const Masked masked = Mask(x, dial.rate);
    const size_t tone = zelnor::MillisecondsToSamples(dial.tone_ms, dial.rate);
    const size_t period = zelnor::MillisecondsToSamples(dial.tone_ms + kGapMs, dial.rate);
    const size_t edge = std::min(tone, static_cast<size_t>(dial.rate / 100));
    for (size_t i = 0; i < symbols.size(); ++i) {
      const size_t start = zelnor::MillisecondsToSamples(kGapMs, dial.rate) + i * period;
      const zelnor::TonePair tones = *zelnor::TonesFor(symbols[i]);
      for (const double hz :
           {static_cast<double>(tones.low_hz), static_cast<double>(tones.high_hz)}) {
        EXPECT_LE(DropDb(x, masked.samples, start, tone, hz, dial.rate), -40) << symbols[i];
        EXPECT_LE(DropDb(x, masked.samples, start, edge, hz, dial.rate), -40) << symbols[i];
        EXPECT_LE(DropDb(x, masked.samples, start + tone - edge, edge, hz, dial.rate), -40)
            << symbols[i];
      }
    }
    EXPECT_EQ(masked.spans.size(), symbols.size());
    EXPECT_LE(Replaced(masked.spans),
              symbols.size() * (tone + zelnor::MillisecondsToSamples(60, dial.rate)));
    EXPECT_EQ(Heard(masked.samples, dial.rate), "");
  }
}

TEST(DtmfMasker, FloatsAreMaskedAsTheirSixteenBitEquals) {
  const LineSignal line = MakeTrial({-20, -20, 40, 16000, Background::kNoise}, 1);
  std::vector<float> floats(line.samples.size());
  for (size_t n = 0; n < floats.size(); ++n) floats[n] = line.samples[n] / 32768.0f;
  std::vector<zelnor::MaskedSpan> spans;
  const std::vector<float> masked =
      MaskSamples(floats, 16000, 100, zelnor::Replacement::kSilence, &spans);
  const Masked expected = Mask(line.samples, 16000);
  ASSERT_EQ(masked.size(), expected.samples.size());
  for (size_t n = 0; n < masked.size(); ++n) ASSERT_EQ(masked[n] * 32768, expected.samples[n]);
}

// Comfort noise at the level of the noise around the tone, or the beep at
// its level, and for either no digit left to hear.
TEST(DtmfMasker, ReplacesWithNoiseOrABeep) {
  const struct {
    zelnor::Replacement kind;
    double expected_dbm0;  // of the replacement
  } kKinds[] = {{zelnor::Replacement::kNoise, -20 + 3 - 20}, {zelnor::Replacement::kBeep, -12}};
  for (const auto& kind : kKinds) {
    for (const char symbol : {'1', '#'}) {
      LineTrial trial;
      trial.symbol = symbol;
      trial.low_dbm0 = trial.high_dbm0 = -20;
      trial.tone_ms = 100;
      trial.snr_db = 20;
      const LineSignal line = MakeLine(trial, 8000, 3);
      const Masked masked = Mask(line.samples, 8000, 4096, kind.kind);
      ASSERT_EQ(masked.spans.size(), 1u);
      const zelnor::MaskedSpan span = masked.spans[0];
      double power = 0;
      for (uint64_t n = span.start_sample; n < span.end_sample; ++n) {
        power += static_cast<double>(masked.samples[n]) * masked.samples[n];
      }
      const double rms =
          std::sqrt(power / static_cast<double>(span.end_sample - span.start_sample));
      // A sine's level from its RMS: a full-scale sine's RMS is 32767 / sqrt 2.
      EXPECT_NEAR(Db(rms * std::sqrt(2.0) / 32767) + kFullScaleDbm0, kind.expected_dbm0, 1.5);
      EXPECT_EQ(Heard(masked.samples, 8000), "");
      for (size_t n = 0; n < line.samples.size(); ++n) {
        if (!Inside(masked.spans, n)) {
          ASSERT_EQ(masked.samples[n], line.samples[n]);
        }
      }
    }
  }
}

TEST(DtmfMasker, RefusesRatesOutOfRange) {
  for (const uint32_t rate : {0u, 7999u, 48001u}) {
    EXPECT_THROW(zelnor::DtmfMasker({rate}), std::invalid_argument) << rate;
  }
}

// A mono 16-bit WAV's samples, or nothing if it cannot be read.
std::vector<int16_t> ReadWave(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)),
                                         std::istreambuf_iterator<char>());
  std::vector<int16_t> samples;
  for (size_t at = 12; at + 8 <= bytes.size();) {
    const size_t size = bytes[at + 4] | bytes[at + 5] << 8 | bytes[at + 6] << 16 |
                        static_cast<size_t>(bytes[at + 7]) << 24;
    if (std::equal(bytes.begin() + static_cast<long>(at), bytes.begin() + static_cast<long>(at) + 4,
                   "data")) {
      for (size_t i = at + 8; i + 1 < std::min(bytes.size(), at + 8 + size); i += 2) {
        samples.push_back(static_cast<int16_t>(bytes[i] | bytes[i + 1] << 8));
      }
      break;
    }
    at += 8 + size + (size & 1);
  }
  return samples;
}

// Music (Asterisk's music on hold, 8 kHz, where installed) and the
// voice-like signal at two levels and rates: at most 0.1 % replaced.
TEST(DtmfMasker, LeavesMusicAndVoiceWithoutTones) {
  struct Material {
    std::string name;
    std::vector<int16_t> samples;
    uint32_t rate;
  };
  std::vector<Material> materials = {
      {"voice at -10 dBm0", VoiceLike(8000 * 60, 8000, -10, 0.3), 8000},
      {"voice at -25 dBm0, 16 kHz", VoiceLike(16000 * 30, 16000, -25, 1.7), 16000},
  };
  for (const char* name : {"macroform-cold_day", "macroform-robot_dity", "macroform-the_simplicity",
                           "manolo_camp-morning_coffee", "reno_project-system"}) {
    std::vector<int16_t> samples =
        ReadWave(std::string("/usr/share/asterisk/moh/") + name + ".wav");
    if (!samples.empty()) materials.push_back({name, std::move(samples), 8000});
  }
  for (const Material& material : materials) {
    const Masked masked = Mask(material.samples, material.rate);
    const double share =
        static_cast<double>(Replaced(masked.spans)) / static_cast<double>(material.samples.size());
    std::printf("%s: %.4f %% replaced in %zu spans\n", material.name.c_str(), 100 * share,
                masked.spans.size());
    EXPECT_LE(share, 0.001) << material.name;
  }
}

}  // namespace
}  // namespace zelnor_test
