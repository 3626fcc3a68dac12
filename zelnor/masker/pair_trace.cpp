#include "zelnor/masker/pair_trace.h"

#include <algorithm>

namespace zelnor {
namespace {

// Two blocks hold a tone with an eighth (-9 dB) of its power: the two a
// tone starts or ends in, or where speech beats against it, still do;
// speech 10 dB under a tone seldom puts as much at its frequency.
constexpr float kHeldPart = 0.125f;
constexpr float kKeptPart = 0.2f;
constexpr int kHeldBlocks = 2;

}  // namespace

PairTrace::PairTrace(const ToneBlocks& blocks) {
  for (int k = 0; k < kToneCount; ++k) advances_[k] = blocks.NominalAdvance(k);
}

void PairTrace::Add(const ToneBlock& block) {
  newest_ = (newest_ + 1) % kBlocks;
  for (int k = 0; k < kToneCount; ++k) at_[newest_][k] = block.At(k);
  if (filled_ < kBlocks) ++filled_;
}

float PairTrace::SteadyPower(int age, int count, int tone) const {
  // Each older block turned on by the tone's advance over the blocks since.
  std::complex<float> sum = 0;
  std::complex<float> turn = 1;
  int added = 0;
  for (; added < count && age + added < filled_; ++added) {
    sum += Times(at_[(newest_ - age - added + kBlocks) % kBlocks][tone], turn);
    turn = Times(turn, advances_[tone]);
  }
  return added > 0 ? std::norm(sum) / static_cast<float>(added * added) : 0.0f;
}

PairLevel PairTrace::Level(int low, int high, int count) const {
  return {low, high, SteadyPower(0, count, low), SteadyPower(0, count, high)};
}

bool PairTrace::HoldsPart(int age, const PairLevel& level, float part) const {
  if (age >= filled_ || level.low < 0) return false;
  const int newer = std::max(age - 1, 0);
  return SteadyPower(newer, kHeldBlocks, level.low) >= part * level.low_power &&
         SteadyPower(newer, kHeldBlocks, level.high) >= part * level.high_power;
}

bool PairTrace::Holds(int age, const PairLevel& level) const {
  return HoldsPart(age, level, kHeldPart);
}

bool PairTrace::Keeps(const PairLevel& level) const { return HoldsPart(0, level, kKeptPart); }

int PairTrace::HeldFrom(int age, const PairLevel& level) const {
  int count = 0;
  while (Holds(age + count, level)) ++count;
  return count;
}

}  // namespace zelnor
