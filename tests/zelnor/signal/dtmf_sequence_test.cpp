#include "zelnor/signal/dtmf_sequence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>
#include <vector>

#include "signal_analysis.h"
#include "zelnor/signal/symbol_reader.h"

using zelnor_test::Db;
using zelnor_test::Render;
using zelnor_test::ToneAt;

namespace {

constexpr uint32_t kRate = 48000;
constexpr double kLowHz[] = {697, 770, 852, 941};
constexpr double kHighHz[] = {1209, 1336, 1477, 1633};
const char* const kRows[] = {"123A", "456B", "789C", "*0#D"};

struct Expected {
  char symbol;
  double low_hz;
  double high_hz;
};

std::vector<Expected> StandardKeypad() {
  std::vector<Expected> keys;
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column)
      keys.push_back({kRows[row][column], kLowHz[row], kHighHz[column]});
  }
  return keys;
}

// The tone's true frequency from how far its phase moves against the
// nominal one between two windows 8000 samples apart.
double MeasuredHz(const std::vector<int16_t>& x, size_t first, double nominal_hz) {
  constexpr size_t kWindow = 16384, kGap = 8000;
  const double turn = std::arg(ToneAt(x, first + kGap, kWindow, nominal_hz, kRate) /
                               ToneAt(x, first, kWindow, nominal_hz, kRate));
  return nominal_hz + turn / (2 * 3.14159265358979323846) * kRate / kGap;
}

// One second per symbol; the steady part skips the 5 ms fades.
constexpr size_t kSteadyFirst = kRate / 100;
constexpr size_t kSteadyCount = 32768;

TEST(DtmfSequenceSignal, EachSymbolPlaysItsTwoTonesWithTheHighGroupTwoDbUp) {
  double worst_error = 0, worst_twist_error = 0;
  for (const Expected& key : StandardKeypad()) {
    SCOPED_TRACE(key.symbol);
    const std::vector<int16_t> x = Render(std::string(1, key.symbol), 1000, kRate);
    for (double hz : {key.low_hz, key.high_hz}) {
      const double error = std::abs(MeasuredHz(x, kSteadyFirst, hz) / hz - 1);
      EXPECT_LT(error, 0.001) << hz;
      worst_error = std::max(worst_error, error);
    }
    const double twist = Db(std::abs(ToneAt(x, kSteadyFirst, kSteadyCount, key.high_hz, kRate)) /
                            std::abs(ToneAt(x, kSteadyFirst, kSteadyCount, key.low_hz, kRate)));
    EXPECT_NEAR(twist, 2.0, 0.1);
    worst_twist_error = std::max(worst_twist_error, std::abs(twist - 2.0));
  }
  std::printf("worst frequency error %.5f%%, worst twist error %.3f dB\n", worst_error * 100,
              worst_twist_error);
}

TEST(DtmfSequenceSignal, TheHighGroupSitsAtTheRequestedTwist) {
  for (const int32_t twist_db10 : {0, 40, -80}) {
    SCOPED_TRACE(twist_db10);
    zelnor::SequenceOptions options{1000, 40, kRate};
    options.twist_db10 = twist_db10;
    const std::vector<int16_t> x = Render("D", options);
    const double twist = Db(std::abs(ToneAt(x, kSteadyFirst, kSteadyCount, 1633, kRate)) /
                            std::abs(ToneAt(x, kSteadyFirst, kSteadyCount, 941, kRate)));
    EXPECT_NEAR(twist, twist_db10 / 10.0, 0.1);
  }
}

// Harmonics, intermodulation, noise and DC alike stay at the floor a pair
// of perfect sines rounded to 16 bits has.
TEST(DtmfSequenceSignal, EverythingButTheTwoTonesIsAtTheSixteenBitFloor) {
  const struct {
    uint32_t rate;
    size_t window;
    double limit_db;
  } cases[] = {{48000, 8192, -105}, {8000, 1024, -100}};
  for (const auto& c : cases) {
    double worst = -1000;
    for (const Expected& key : StandardKeypad()) {
      SCOPED_TRACE(testing::Message() << key.symbol << " at " << c.rate << " Hz");
      const std::vector<int16_t> x = Render(std::string(1, key.symbol), 1000, c.rate);
      const size_t steady = c.rate / 100;
      const double low_tone = std::abs(ToneAt(x, steady, c.window, key.low_hz, c.rate));
      const double unwanted = zelnor_test::WorstUnwantedDb(x, steady, c.window, c.rate, key.low_hz,
                                                           key.high_hz, low_tone);
      EXPECT_LT(unwanted, c.limit_db);
      worst = std::max(worst, unwanted);
      // The DC of a whole symbol, fades and silence included.
      double sum = 0;
      for (int16_t sample : x) sum += sample;
      EXPECT_LT(Db(std::abs(sum / x.size()) / low_tone), -40);
    }
    std::printf("%u Hz: worst unwanted component %.1f dB below the low tone\n", c.rate, -worst);
  }
}

TEST(DtmfSequenceSignal, PeaksFollowTheRequestedLevelAndStayAtOrBelowMinusOneDbfsByDefault) {
  for (int32_t level : {ZELNOR_DEFAULT_LEVEL_DB10, -200, -600, 0}) {
    SCOPED_TRACE(level);
    const std::vector<int16_t> x = Render("123A456B789C*0#D", {1000, 40, kRate, level});
    int peak = 0;
    for (int16_t s : x) peak = std::max(peak, std::abs(static_cast<int>(s)));
    EXPECT_NEAR(Db(peak / 32767.0), level / 10.0, 0.1);
    if (level == ZELNOR_DEFAULT_LEVEL_DB10) {
      EXPECT_LE(peak, 32767 * std::pow(10.0, -1.0 / 20));
      std::printf("peak %.2f dBFS\n", Db(peak / 32768.0));
    }
  }
}

TEST(DtmfSequenceSignal, TonesFadeInAndOutOverAFewMilliseconds) {
  const std::vector<int16_t> x = Render("1", 100, kRate);
  const size_t tone = kRate / 10;
  const auto rms = [&](size_t first, size_t count) {
    double sum = 0;
    for (size_t i = first; i < first + count; ++i) sum += static_cast<double>(x[i]) * x[i];
    return std::sqrt(sum / count);
  };
  const double full = rms(tone / 2 - 480, 960);
  const size_t ms = kRate / 1000;
  // No click: both ends start from near silence...
  EXPECT_LT(std::abs(x[0]), 0.01 * full);
  EXPECT_LT(std::abs(x[tone - 1]), 0.01 * full);
  // ...the fade is still well short of full level after a millisecond...
  EXPECT_LT(rms(0, ms), 0.3 * full);
  EXPECT_LT(rms(tone - ms, ms), 0.3 * full);
  // ...and is over within ten.
  EXPECT_NEAR(rms(10 * ms, 10 * ms), full, 0.03 * full);
  EXPECT_NEAR(rms(tone - 20 * ms, 10 * ms), full, 0.03 * full);
}

TEST(DtmfSequenceTiming, ToneAndSilenceLastTheirOwnLengths) {
  const std::pair<int32_t, int32_t> lengths[] = {
      {40, 40}, {41, 41}, {150, 150}, {40, 1000}, {300, 45}};
  for (uint32_t rate : {8000u, 16000u, 22050u, 44100u, 48000u}) {
    for (const auto& [tone_ms, gap_ms] : lengths) {
      SCOPED_TRACE(testing::Message() << rate << " Hz, " << tone_ms << " + " << gap_ms << " ms");
      const size_t tone = static_cast<size_t>(std::llround(tone_ms * rate / 1000.0));
      const size_t gap = static_cast<size_t>(std::llround(gap_ms * rate / 1000.0));
      const std::vector<int16_t> x = Render("5#", {tone_ms, gap_ms, rate});
      ASSERT_EQ(x.size(), 2 * (tone + gap));
      const size_t half_ms = rate / 2000;
      const auto loudest = [&](size_t first) {
        return *std::max_element(x.begin() + first, x.begin() + first + half_ms,
                                 [](int16_t a, int16_t b) { return std::abs(a) < std::abs(b); });
      };
      for (size_t start : {size_t{0}, tone + gap}) {
        // Sound reaches into the first and the last half millisecond...
        EXPECT_GT(std::abs(loudest(start)), 10);
        EXPECT_GT(std::abs(loudest(start + tone - half_ms)), 10);
        // ...and not a sample beyond.
        EXPECT_TRUE(std::all_of(x.begin() + start + tone, x.begin() + start + tone + gap,
                                [](int16_t s) { return s == 0; }));
      }
    }
  }
}

// A dial's sound laid out as tones and silences: a tone is the symbol's
// sound alone, a silence that many milliseconds of zeros.
struct Part {
  char symbol;  // '\0' for silence
  int32_t ms;
};

TEST(DtmfSequenceTiming, PausesLeadInAndTailAreExactSilencesAroundUnchangedTones) {
  const auto options = [](uint32_t rate, int32_t pause_ms, int32_t lead_in_ms, int32_t tail_ms) {
    zelnor::SequenceOptions o{100, 60, rate};
    o.pause_ms = pause_ms, o.lead_in_ms = lead_in_ms, o.tail_ms = tail_ms;
    return o;
  };
  const struct {
    std::wstring_view dial;
    zelnor::SequenceOptions options;
    std::vector<Part> parts;
  } cases[] = {
      {L"1,2", options(kRate, 2000, 0, 0), {{'1', 0}, {0, 60 + 2000}, {'2', 0}, {0, 60}}},
      {L"1,,2", options(kRate, 2000, 0, 0), {{'1', 0}, {0, 60 + 4000}, {'2', 0}, {0, 60}}},
      {L"1\uFF0C2", options(kRate, 2000, 0, 0), {{'1', 0}, {0, 60 + 2000}, {'2', 0}, {0, 60}}},
      {L"1,2", options(kRate, 500, 0, 0), {{'1', 0}, {0, 60 + 500}, {'2', 0}, {0, 60}}},
      {L",1", options(kRate, 2000, 0, 0), {{0, 2000}, {'1', 0}, {0, 60}}},
      {L"1,", options(kRate, 2000, 0, 0), {{'1', 0}, {0, 60 + 2000}}},
      {L"12", options(kRate, 2000, 300, 0), {{0, 300}, {'1', 0}, {0, 60}, {'2', 0}, {0, 60}}},
      {L"1", options(kRate, 2000, 0, 250), {{'1', 0}, {0, 60 + 250}}},
      {L",1,", options(8000, 45, 10, 10), {{0, 10 + 45}, {'1', 0}, {0, 60 + 45 + 10}}},
      {L"-,-", options(kRate, 2000, 300, 300), {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::string(c.dial.begin(), c.dial.end()) << " at "
                                    << c.options.sample_rate << " Hz");
    std::vector<int16_t> expected;
    std::vector<uint64_t> tone_starts;
    for (const Part& part : c.parts) {
      if (part.symbol == '\0') {
        expected.resize(expected.size() +
                        zelnor::MillisecondsToSamples(part.ms, c.options.sample_rate));
        continue;
      }
      tone_starts.push_back(expected.size());
      const std::vector<int16_t> alone =
          Render(std::string(1, part.symbol), {100, 40, c.options.sample_rate});
      expected.insert(expected.end(), alone.begin(),
                      alone.begin() + zelnor::MillisecondsToSamples(100, c.options.sample_rate));
    }
    zelnor::DtmfSequence sequence(zelnor::ReadDial(c.dial), c.options);
    EXPECT_EQ(sequence.TotalSamples(), expected.size());
    std::vector<int16_t> x(expected.size() + 1);
    x.resize(sequence.Generate(x.data(), x.size()));
    EXPECT_EQ(x, expected);

    std::vector<uint64_t> reported;
    for (auto start = sequence.FirstSymbolStart(); start;
         start = sequence.SymbolStartAfter(*start)) {
      reported.push_back(start->sample);
    }
    EXPECT_EQ(reported, tone_starts);
  }
}

TEST(DtmfSequenceTiming, SymbolStartsSayWhereEachSymbolStoodInTheDial) {
  zelnor::DtmfSequence sequence(zelnor::ReadDial(L"-03,-1" + std::wstring(30, L' ') + L"#"),
                                {40, 40, 8000});
  std::string symbols;
  std::vector<uint64_t> indices, offsets;
  for (auto start = sequence.FirstSymbolStart(); start; start = sequence.SymbolStartAfter(*start)) {
    symbols.push_back(start->symbol);
    indices.push_back(start->index);
    offsets.push_back(start->dial_offset);
  }
  EXPECT_EQ(symbols, "031#");
  EXPECT_EQ(indices, (std::vector<uint64_t>{0, 1, 2, 3}));
  EXPECT_EQ(offsets, (std::vector<uint64_t>{1, 2, 5, 36}));
  EXPECT_EQ(sequence.SymbolCount(), 4u);
  EXPECT_EQ(sequence.DialLength(), 37u);
}

TEST(DtmfSequenceTiming, BlocksOfAnySizeGiveTheSameSamplesAsOneCall) {
  const std::vector<int16_t> whole = Render("0*9D", 45, kRate);
  zelnor::DtmfSequence sequence(zelnor::ReadDial(L"0*9D"), {45, 45, kRate});
  std::vector<int16_t> pieces;
  const size_t sizes[] = {1, 7, 960, 333, 4321, 2};
  for (size_t i = 0; !sequence.Finished(); ++i) {
    std::vector<int16_t> block(sizes[i % std::size(sizes)]);
    block.resize(sequence.Generate(block.data(), block.size()));
    pieces.insert(pieces.end(), block.begin(), block.end());
  }
  EXPECT_EQ(pieces, whole);
  int16_t after_end[4];
  EXPECT_EQ(sequence.Generate(after_end, 4), 0u);
}

TEST(DtmfSequenceTiming, AnEmptyStringIsFinishedAtOnce) {
  zelnor::DtmfSequence sequence(zelnor::ReadDial(L""), {40, 40, kRate});
  EXPECT_TRUE(sequence.Finished());
  EXPECT_EQ(sequence.TotalSamples(), 0u);
}

}  // namespace
