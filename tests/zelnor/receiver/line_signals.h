#pragma once
// Test signals for a DTMF receiver, made exactly as a condition describes:
// tones off frequency, twisted, at any level and duration, broken, repeated,
// in white noise, under dial tone, offset, clipped or with a lost frame;
// fading, stepping down, echoed, running on under the next digit, or with a
// third tone beside the pair.

#include <cstdint>
#include <string>
#include <vector>

namespace zelnor_test {

struct LineTrial {
  char symbol = '5';
  double low_shift = 0;   // relative frequency error of the low tone
  double high_shift = 0;  // and of the high one
  double low_dbm0 = -10;  // level of each tone
  double high_dbm0 = -10;
  double tone_ms = 60;         // 0: no digit at all
  double break_ms = 0;         // the tone silent this long at its middle
  double pause_ms = 0;         // above 0: the tone twice, this far apart
  double snr_db = 200;         // white noise, against the two tones' power
  double dial_tone_db = -200;  // 350 + 440 Hz, each this far above the low tone
  double dc = 0;               // offset, 1 = full scale
  double clip_db = 0;          // gain before clipping at full scale
  double lost_ms = 0;          // everything zero this long at the tone's middle
  bool fade_out = false;       // the tones' amplitude falls linearly to zero over the tone
  double step_ms = 0;          // this far into the tone (phase kept) ...
  double step_db = 0;          // ... both tones this much quieter
  double high_step_db = 0;     // ... and the high tone this much more
  double echo_ms = 0;          // a copy of the tones this late ...
  double echo_db = 0;          // ... this far down
  double remnant_ms = 0;       // the tone runs on this long after it ends ...
  double remnant_db = 0;       // ... this far down
  double next_ms = -1;         // from 0: another symbol's tone starts this long after the tone
  double third_db = -200;      // the low group's next tone, against the low tone
  bool no_high = false;        // the high tone left out
};

struct LineSignal {
  std::vector<int16_t> samples;
  std::vector<uint64_t> tone_starts;  // first sample of each tone sounded
  std::vector<uint64_t> tone_ends;    // one past its last sample
};

// The trial at `rate`; `seed` varies the phases, the noise and where the
// tone falls against the receiver's blocks.
LineSignal MakeLine(const LineTrial& trial, uint32_t rate, uint32_t seed);

// The symbol a trial's next tone sounds: never its own.
char NextSymbol(char symbol);

// What a receiver should hear in the trial.
std::string ExpectedDigits(const LineTrial& trial);

}  // namespace zelnor_test

#include "zelnor/receiver/dtmf_receiver.h"

namespace zelnor_test {

// Every digit a fresh receiver hears in `samples`, fed `chunk` at a time,
// flushed at the end.
std::vector<zelnor::HeardDigit> Hear(const std::vector<int16_t>& samples, uint32_t rate,
                                     size_t chunk);

// The symbols of `digits` in order.
std::string Symbols(const std::vector<zelnor::HeardDigit>& digits);

}  // namespace zelnor_test
