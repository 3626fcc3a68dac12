// The receiver's interface: what it accepts, that it hears the generator
// exactly at every rate, that chunking and sample format change nothing,
// how soon it reports, and G.711's round trip.

#include "zelnor/receiver/dtmf_receiver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <tuple>
#include <vector>

#include "line_signals.h"
#include "signal_analysis.h"
#include "zelnor/signal/dtmf_sequence.h"
#include "zelnor/zelnor_error.h"

namespace {

using zelnor::HeardDigit;
using zelnor_test::Hear;
using zelnor_test::Symbols;

const std::string kDial = "123A456B789C*0#D00##";

auto Fields(const HeardDigit& d) { return std::make_tuple(d.symbol, d.start_sample, d.end_sample); }

TEST(Receiver, RefusesRatesAndLevelsOutOfRange) {
  const zelnor::ReceiverSettings kBad[] = {{7999},        {48001},     {0},
                                           {8000, -60.5}, {8000, 0.5}, {8000, std::nan("")}};
  for (const zelnor::ReceiverSettings& settings : kBad) {
    EXPECT_THROW(zelnor::DtmfReceiver{settings}, zelnor::ZelnorError)
        << settings.sample_rate << " Hz, " << settings.minimum_level_dbm0 << " dBm0";
  }
  EXPECT_NO_THROW((zelnor::DtmfReceiver{{8000, -60}}));
  EXPECT_NO_THROW((zelnor::DtmfReceiver{{48000, 0}}));
}

// 40 ms tones and gaps from the generator, at each rate, level and twist:
// every digit heard once, where the generator put it (its 5 ms fades
// blur the edges by a few milliseconds).
TEST(Receiver, HearsTheGeneratorExactlyAtEveryRate) {
  struct Case {
    int32_t level_db10;
    int32_t twist_db10;
  };
  const Case kCases[] = {{-15, 20}, {-15, -80}, {-15, 40}, {-300, 0}, {-340, 20}};
  for (const uint32_t rate : {8000u, 11025u, 16000u, 22050u, 32000u, 44100u, 48000u}) {
    for (const Case& c : kCases) {
      zelnor::SequenceOptions options{40, 40, rate, c.level_db10, c.twist_db10};
      options.lead_in_ms = 30;
      options.tail_ms = 60;
      const std::vector<HeardDigit> heard = Hear(zelnor_test::Render(kDial, options), rate, 160);
      const std::string where = std::to_string(rate) + " Hz, level " +
                                std::to_string(c.level_db10) + ", twist " +
                                std::to_string(c.twist_db10);
      ASSERT_EQ(Symbols(heard), kDial) << where;
      const double tolerance = 0.004 * rate;
      for (size_t i = 0; i < heard.size(); ++i) {
        const double start = (30 + 80.0 * i) * rate / 1000;
        EXPECT_NEAR(static_cast<double>(heard[i].start_sample), start, tolerance) << where;
        EXPECT_NEAR(static_cast<double>(heard[i].end_sample), start + 0.040 * rate, tolerance)
            << where;
      }
    }
  }
}

TEST(Receiver, ChunkSizesChangeNothing) {
  zelnor_test::LineTrial trial;
  trial.snr_db = 12;
  trial.pause_ms = 30;
  for (const char symbol : kDial) {
    trial.symbol = symbol;
    const std::vector<int16_t> x = zelnor_test::MakeLine(trial, 8000, symbol).samples;
    const std::vector<HeardDigit> whole = Hear(x, 8000, x.size());
    ASSERT_EQ(whole.size(), 2u) << symbol;
    for (const size_t chunk : {1, 7, 160, 4096}) {
      const std::vector<HeardDigit> chunked = Hear(x, 8000, chunk);
      ASSERT_EQ(chunked.size(), whole.size()) << chunk;
      for (size_t i = 0; i < whole.size(); ++i) EXPECT_EQ(Fields(chunked[i]), Fields(whole[i]));
    }
  }
}

TEST(Receiver, FloatSamplesHeardAsTheirIntegers) {
  const std::vector<int16_t> x = zelnor_test::Render(kDial, 50, 16000);
  std::vector<float> y(x.begin(), x.end());
  for (float& v : y) v *= 1.0f / 32767;
  std::vector<HeardDigit> heard;
  zelnor::DtmfReceiver receiver({16000});
  const auto keep = [](void* context, const HeardDigit& digit, bool ended) {
    if (ended) static_cast<std::vector<HeardDigit>*>(context)->push_back(digit);
  };
  receiver.Feed(y.data(), y.size(), keep, &heard);
  receiver.Flush(keep, &heard);
  const std::vector<HeardDigit> from_integers = Hear(x, 16000, 4096);
  ASSERT_EQ(heard.size(), from_integers.size());
  for (size_t i = 0; i < heard.size(); ++i) EXPECT_EQ(Fields(heard[i]), Fields(from_integers[i]));
}

// Fed one sample at a time: how much of the tone, and of the silence after
// it, had been fed when each report came.
TEST(Receiver, ReportsWithin45MillisecondsOfToneAndOfSilence) {
  for (const uint32_t rate : {8000u, 44100u}) {
    for (const double tone_ms : {36.0, 40.0, 100.0}) {
      zelnor_test::LineTrial trial;
      trial.tone_ms = tone_ms;
      const zelnor_test::LineSignal line = zelnor_test::MakeLine(trial, rate, 7);
      struct Seen {
        uint64_t fed = 0;
        uint64_t at_start = 0;
        uint64_t at_end = 0;
      } seen;
      zelnor::DtmfReceiver receiver({rate});
      for (const int16_t sample : line.samples) {
        ++seen.fed;
        receiver.Feed(
            &sample, 1,
            [](void* context, const HeardDigit&, bool ended) {
              Seen& s = *static_cast<Seen*>(context);
              (ended ? s.at_end : s.at_start) = s.fed;
            },
            &seen);
      }
      const double ms = 1000.0 / rate;
      EXPECT_LE((seen.at_start - line.tone_starts[0]) * ms, 45) << rate << " Hz, " << tone_ms;
      EXPECT_LE((seen.at_end - line.tone_ends[0]) * ms, 45) << rate << " Hz, " << tone_ms;
      EXPECT_GT(seen.at_start, line.tone_starts[0]);
    }
  }
}

// G.711 as a codec would do it: 8 bits per sample, then back.
int16_t MuLaw(int16_t x) {
  const int sign = x < 0 ? 0x80 : 0;
  int magnitude = std::min(std::abs(static_cast<int>(x)), 32635) + 0x84;
  int exponent = 7;
  for (int mask = 0x4000; (magnitude & mask) == 0 && exponent > 0; mask >>= 1) --exponent;
  const int mantissa = (magnitude >> (exponent + 3)) & 0x0F;
  const int decoded = (((mantissa << 3) + 0x84) << exponent) - 0x84;
  return static_cast<int16_t>(sign ? -decoded : decoded);
}

int16_t ALaw(int16_t x) {
  const int magnitude = std::min(std::abs(static_cast<int>(x)), 32767) >> 3;
  int exponent = 0;
  while (exponent < 7 && magnitude >= (32 << exponent)) ++exponent;
  const int mantissa = exponent == 0 ? magnitude >> 1 : (magnitude >> exponent) & 0x0F;
  const int decoded =
      exponent == 0 ? (mantissa << 4) + 8 : ((mantissa << 4) + 0x108) << (exponent - 1);
  return static_cast<int16_t>(x < 0 ? -decoded : decoded);
}

TEST(Receiver, HearsEveryDigitThroughG711) {
  for (int16_t (*codec)(int16_t) : {MuLaw, ALaw}) {
    for (const int32_t level_db10 : {-15, -250}) {
      zelnor::SequenceOptions options{40, 40, 8000, level_db10};
      options.tail_ms = 60;
      std::vector<int16_t> x = zelnor_test::Render(kDial, options);
      for (int16_t& v : x) v = codec(v);
      EXPECT_EQ(Symbols(Hear(x, 8000, 160)), kDial) << level_db10;
    }
  }
}

}  // namespace
