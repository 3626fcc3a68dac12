#include "zelnor/receiver/dtmf_receiver.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <initializer_list>

#include "zelnor.h"
#include "zelnor/heard_samples.h"
#include "zelnor/receiver/second_harmonic.h"
#include "zelnor/receiver/tone_window.h"
#include "zelnor/signal/dtmf_levels.h"
#include "zelnor/signal/keypad.h"
#include "zelnor/zelnor_error.h"

namespace zelnor {
namespace {

// Blocks of 4 ms a window spans. A digit needs two windows in a row, seven
// blocks, whose first and last are mostly covered: that cannot fit in a
// 23 ms tone and always fits in a 36 ms one.
constexpr int kWindow = 6;
// Frequency tolerance of a clean pair, between the 1.5 % always heard (and
// most of 1.8 %) and the 3 % never heard; and of an impure one. A pair is
// clean at 95 % purity (see KeypadLike) and impure at 85 %, the tolerance
// changing linearly between.
constexpr float kTolerance = 0.021f;
constexpr float kImpureTolerance = 0.005f;
constexpr float kPure = 0.95f;
constexpr float kImpure = 0.85f;
// Twist accepted: the high tone from 10 dB below to 6 dB above the low one.
constexpr float kMostNormalTwist = 0.1f;
constexpr float kMostReverseTwist = 3.98f;
// The two tones' share of the window's energy (6 dB S/N leaves them 80 %,
// measured a little lower; speech 8 dB under the tones, 60 % at its
// loudest). The purity and the tolerance keep speech and music out.
constexpr float kToneShare = 0.6f;
// How much the tones' phase coherence may fall short of 1 per unit of
// energy that is not theirs: noise disturbs both alike, a voice's gliding
// harmonics only the coherence.
constexpr float kIncoherencePerNoise = 0.4f;
// A block in which the digit's tones keep this much of their amplitude.
constexpr float kFullCoverage = 0.9f;
// How far below the limits the cheap first look lets a window through: a
// block's own power may be under the pair's by the other tone's leakage.
constexpr float kCheapLookSlack = 0.5f;
// The share the newest block alone must show: white noise 6 dB below the
// tones leaves them 80 %, white noise alone rarely 40 %.
constexpr float kNewestShare = 0.5f;
// The weakest block the cheap look lets through, against the mean: a weak
// tone beating with the other's leakage dips to a fifth of its power.
constexpr float kCheapSteadiness = 0.05f;
// What a clean pair of tones always reaches.
constexpr float kFullCoherence = 0.97f;
// Where the tones hold nine tenths of the energy, a low-rate codec's phase
// jumps (AMR-NB at 4.75 kbit/s) are let through: speech and music are not
// so pure.
constexpr float kTonalShare = 0.9f;
constexpr float kTonalCoherence = 0.8f;
// The window's first and last blocks above a third of the mean power: the
// tone fills the window (a 23 ms tone cannot), with room for noise. The
// blocks between may dip further, as low-rate codecs make tones do.
constexpr float kSteadiness = 0.35f;
constexpr float kHeldSteadiness = 0.1f;
// A tone's blocks added in phase keep this much of their power: a keypad's
// do, music's notes and a voice's partials, wavering, rarely. (Asked only
// below the tonal share, where a low-rate codec's phase jumps are let by.)
constexpr float kSteadyPower = 0.8f;
// Another tone of a group within 8 dB of the digit's own spoils it.
constexpr float kRival = 0.158f;
// A second harmonic within 20 dB of its tone and 8 dB above the rest of
// the sound (per frequency) spoils a window.
constexpr float kMostHarmonic = 0.01f;
constexpr float kHarmonicPeak = 6.3f;
constexpr float kRoomForHarmonics = 0.05f;
// Below 1/40 (-16 dB) of the level before, a tone is gone from a block.
constexpr float kGone = 0.0225f;
// A digit holds while each tone stays within 30 dB of its peak, at most
// 10 dB under the weakest tone heard, and the pair carries half of the
// block's energy: a fading tone, a level that steps down, an echo or a
// room's reverb stay one digit; speech or noise in a pause do not.
constexpr float kHeldFraction = 0.001f;
constexpr float kHeldFloor = 0.1f;
constexpr float kHeldShare = 0.5f;
// A gap this long ends a digit: a 20 ms lost frame is bridged, a 25 ms
// pause separates two.
constexpr double kPauseSeconds = 0.0225;
// Blocks without the digit that end it whatever the gap's measure says.
constexpr int kEndingBlocks = 7;

constexpr double kPi = 3.14159265358979323846;

// The bits of the window's blocks in a mask of blocks, newest lowest.
constexpr std::uint32_t kWindowMask = (1u << kWindow) - 1;

// How many bits are set.
int Count(std::uint32_t bits) {
  int count = 0;
  for (; bits != 0; bits &= bits - 1) ++count;
  return count;
}

// A non-negative length in samples, rounded as std::lround does, without
// its library call: a block's length in floats plus a half is exact in a
// double.
std::uint64_t Samples(float length) {
  return static_cast<std::uint64_t>(static_cast<double>(length) + 0.5);
}

// The symbol at a row and column, both counted from 0.
char SymbolAt(int row, int column) { return kKeypad[kRowCount * row + column].symbol; }

// Of the two strongest tones of the group starting at `first` (by their
// power over the window, `raw`), the stronger whose frequency is within the
// tolerance (`slopes`: the tangent of each tone's largest extra advance), or
// -1.
int InTolerance(const ToneBlocks& blocks, const float* raw, const float* slopes, int first,
                std::complex<float>& extra) {
  int best = first;
  int second = first + 1;
  if (raw[second] > raw[best]) std::swap(best, second);
  for (int k = first + 2; k < first + kRowCount; ++k) {
    if (raw[k] > raw[best]) {
      second = best;
      best = k;
    } else if (raw[k] > raw[second]) {
      second = k;
    }
  }
  for (const int k : {best, second}) {
    extra = ExtraAdvance(blocks, k, kWindow);
    if (extra.real() > 0 && std::fabs(extra.imag()) <= slopes[k] * extra.real()) return k;
  }
  return -1;
}

// How much of a full block a tone covers, from its power against its power
// over a whole block.
float Coverage(float power, float full_power) {
  return full_power > 0 ? std::min(1.0f, std::sqrt(power / full_power)) : 0;
}

}  // namespace

DtmfReceiver::DtmfReceiver(const ReceiverSettings& settings)
    : blocks_((settings.sample_rate >= kReceiverMinRate && settings.sample_rate <= kReceiverMaxRate)
                  ? settings.sample_rate
                  : throw ZelnorError(ZELNOR_E_INVALID_ARGUMENT, "sample rate out of range")) {
  if (!(settings.minimum_level_dbm0 >= kReceiverLowestLevelDbm0 &&
        settings.minimum_level_dbm0 <= kReceiverHighestLevelDbm0)) {
    throw ZelnorError(ZELNOR_E_INVALID_ARGUMENT, "minimum level out of range");
  }
  // A sine of amplitude A correlates to A N / 2 over a block of N samples.
  const double amplitude = Dbm0Amplitude(settings.minimum_level_dbm0);
  const double correlation = amplitude * static_cast<double>(blocks_.Length()) / 2;
  minimum_power_ = static_cast<float>(correlation * correlation);
  // The tolerance as the largest angle of a tone's extra phase advance per
  // block (under a quarter turn at 4 ms), kept as its tangent.
  for (int k = 0; k < kToneCount; ++k) {
    tolerance_slopes_[k] = static_cast<float>(
        std::tan(2 * kPi * kTolerance * ToneBlocks::Hz(k) * blocks_.BlockSeconds()));
  }
  pause_ = static_cast<std::uint64_t>(std::lround(kPauseSeconds * settings.sample_rate));
}

void DtmfReceiver::Feed(const std::int16_t* samples, std::size_t count, DigitReport report,
                        void* context) {
  Listen(samples, count, report, context, [](const std::int16_t* x, std::size_t n, float* to) {
    Int16ToFloats(x, n, 1.0f / 32767, to);
  });
}

void DtmfReceiver::Feed(const float* samples, std::size_t count, DigitReport report,
                        void* context) {
  Listen(samples, count, report, context, HeardSamples);
}

template <typename Sample, typename Convert>
void DtmfReceiver::Listen(const Sample* samples, std::size_t count, DigitReport report,
                          void* context, Convert convert) {
  while (count > 0) {
    const std::size_t n = std::min(count, blocks_.Room());
    convert(samples, n, blocks_.Space());
    samples += n;
    count -= n;
    if (blocks_.Add(n)) Judge(report, context);
  }
}

void DtmfReceiver::Flush(DigitReport report, void* context) {
  if (digit_.symbol != '\0')
    End(missing_blocks_ == 0 ? blocks_.Position() : last_heard_end_, report, context);
}

void DtmfReceiver::End(std::uint64_t end_sample, DigitReport report, void* context) {
  digit_.end_sample = std::max(end_sample, digit_.start_sample + 1);
  last_end_ = digit_.end_sample;
  report(context, digit_, true);
  digit_ = {};
  missing_blocks_ = 0;
}

bool DtmfReceiver::StillHolds(const PairPower& pair) const {
  const ToneBlock& newest = blocks_.Recent(0);
  if (pair.low < kHeldFraction * peak_.low || pair.high < kHeldFraction * peak_.high ||
      pair.low < kHeldFloor * minimum_power_ || pair.high < kHeldFloor * minimum_power_ ||
      2 * (pair.low + pair.high) <
          kHeldShare * static_cast<float>(blocks_.Length()) * newest.energy) {
    return false;
  }
  // Each other tone of a group, measured as the digit's own is, must be
  // weaker: a new digit takes over from a fading one at once.
  for (int k = 0; k < kToneCount; ++k) {
    if (k == low_ || k == high_) continue;
    const PairPower other = k < kRowCount ? MeasurePair(blocks_, newest, k, high_)
                                          : MeasurePair(blocks_, newest, low_, k);
    if (k < kRowCount ? other.low > pair.low : other.high > pair.high) return false;
  }
  return true;
}

void DtmfReceiver::Follow(DigitReport report, void* context) {
  const ToneBlock& newest = blocks_.Recent(0);
  const auto length = static_cast<float>(blocks_.Length());
  const std::uint64_t block_end = newest.first_sample + blocks_.Length();
  const PairPower pair = MeasurePair(blocks_, newest, low_, high_);
  const auto remember = [&] {
    before_ = last_;
    last_ = pair;
    peak_ = {std::max(peak_.low, pair.low), std::max(peak_.high, pair.high)};
    missing_blocks_ = 0;
  };
  // The usual case first: the digit going on at full strength, where no
  // other tone can be there instead (a neighbour would leave each of ours
  // at most 3/4 of its power).
  constexpr float kFullPower = kFullCoverage * kFullCoverage;
  if (missing_blocks_ == 0 && pair.low >= kFullPower * peak_.low &&
      pair.high >= kFullPower * peak_.high) {
    last_heard_end_ = block_end;
    silent_before_ = false;
    remember();
    return;
  }
  // How much of the block the tones cover, against the level they held in
  // the two blocks before. (Both tones together: in a partly covered block
  // each one's measure is thrown off by the other's leakage, their sum far
  // less.)
  const float coverage = Coverage(
      pair.low + pair.high, std::max(last_.low, before_.low) + std::max(last_.high, before_.high));
  const bool traces = coverage * coverage >= kGone;
  const auto covered = Samples(std::min(coverage, 1.0f) * length);
  // Still silent, or back after a gap (measured from the first block it
  // shows in again): a gap this long separates two digits.
  if (missing_blocks_ > 0 && (!traces || silent_before_)) {
    const std::uint64_t back = traces ? block_end - covered : block_end;
    if (back - last_heard_end_ >= pause_) {
      End(last_heard_end_, report, context);
      return;
    }
  }
  silent_before_ = !traces;
  if (StillHolds(pair)) {
    // A tone ending in this block covers its start; one coming back, its
    // end. A tone that only became quieter goes on past both.
    last_heard_end_ = missing_blocks_ == 0 && coverage < kFullCoverage
                          ? newest.first_sample + covered
                          : block_end;
    remember();
    return;
  }
  if (missing_blocks_ == 0 && traces) last_heard_end_ = newest.first_sample + covered;
  if (++missing_blocks_ >= kEndingBlocks) End(last_heard_end_, report, context);
}

bool DtmfReceiver::MayHoldTones(const ToneBlock& block) const {
  const float row =
      std::max(std::max(block.Power(0), block.Power(1)), std::max(block.Power(2), block.Power(3)));
  const float column =
      std::max(std::max(block.Power(4), block.Power(5)), std::max(block.Power(6), block.Power(7)));
  return row >= kCheapLookSlack * kSteadiness * minimum_power_ &&
         column >= kCheapLookSlack * kSteadiness * minimum_power_ &&
         2 * (row + column) >= kNewestShare * static_cast<float>(blocks_.Length()) * block.energy;
}

void DtmfReceiver::Judge(DigitReport report, void* context) {
  const ToneBlock& newest = blocks_.Recent(0);
  toned_blocks_ = (toned_blocks_ << 1 | (MayHoldTones(newest) ? 1u : 0u)) & kWindowMask;
  if (digit_.symbol != '\0') Follow(report, context);
  if (digit_.symbol != '\0' && missing_blocks_ == 0) return;
  // The window is looked at only once the newest block and most of the
  // others may hold tones. Two windows in a row must agree: one block more
  // of the tone, and far fewer chance alignments in music.
  Recognised now{};
  if ((toned_blocks_ & 1u) == 0 || Count(toned_blocks_) < kWindow - 2 ||
      !Recognise(digit_.symbol, now)) {
    candidate_ = {};
    return;
  }
  if (now.symbol != candidate_.symbol) {
    candidate_ = now;
    return;
  }
  if (digit_.symbol != '\0') End(last_heard_end_, report, context);
  digit_ = {candidate_.symbol, std::max(candidate_.start, last_end_), 0};
  silent_before_ = false;
  low_ = now.low;
  high_ = now.high;
  peak_ = last_ = before_ = {now.low_power, now.high_power};
  missing_blocks_ = 0;
  last_heard_end_ = newest.first_sample + blocks_.Length();
  candidate_ = {};
  report(context, digit_, false);
}

bool DtmfReceiver::KeypadLike(const TunedTone& tuned_low, const TunedTone& tuned_high,
                              const PairPower& mean, float share) const {
  const int low = tuned_low.tone;
  const int high = tuned_high.tone;
  const auto length = static_cast<float>(blocks_.Length());
  // Each tone's frequency, and the pair's purity: its power at those
  // frequencies over the blocks it covers whole, against all they hold. A
  // keypad's tones are pure and on frequency; speech and music that come
  // near a pair are off by a percent or more, or impure, or both. So the
  // tolerance narrows as the purity falls, from the full tolerance for a
  // clean pair to a quarter of it for one with a sixth of other sound beside.
  float inner_energy = 0;
  for (int age = 1; age + 1 < kWindow; ++age) inner_energy += blocks_.Recent(age).energy;
  const float inner_low = SteadyPower(blocks_, low, tuned_low.advance, 1, kWindow - 2);
  const float inner_high = SteadyPower(blocks_, high, tuned_high.advance, 1, kWindow - 2);
  // A sine's energy over a run of blocks is 2 |X|^2 / N per block.
  const float to_energy = 2.0f * (kWindow - 2) / length;
  const float purity = (inner_low + inner_high) * to_energy / (inner_energy + 1e-30f);
  const float clean = std::clamp((purity - kImpure) / (kPure - kImpure), 0.0f, 1.0f);
  const float tolerance = kImpureTolerance + clean * (kTolerance - kImpureTolerance);
  if (std::fabs(tuned_low.offset) > tolerance || std::fabs(tuned_high.offset) > tolerance) {
    return false;
  }

  // Each tone far above every other of its group, the window taken as one
  // block so that neighbours are told apart: a keypad sends one tone per
  // group, and a third tone, a chord or a vowel's partials are not a digit.
  // Each tone steady, too: its blocks added in phase keep most of their power.
  const float low_steady = SteadyPower(blocks_, low, tuned_low.advance, 0, kWindow);
  const float high_steady = SteadyPower(blocks_, high, tuned_high.advance, 0, kWindow);
  if (share < kTonalShare &&
      (low_steady < kSteadyPower * mean.low || high_steady < kSteadyPower * mean.high)) {
    return false;
  }
  float steady[kToneCount];
  NominalSteadyPowers(blocks_, kWindow, steady);
  for (int k = 0; k < kToneCount; ++k) {
    if (k != low && k != high && steady[k] > kRival * (k < kRowCount ? low_steady : high_steady)) {
      return false;
    }
  }

  // No second harmonic standing out of the rest of the sound. It is
  // measured from the samples, so only where the rest comes within 13 dB
  // of the weaker tone: a pair purer than that leaves speech and music no
  // room.
  const float rest = inner_energy - (inner_low + inner_high) * to_energy;
  if (rest >= kRoomForHarmonics * std::min(inner_low, inner_high) * to_energy) {
    const Harmonic harmonic =
        SecondHarmonic(blocks_, kWindow, low, tuned_low.offset, high, tuned_high.offset);
    if (harmonic.against_tone > kMostHarmonic && harmonic.against_rest > kHarmonicPeak) {
      return false;
    }
  }

  return true;
}

bool DtmfReceiver::Recognise(char sounding, Recognised& heard) const {
  if (blocks_.Filled() < kWindow) return false;
  const auto length = static_cast<float>(blocks_.Length());

  // A cheap look first, at the window: the strongest row and column,
  // leakage and all, must be able to carry the level and the share of the
  // energy. Silence, noise and most speech stop here.
  float raw[kToneCount] = {};
  float window_energy = 0;
  for (int age = 0; age < kWindow; ++age) {
    const ToneBlock& block = blocks_.Recent(age);
    window_energy += block.energy;
    for (int k = 0; k < kToneCount; ++k) raw[k] += block.Power(k);
  }
  const int top_row = static_cast<int>(std::max_element(raw, raw + kRowCount) - raw);
  const int top_column =
      static_cast<int>(std::max_element(raw + kRowCount, raw + kToneCount) - raw);
  const float row = raw[top_row];
  const float column = raw[top_column];
  if (row < kCheapLookSlack * kWindow * minimum_power_ ||
      column < kCheapLookSlack * kWindow * minimum_power_ ||
      2 * (row + column) < kCheapLookSlack * kToneShare * length * window_energy) {
    return false;
  }
  for (int age = 0; age < kWindow; ++age) {
    const ToneBlock& block = blocks_.Recent(age);
    if (block.Power(top_row) * kWindow < kCheapSteadiness * row ||
        block.Power(top_column) * kWindow < kCheapSteadiness * column) {
      return false;
    }
  }

  // Only the two strongest of each group, leakage and all, can be the
  // digit's: a tone's neighbour holds at most 3/4 of its power, and
  // leakage from the other group shifts that by little. Of those, the
  // stronger within the frequency tolerance.
  std::complex<float> low_extra;
  std::complex<float> high_extra;
  const int low = InTolerance(blocks_, raw, tolerance_slopes_, 0, low_extra);
  const int high = InTolerance(blocks_, raw, tolerance_slopes_, kRowCount, high_extra);
  if (low < 0 || high < 0 || SymbolAt(low, high - kRowCount) == sounding) return false;
  // The pair's own powers block by block, for the level, twist, steadiness
  // and where the tone began.
  Separated pairs[kWindow];
  PairPower powers[kWindow];
  PairPower mean{0, 0};
  // Each block's powers over what it must reach: the window's first and
  // last blocks decide how long the tone is, the others only that it holds.
  PairPower weakest{1e30f, 1e30f};
  float energy = 0;
  for (int age = 0; age < kWindow; ++age) {
    const ToneBlock& block = blocks_.Recent(age);
    pairs[age] = Separate(blocks_, block, low, high);
    powers[age] = {std::norm(pairs[age].low), std::norm(pairs[age].high)};
    mean = {mean.low + powers[age].low / kWindow, mean.high + powers[age].high / kWindow};
    const float need = age == 0 || age == kWindow - 1 ? kSteadiness : kHeldSteadiness;
    weakest = {std::min(weakest.low, powers[age].low / need),
               std::min(weakest.high, powers[age].high / need)};
    energy += block.energy;
  }
  // A sine's power is 2 |X|^2 / N^2 per sample; the energy is per block.
  const float tones = 2 * (mean.low + mean.high) / length;
  const float share = tones * kWindow / (energy + 1e-30f);

  const float twist = mean.high / mean.low;
  // The oldest block may be partly covered, which shifts its phase.
  const float coherence = PairCoherence(pairs, kWindow - 1);
  const float needed_coherence =
      share >= kTonalShare ? kTonalCoherence
                           : std::min(kFullCoherence, 1 - kIncoherencePerNoise * (1 - share));
  if (coherence < needed_coherence || mean.low < minimum_power_ || mean.high < minimum_power_ ||
      share < kToneShare || twist < kMostNormalTwist || twist > kMostReverseTwist ||
      weakest.low < mean.low || weakest.high < mean.high) {
    return false;
  }

  if (!KeypadLike(Tune(blocks_, low, low_extra), Tune(blocks_, high, high_extra), mean, share)) {
    return false;
  }

  // The tone began where the window's first block is partly covered, or
  // within the block before it.
  const ToneBlock& first = blocks_.Recent(kWindow - 1);
  const PairPower& first_power = powers[kWindow - 1];
  const float first_coverage =
      std::min(Coverage(first_power.low, mean.low), Coverage(first_power.high, mean.high));
  std::uint64_t start = first.first_sample;
  if (first_coverage < kFullCoverage) {
    start += Samples((1 - first_coverage) * length);
  } else if (blocks_.Filled() > kWindow) {
    const PairPower before = MeasurePair(blocks_, blocks_.Recent(kWindow), low, high);
    const float before_coverage =
        std::min(Coverage(before.low, mean.low), Coverage(before.high, mean.high));
    if (before_coverage * before_coverage >= kGone) {
      start -= Samples(before_coverage * length);
    }
  }
  heard = {SymbolAt(low, high - kRowCount), start, low, high, mean.low, mean.high};
  return true;
}

// The samples of the kept blocks make most of it.
static_assert(sizeof(DtmfReceiver) <= 10240, "a channel's state stays within 10 KB");

}  // namespace zelnor
