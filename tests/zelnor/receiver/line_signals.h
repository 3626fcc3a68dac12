#pragma once
// Test signals for a DTMF receiver, made exactly as a condition describes:
// tones off frequency, twisted, at any level and duration, broken, repeated,
// in white noise, under dial tone, offset, clipped or with a lost frame.

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
};

struct LineSignal {
  std::vector<int16_t> samples;
  std::vector<uint64_t> tone_starts;  // first sample of each tone sounded
  std::vector<uint64_t> tone_ends;    // one past its last sample
};

// The trial at `rate`; `seed` varies the phases, the noise and where the
// tone falls against the receiver's blocks.
LineSignal MakeLine(const LineTrial& trial, uint32_t rate, uint32_t seed);

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
