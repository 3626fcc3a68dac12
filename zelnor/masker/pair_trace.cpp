#include "zelnor/masker/pair_trace.h"

namespace zelnor {
namespace {

// A block holds a tone with an eighth (-9 dB) of its power: a block the tone
// covers in part, or one where speech beats against it, still does; speech
// 10 dB under a tone seldom puts as much at its frequency.
constexpr float kHeldPart = 0.125f;

}  // namespace

void PairTrace::Add(const ToneBlock& block) {
  newest_ = (newest_ + 1) % kBlocks;
  for (int k = 0; k < kToneCount; ++k) powers_[newest_][k] = block.Power(k);
  if (filled_ < kBlocks) ++filled_;
}

PairLevel PairTrace::Level(int low, int high, int count) const {
  PairLevel level{low, high, 0, 0};
  for (int age = 0; age < count && age < filled_; ++age) {
    const float* at = powers_[(newest_ - age + kBlocks) % kBlocks];
    level.low_power += at[low] / static_cast<float>(count);
    level.high_power += at[high] / static_cast<float>(count);
  }
  return level;
}

bool PairTrace::Holds(int age, const PairLevel& level) const {
  if (age >= filled_ || level.low < 0) return false;
  const float* at = powers_[(newest_ - age + kBlocks) % kBlocks];
  return at[level.low] >= kHeldPart * level.low_power &&
         at[level.high] >= kHeldPart * level.high_power;
}

int PairTrace::HeldFrom(int age, const PairLevel& level) const {
  int count = 0;
  while (Holds(age + count, level)) ++count;
  return count;
}

}  // namespace zelnor
