#include "standard_conditions.h"

namespace zelnor_test {
namespace {

LineTrial With(void (*change)(LineTrial&)) {
  LineTrial trial;
  change(trial);
  return trial;
}

}  // namespace

const std::vector<Condition>& StandardConditions() {
  static const std::vector<Condition> kConditions = {
      {"low tone 1.5 % high", With([](LineTrial& t) { t.low_shift = 0.015; }), 1, 1, "must detect"},
      {"high tone 1.5 % low", With([](LineTrial& t) { t.high_shift = -0.015; }), 1, 1,
       "must detect"},
      {"low tone 1.8 % high", With([](LineTrial& t) { t.low_shift = 0.018; }), 1, 1, "aim: detect"},
      {"low tone 1.8 % low", With([](LineTrial& t) { t.low_shift = -0.018; }), 1, 1, "aim: detect"},
      {"high tone 1.8 % high", With([](LineTrial& t) { t.high_shift = 0.018; }), 1, 1,
       "aim: detect"},
      {"high tone 1.8 % low", With([](LineTrial& t) { t.high_shift = -0.018; }), 1, 1,
       "aim: detect"},
      {"tones 1.8 % apart", With([](LineTrial& t) { t.low_shift = -0.018, t.high_shift = 0.018; }),
       1, 1, "aim: detect"},
      {"low tone 3.5 % high", With([](LineTrial& t) { t.low_shift = 0.035; }), 0, 0, "must reject"},
      {"high tone 3.5 % low", With([](LineTrial& t) { t.high_shift = -0.035; }), 0, 0,
       "must reject"},
      {"low tone 3 % high", With([](LineTrial& t) { t.low_shift = 0.03; }), 0, 0, "aim: reject"},
      {"low tone 3 % low", With([](LineTrial& t) { t.low_shift = -0.03; }), 0, 0, "aim: reject"},
      {"high tone 3 % high", With([](LineTrial& t) { t.high_shift = 0.03; }), 0, 0, "aim: reject"},
      {"high tone 3 % low", With([](LineTrial& t) { t.high_shift = -0.03; }), 0, 0, "aim: reject"},
      {"twist 8 dB normal", With([](LineTrial& t) { t.low_dbm0 = -6, t.high_dbm0 = -14; }), 1, 1,
       "must detect"},
      {"twist 4 dB reverse", With([](LineTrial& t) { t.low_dbm0 = -14, t.high_dbm0 = -10; }), 1, 1,
       "must detect"},
      {"level 0 dBm0", With([](LineTrial& t) { t.low_dbm0 = t.high_dbm0 = 0; }), 1, 1,
       "must detect"},
      {"level -25 dBm0", With([](LineTrial& t) { t.low_dbm0 = t.high_dbm0 = -25; }), 1, 1,
       "must detect"},
      {"level -39 dBm0", With([](LineTrial& t) { t.low_dbm0 = t.high_dbm0 = -39; }), 1, 1,
       "aim: detect"},
      {"level -48 dBm0", With([](LineTrial& t) { t.low_dbm0 = t.high_dbm0 = -48; }), 0, 0,
       "aim: reject"},
      {"level -55 dBm0", With([](LineTrial& t) { t.low_dbm0 = t.high_dbm0 = -55; }), 0, 0,
       "must reject"},
      {"tone 40 ms", With([](LineTrial& t) { t.tone_ms = 40; }), 1, 1, "must detect"},
      {"tone 36 ms", With([](LineTrial& t) { t.tone_ms = 36; }), 1, 1, "aim: detect"},
      {"tone 23 ms", With([](LineTrial& t) { t.tone_ms = 23; }), 0, 0, "must reject"},
      {"break 10 ms", With([](LineTrial& t) { t.tone_ms = 100, t.break_ms = 10; }), 1, 1,
       "must: one digit"},
      {"break 15 ms", With([](LineTrial& t) { t.tone_ms = 100, t.break_ms = 15; }), 1, 1,
       "aim: one digit"},
      {"pause 40 ms", With([](LineTrial& t) { t.tone_ms = 50, t.pause_ms = 40; }), 2, 2,
       "must: two digits"},
      {"pause 25 ms", With([](LineTrial& t) { t.tone_ms = 50, t.pause_ms = 25; }), 2, 2,
       "aim: two digits"},
      {"noise 15 dB S/N", With([](LineTrial& t) { t.snr_db = 15; }), 1, 1, "must detect"},
      {"noise 6 dB S/N", With([](LineTrial& t) { t.snr_db = 6; }), 1, 1, "aim: detect"},
      {"noise alone", With([](LineTrial& t) { t.tone_ms = 0, t.snr_db = -10; }), 0, 0,
       "must: nothing"},
      {"dial tone 10 dB above", With([](LineTrial& t) { t.dial_tone_db = 10; }), 0, 1,
       "must: no extra digit"},
      {"dial tone alone", With([](LineTrial& t) { t.tone_ms = 0, t.dial_tone_db = 10; }), 0, 0,
       "must: nothing"},
      {"DC offset 1/4 full scale", With([](LineTrial& t) { t.dc = 0.25; }), 1, 1,
       "must: no extra digit; ours: the digit, once"},
      {"hard clipping, 20 dB over", With([](LineTrial& t) { t.clip_db = 20; }), 0, 1,
       "must: no extra digit"},
      {"lost frame 20 ms", With([](LineTrial& t) { t.tone_ms = 100, t.lost_ms = 20; }), 1, 1,
       "must: no extra digit; ours: the digit, once"},
      {"tone fading to nothing", With([](LineTrial& t) { t.tone_ms = 150, t.fade_out = true; }), 1,
       1, "ours: one digit"},
      {"12 dB quieter after 60 ms",
       With([](LineTrial& t) { t.tone_ms = 150, t.step_ms = 60, t.step_db = 12; }), 1, 1,
       "ours: one digit"},
      {"20 dB quieter after 60 ms",
       With([](LineTrial& t) { t.tone_ms = 150, t.step_ms = 60, t.step_db = 20; }), 1, 1,
       "ours: one digit"},
      {"high tone 8 dB quieter mid-tone",
       With([](LineTrial& t) { t.tone_ms = 150, t.step_ms = 75, t.high_step_db = 8; }), 1, 1,
       "ours: one digit"},
      {"echo 10 ms late, 10 dB down", With([](LineTrial& t) { t.echo_ms = 10, t.echo_db = -10; }),
       1, 1, "ours: one digit"},
      {"echo 30 ms late, 12 dB down", With([](LineTrial& t) { t.echo_ms = 30, t.echo_db = -12; }),
       1, 1, "ours: one digit"},
      {"echo 50 ms late, 10 dB down", With([](LineTrial& t) { t.echo_ms = 50, t.echo_db = -10; }),
       1, 1, "ours: one digit"},
      {"remnant 21 dB down under the next digit",
       With([](LineTrial& t) { t.remnant_ms = 130, t.remnant_db = -21, t.next_ms = 60; }), 2, 2,
       "ours: both digits"},
      {"a third tone, as loud", With([](LineTrial& t) { t.third_db = 0; }), 0, 0, "ours: nothing"},
      {"a third tone, 6 dB down", With([](LineTrial& t) { t.third_db = -6; }), 0, 0,
       "ours: nothing"},
      {"two tones of the low group", With([](LineTrial& t) { t.third_db = 0, t.no_high = true; }),
       0, 0, "ours: nothing"},
  };
  return kConditions;
}

}  // namespace zelnor_test
