#pragma once
// A stream of keypad tones for measuring the masker: one tone every
// 400 ms, each at its own level, twist, length and place against the
// blocks, over silence, white noise, a voice-like signal or recorded
// speech, optionally through G.711.

#include <cstdint>
#include <string>
#include <vector>

namespace zelnor_bench {

enum class Background { kQuiet, kNoise, kVoice, kSpeech };

struct TrialPlan {
  uint32_t rate = 8000;
  int trials = 400;
  uint32_t seed = 1;
  double shortest_ms = 12;  // tone lengths drawn evenly from here ...
  double longest_ms = 100;  // ... to here
  Background background = Background::kQuiet;
  double under_db = 10;         // the noise, voice or speech below the pair's power
  std::vector<int16_t> speech;  // kSpeech: recorded at `rate`, used in order
  std::string codec;            // "", "ulaw" or "alaw": a round trip of the whole line
};

struct PlacedTone {
  char symbol;
  double low_dbm0;
  double high_dbm0;
  size_t start;  // first sample
  size_t end;    // one past the last
};

struct TrialStream {
  std::vector<int16_t> samples;
  std::vector<PlacedTone> tones;
};

TrialStream MakeTrialStream(const TrialPlan& plan);

}  // namespace zelnor_bench
