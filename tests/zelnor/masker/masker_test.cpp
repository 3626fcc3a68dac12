// The masker on synthesised lines, under a recorded voice and through
// G.711: each tone's frequencies at least 40 dB down over the whole tone
// and over its first and last 10 ms, nothing replaced beyond 30 ms of a
// tone and the rest passed bit for bit, no digit left for our most
// sensitive receiver, the chunking changing nothing; and music and a
// voice-like signal without tones left almost whole.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "line_signals.h"
#include "signal_analysis.h"
#include "voice_like.h"
#include "zelnor/masker/dtmf_masker.h"
#include "zelnor/recording/sample_formats.h"
#include "zelnor/signal/dtmf_levels.h"
#include "zelnor/signal/keypad.h"
#include "zelnor/wave_format.h"
#include "zelnor/zelnor_error.h"

namespace zelnor_test {
namespace {

using zelnor::Replacement;

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
                                Replacement kind, std::vector<zelnor::MaskedSpan>* spans) {
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
            Replacement kind = Replacement::kSilence) {
  Masked masked;
  masked.samples = MaskSamples(x, rate, chunk, kind, &masked.spans);
  return masked;
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

// The power at `hz` over [first, first + count) in the output against the input, in dB.
double DropDb(const std::vector<int16_t>& in, const std::vector<int16_t>& out, size_t first,
              size_t count, double hz, uint32_t rate) {
  const double after = std::abs(ToneAt(out, first, count, hz, rate));
  return after == 0 ? -200 : Db(after / std::abs(ToneAt(in, first, count, hz, rate)));
}

void ExpectUntouchedOutsideSpans(const std::vector<int16_t>& x, const Masked& masked) {
  for (size_t n = 0, span = 0; n < x.size(); ++n) {
    while (span < masked.spans.size() && n >= masked.spans[span].end_sample) ++span;
    if (span == masked.spans.size() || n < masked.spans[span].start_sample) {
      ASSERT_EQ(masked.samples[n], x[n]) << "sample " << n << " outside the spans";
    }
  }
}

struct Tone {
  size_t start;
  size_t end;
  char symbol;
};

// Each tone of `x` gone from `masked`, and nothing else touched.
void ExpectTonesGone(const std::vector<int16_t>& x, const Masked& masked, uint32_t rate,
                     const std::vector<Tone>& tones) {
  const size_t slack = rate * 30 / 1000;
  for (const Tone& tone : tones) {
    const size_t edge = std::min(tone.end - tone.start, static_cast<size_t>(rate / 100));
    const zelnor::TonePair pair = *zelnor::TonesFor(tone.symbol);
    for (const double hz : {static_cast<double>(pair.low_hz), static_cast<double>(pair.high_hz)}) {
      EXPECT_LE(DropDb(x, masked.samples, tone.start, tone.end - tone.start, hz, rate), -40)
          << tone.symbol << " at " << hz << " Hz";
      EXPECT_LE(DropDb(x, masked.samples, tone.start, edge, hz, rate), -40)
          << tone.symbol << " at " << hz << " Hz, first 10 ms";
      EXPECT_LE(DropDb(x, masked.samples, tone.end - edge, edge, hz, rate), -40)
          << tone.symbol << " at " << hz << " Hz, last 10 ms";
    }
  }
  for (const zelnor::MaskedSpan& span : masked.spans) {
    EXPECT_TRUE(std::any_of(tones.begin(), tones.end(),
                            [&](const Tone& tone) {
                              return span.start_sample + slack >= tone.start &&
                                     span.end_sample <= tone.end + slack;
                            }))
        << "replaced " << span.start_sample << " to " << span.end_sample << ", far from a tone";
  }
  ExpectUntouchedOutsideSpans(x, masked);
  EXPECT_EQ(Heard(masked.samples, rate), "");
}

// A mono 16-bit WAV's samples, or none.
std::vector<int16_t> ReadWave(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  const std::vector<unsigned char> b((std::istreambuf_iterator<char>(file)), {});
  for (size_t at = 12; at + 8 <= b.size();) {
    const size_t size = b[at + 4] | b[at + 5] << 8 | b[at + 6] << 16 | size_t{b[at + 7]} << 24;
    if (std::string(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at) + 4) ==
        "data") {
      std::vector<int16_t> samples;
      for (size_t i = at + 8; i + 1 < std::min(b.size(), at + 8 + size); i += 2) {
        samples.push_back(static_cast<int16_t>(b[i] | b[i + 1] << 8));
      }
      return samples;
    }
    at += 8 + size + (size & 1);
  }
  return {};
}

// Asterisk's recorded English voice (8 kHz, where installed): a few
// prompts one after another.
const std::vector<int16_t>& RecordedVoice() {
  static const std::vector<int16_t> voice = [] {
    std::vector<int16_t> all;
    for (const char* name : {"telephone-number", "to-call-this-number", "dir-pls-enter"}) {
      const std::vector<int16_t> prompt =
          ReadWave(std::string("/usr/share/asterisk/sounds/en_US_f_Allison/") + name + ".wav");
      all.insert(all.end(), prompt.begin(), prompt.end());
    }
    return all;
  }();
  return voice;
}

// What a line carries besides the tone: noise 20 dB under the tones, or a
// voice 10 dB under them, synthesised or recorded, as speech over a key
// pressed mid-sentence.
enum class Background { kQuiet, kNoise, kVoice, kRecordedVoice };
const char* const kBackgroundNames[] = {"quiet", "noise", "voice", "recorded voice"};

// A G.711 round trip of the whole line, or none.
enum class Codec { kNone, kMuLaw, kALaw };

struct Condition {
  double low_dbm0;
  double high_dbm0;
  double tone_ms;
  uint32_t rate;
  Background background;
  Codec codec = Codec::kNone;
};

// `voice` from sample `from` (round the end), added with the power of a sine
// at `dbm0` over the line's length.
void AddVoice(const std::vector<int16_t>& voice, size_t from, double dbm0,
              std::vector<int16_t>& line) {
  double power = 0;
  for (size_t n = 0; n < line.size(); ++n) {
    const double v = voice[(from + n) % voice.size()];
    power += v * v;
  }
  const double gain = 32767 * std::pow(10, (dbm0 - kFullScaleDbm0) / 20) *
                      std::sqrt(0.5 * static_cast<double>(line.size()) / std::max(power, 1.0));
  for (size_t n = 0; n < line.size(); ++n) {
    const double v = gain * voice[(from + n) % voice.size()];
    line[n] = static_cast<int16_t>(std::clamp(std::lround(line[n] + v), -32768L, 32767L));
  }
}

void RoundTrip(Codec codec, std::vector<int16_t>& line) {
  if (codec == Codec::kNone) return;
  const zelnor::SampleFormat* format =
      zelnor::FindSampleFormat(codec == Codec::kMuLaw ? kWaveFormatMuLaw : kWaveFormatALaw, 1);
  for (int16_t& x : line) {
    uint8_t byte = 0;
    format->encode(x / 32768.0, &byte);
    x = static_cast<int16_t>(std::lround(format->decode(&byte) * 32768));
  }
}

const Condition kConditions[] = {
    {-5, -5, 100, 8000, Background::kQuiet},
    {-5, -5, 40, 48000, Background::kQuiet},
    {-20, -28, 40, 8000, Background::kQuiet},
    {-20, -16, 40, 16000, Background::kQuiet},
    {-35, -35, 40, 8000, Background::kQuiet},
    {-35, -31, 100, 16000, Background::kQuiet},
    {-35, -43, 40, 8000, Background::kQuiet},
    {-35, -35, 20, 48000, Background::kQuiet},
    {-20, -20, 12, 8000, Background::kQuiet},
    {-20, -28, 12, 48000, Background::kQuiet},
    {-35, -43, 12, 16000, Background::kQuiet},
    {-20, -20, 20, 16000, Background::kNoise},
    {-35, -35, 40, 8000, Background::kNoise},
    {-20, -28, 40, 48000, Background::kNoise},
    {-20, -16, 12, 8000, Background::kNoise},
    {-35, -31, 12, 8000, Background::kNoise},
    {-35, -43, 100, 16000, Background::kNoise},
    {-5, -5, 40, 8000, Background::kVoice},
    {-20, -20, 20, 16000, Background::kVoice},
    {-20, -16, 100, 8000, Background::kVoice},
    {-20, -28, 40, 48000, Background::kVoice},
    {-35, -35, 40, 8000, Background::kVoice},
    {-20, -20, 12, 8000, Background::kVoice},
    {-5, -13, 12, 16000, Background::kVoice},
    {-20, -16, 40, 8000, Background::kRecordedVoice},
    {-35, -35, 100, 8000, Background::kRecordedVoice},
    {-5, -13, 20, 8000, Background::kRecordedVoice},
    {-20, -20, 12, 8000, Background::kRecordedVoice},
    {-35, -43, 40, 8000, Background::kQuiet, Codec::kMuLaw},
    {-20, -20, 12, 8000, Background::kNoise, Codec::kALaw},
    {-20, -16, 40, 8000, Background::kRecordedVoice, Codec::kMuLaw},
};

TEST(DtmfMasker, TakesOutEachToneAndLeavesTheRestBitForBit) {
  constexpr char kSymbols[] = "123A456B789C*0#D";
  for (const Condition& condition : kConditions) {
    for (uint32_t seed = 0; seed < 4; ++seed) {
      const uint32_t rate = condition.rate;
      LineTrial trial;
      trial.symbol = kSymbols[(seed * 5 + static_cast<uint32_t>(condition.tone_ms)) % 16];
      trial.low_dbm0 = condition.low_dbm0;
      trial.high_dbm0 = condition.high_dbm0;
      trial.tone_ms = condition.tone_ms;
      if (condition.background == Background::kNoise) trial.snr_db = 20;
      LineSignal line = MakeLine(trial, rate, seed);
      const double pair_dbm0 = 10 * std::log10(std::pow(10, condition.low_dbm0 / 10) +
                                               std::pow(10, condition.high_dbm0 / 10));
      if (condition.background == Background::kVoice) {
        const std::vector<int16_t> voice =
            VoiceLike(line.samples.size(), rate, pair_dbm0 - 10, seed);
        for (size_t n = 0; n < voice.size(); ++n) {
          line.samples[n] =
              static_cast<int16_t>(std::clamp(line.samples[n] + voice[n], -32768, 32767));
        }
      }
      if (condition.background == Background::kRecordedVoice) {
        if (RecordedVoice().empty()) continue;
        AddVoice(RecordedVoice(), 2500 * seed, pair_dbm0 - 10, line.samples);
      }
      RoundTrip(condition.codec, line.samples);
      SCOPED_TRACE(
          std::to_string(rate) + " Hz, " + std::to_string(condition.low_dbm0) + " and " +
          std::to_string(condition.high_dbm0) + " dBm0, " + std::to_string(condition.tone_ms) +
          " ms, " + kBackgroundNames[static_cast<int>(condition.background)] +
          (condition.codec == Codec::kNone ? "" : ", G.711") + ", seed " + std::to_string(seed));
      const Masked masked = Mask(line.samples, rate);
      if (masked.spans.size() != 1) {
        ADD_FAILURE() << masked.spans.size() << " spans";
        continue;
      }
      ExpectTonesGone(line.samples, masked, rate,
                      {{static_cast<size_t>(line.tone_starts[0]),
                        static_cast<size_t>(line.tone_ends[0]), trial.symbol}});
      if (seed == 0) {
        for (const size_t chunk : {1, 7, 160}) {
          const Masked chunked = Mask(line.samples, rate, chunk);
          EXPECT_EQ(chunked.samples, masked.samples) << "chunks of " << chunk;
          EXPECT_EQ(Replaced(chunked.spans), Replaced(masked.spans)) << "chunks of " << chunk;
        }
      }
    }
  }
}

// Tones whose weaker frequency a voice's partials crowd, bending its phase
// and beating its power away block by block: found by the stronger one and
// taken out whole. Each is a trial of bench/mask/mask_trials under its
// voice-like signal, 10 dB under the pair.
TEST(DtmfMasker, TakesOutTonesWhoseWeakerFrequencyAVoiceCrowds) {
  constexpr uint32_t kRate = 8000;
  constexpr double kPi = 3.14159265358979323846;
  const struct {
    char symbol;
    double low_dbm0;
    double high_dbm0;
    size_t start;  // in a 400 ms line
    size_t length;
    double low_phase;
    double high_phase;
    double voice_seed;
  } kTrials[] = {
      {'C', -21.7, -17.7, 1206, 502, 4.53, 5.32, 40.59},
      {'3', -22.3, -29.5, 1213, 648, 4.86, 0.66, 84.62},
      {'3', -31.5, -27.5, 1220, 628, 1.21, 1.93, 191.18},
      {'B', -35, -31, 1210, 499, 5.54, 3.15, 222.63},
  };
  for (const auto& t : kTrials) {
    SCOPED_TRACE(std::string(1, t.symbol) + " at " + std::to_string(t.low_dbm0) + " and " +
                 std::to_string(t.high_dbm0) + " dBm0");
    const double pair_dbm0 =
        10 * std::log10(std::pow(10, t.low_dbm0 / 10) + std::pow(10, t.high_dbm0 / 10));
    const std::vector<int16_t> voice =
        VoiceLike(kRate * 2 / 5, kRate, pair_dbm0 - 10, t.voice_seed);
    const zelnor::TonePair pair = *zelnor::TonesFor(t.symbol);
    const double low_amplitude = 32767 * zelnor::Dbm0Amplitude(t.low_dbm0);
    const double high_amplitude = 32767 * zelnor::Dbm0Amplitude(t.high_dbm0);
    std::vector<int16_t> line(voice);
    for (size_t n = t.start; n < t.start + t.length; ++n) {
      const double seconds = static_cast<double>(n - t.start) / kRate;
      const double tone =
          low_amplitude * std::sin(2 * kPi * pair.low_hz * seconds + t.low_phase) +
          high_amplitude * std::sin(2 * kPi * pair.high_hz * seconds + t.high_phase);
      line[n] = static_cast<int16_t>(std::clamp(std::lround(voice[n] + tone), -32768L, 32767L));
    }
    ExpectTonesGone(line, Mask(line, kRate), kRate, {{t.start, t.start + t.length, t.symbol}});
  }
}

// The library's own tones (40 ms at the shortest), faded in and out over
// 5 ms, some through a telephone band whose filters ring on past each end.
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
    SCOPED_TRACE(std::to_string(dial.rate) + " Hz, " + std::to_string(dial.level_db10) +
                 " dB/10, " + std::to_string(dial.tone_ms) + " ms" +
                 (dial.telephone_band ? ", telephone band" : ""));
    zelnor::SequenceOptions options{dial.tone_ms, kGapMs, dial.rate, dial.level_db10,
                                    dial.twist_db10};
    options.lead_in_ms = kGapMs;
    std::vector<int16_t> x = Render(symbols, options);
    if (dial.telephone_band) x = TelephoneBand(x, dial.rate);
    std::vector<Tone> tones;
    for (size_t i = 0; i < symbols.size(); ++i) {
      const size_t start = zelnor::MillisecondsToSamples(
          kGapMs + static_cast<double>(i * (dial.tone_ms + kGapMs)), dial.rate);
      tones.push_back(
          {start, start + zelnor::MillisecondsToSamples(dial.tone_ms, dial.rate), symbols[i]});
    }
    const Masked masked = Mask(x, dial.rate);
    EXPECT_EQ(masked.spans.size(), symbols.size());
    ExpectTonesGone(x, masked, dial.rate, tones);
  }
}

// Comfort noise at the level of the noise around the tone, or the beep at
// -12 dBm0, the same for every key; either leaves no digit to hear.
TEST(DtmfMasker, ReplacesWithNoiseOrABeep) {
  const struct {
    Replacement kind;
    double dbm0;  // the replacement's level
  } kKinds[] = {{Replacement::kNoise, -20 + 3 - 20}, {Replacement::kBeep, -12}};
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
      ExpectUntouchedOutsideSpans(line.samples, masked);
      double power = 0;
      const zelnor::MaskedSpan span = masked.spans[0];
      for (uint64_t n = span.start_sample; n < span.end_sample; ++n) {
        power += static_cast<double>(masked.samples[n]) * masked.samples[n];
      }
      power /= static_cast<double>(span.end_sample - span.start_sample);
      EXPECT_NEAR(Db(std::sqrt(2 * power) / 32767) + kFullScaleDbm0, kind.dbm0, 1.5) << symbol;
      EXPECT_EQ(Heard(masked.samples, 8000), "");
    }
  }
}

TEST(DtmfMasker, MasksFloatsAsTheirSixteenBitEquals) {
  LineTrial trial;
  trial.snr_db = 20;
  const LineSignal line = MakeLine(trial, 16000, 1);
  std::vector<float> floats(line.samples.size());
  for (size_t n = 0; n < floats.size(); ++n) floats[n] = line.samples[n] / 32768.0f;
  std::vector<zelnor::MaskedSpan> spans;
  const std::vector<float> masked = MaskSamples(floats, 16000, 100, Replacement::kSilence, &spans);
  const std::vector<int16_t> expected = Mask(line.samples, 16000).samples;
  for (size_t n = 0; n < masked.size(); ++n) ASSERT_EQ(masked[n] * 32768, expected[n]) << n;
  EXPECT_EQ(spans.size(), 1u);
}

TEST(DtmfMasker, RefusesRatesOutOfRange) {
  for (const uint32_t rate : {0u, 7999u, 48001u}) {
    EXPECT_THROW(zelnor::DtmfMasker({rate}), zelnor::ZelnorError) << rate;
  }
}

// Asterisk's music on hold (8 kHz, where installed) and the voice-like
// signal: at most 0.1 % replaced.
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
    EXPECT_LE(share, 0.001) << material.name;
    RecordProperty(material.name, std::to_string(100 * share) + " % replaced");
  }
}

}  // namespace
}  // namespace zelnor_test
