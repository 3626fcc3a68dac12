// The receiver against the standards' conditions for DTMF receivers, and
// our aims beyond them: each condition just inside and just outside its
// limit, for every symbol, at several block alignments and phases.

#include <gtest/gtest.h>

#include <string>

#include "line_signals.h"

namespace {

using zelnor_test::LineTrial;

struct Condition {
  const char* name;
  LineTrial trial;
  int fewest;  // digits heard
  int most;
};

LineTrial With(void (*change)(LineTrial&)) {
  LineTrial trial;
  change(trial);
  return trial;
}

const Condition kConditions[] = {
    {"low tone 1.8 % high", With([](LineTrial& t) { t.low_shift = 0.018; }), 1, 1},
    {"low tone 1.8 % low", With([](LineTrial& t) { t.low_shift = -0.018; }), 1, 1},
    {"high tone 1.8 % high", With([](LineTrial& t) { t.high_shift = 0.018; }), 1, 1},
    {"high tone 1.8 % low", With([](LineTrial& t) { t.high_shift = -0.018; }), 1, 1},
    {"both tones 1.8 % apart",
     With([](LineTrial& t) { t.low_shift = -0.018, t.high_shift = 0.018; }), 1, 1},
    {"low tone 3 % high", With([](LineTrial& t) { t.low_shift = 0.03; }), 0, 0},
    {"low tone 3 % low", With([](LineTrial& t) { t.low_shift = -0.03; }), 0, 0},
    {"high tone 3 % high", With([](LineTrial& t) { t.high_shift = 0.03; }), 0, 0},
    {"high tone 3 % low", With([](LineTrial& t) { t.high_shift = -0.03; }), 0, 0},
    {"high tone 3.5 % low", With([](LineTrial& t) { t.high_shift = -0.035; }), 0, 0},
    {"low tone 3.5 % high", With([](LineTrial& t) { t.low_shift = 0.035; }), 0, 0},
    {"twist 8 dB normal", With([](LineTrial& t) { t.low_dbm0 = -6, t.high_dbm0 = -14; }), 1, 1},
    {"twist 4 dB reverse", With([](LineTrial& t) { t.low_dbm0 = -14, t.high_dbm0 = -10; }), 1, 1},
    {"level 0 dBm0", With([](LineTrial& t) { t.low_dbm0 = t.high_dbm0 = 0; }), 1, 1},
    {"level -25 dBm0", With([](LineTrial& t) { t.low_dbm0 = t.high_dbm0 = -25; }), 1, 1},
    {"level -39 dBm0", With([](LineTrial& t) { t.low_dbm0 = t.high_dbm0 = -39; }), 1, 1},
    {"level -48 dBm0", With([](LineTrial& t) { t.low_dbm0 = t.high_dbm0 = -48; }), 0, 0},
    {"level -55 dBm0", With([](LineTrial& t) { t.low_dbm0 = t.high_dbm0 = -55; }), 0, 0},
    {"tone 40 ms", With([](LineTrial& t) { t.tone_ms = 40; }), 1, 1},
    {"tone 36 ms", With([](LineTrial& t) { t.tone_ms = 36; }), 1, 1},
    {"tone 23 ms", With([](LineTrial& t) { t.tone_ms = 23; }), 0, 0},
    {"break 10 ms", With([](LineTrial& t) { t.tone_ms = 100, t.break_ms = 10; }), 1, 1},
    {"break 15 ms", With([](LineTrial& t) { t.tone_ms = 100, t.break_ms = 15; }), 1, 1},
    {"pause 40 ms", With([](LineTrial& t) { t.tone_ms = 50, t.pause_ms = 40; }), 2, 2},
    {"pause 25 ms", With([](LineTrial& t) { t.tone_ms = 50, t.pause_ms = 25; }), 2, 2},
    {"noise 15 dB S/N", With([](LineTrial& t) { t.snr_db = 15; }), 1, 1},
    {"noise 6 dB S/N", With([](LineTrial& t) { t.snr_db = 6; }), 1, 1},
    {"noise alone", With([](LineTrial& t) { t.tone_ms = 0, t.snr_db = -10; }), 0, 0},
    {"dial tone 10 dB above", With([](LineTrial& t) { t.dial_tone_db = 10; }), 0, 1},
    {"dial tone alone", With([](LineTrial& t) { t.tone_ms = 0, t.dial_tone_db = 10; }), 0, 0},
    {"DC offset", With([](LineTrial& t) { t.dc = 0.25; }), 1, 1},
    {"hard clipping", With([](LineTrial& t) { t.clip_db = 20; }), 0, 1},
    {"lost frame 20 ms", With([](LineTrial& t) { t.tone_ms = 100, t.lost_ms = 20; }), 1, 1},
};

TEST(Standards, EachConditionHeardAsRequired) {
  for (const uint32_t rate : {8000u, 16000u, 48000u}) {
    for (const Condition& condition : kConditions) {
      for (const char symbol : std::string("123A456B789C*0#D")) {
        for (uint32_t seed = 0; seed < 2; ++seed) {
          LineTrial trial = condition.trial;
          trial.symbol = symbol;
          const std::string heard = zelnor_test::Symbols(
              zelnor_test::Hear(zelnor_test::MakeLine(trial, rate, seed).samples, rate, 160));
          const int count = static_cast<int>(heard.size());
          EXPECT_TRUE(count >= condition.fewest && count <= condition.most &&
                      heard == std::string(heard.size(), symbol))
              << condition.name << ", " << symbol << " at " << rate << " Hz, seed " << seed
              << ": heard \"" << heard << "\"";
        }
      }
    }
  }
}

}  // namespace
