#pragma once
// A DTMF receiver for one channel: fed samples in chunks of any size at any
// rate from 8,000 to 48,000 Hz, it reports each digit once as it is
// recognised and once as it ends, with its first and one-past-last sample.
// The chunking never changes what is heard or when.
//
// Method: every 4 ms a Goertzel block at each of the eight keypad
// frequencies; two windows of such blocks in a row decide. The frequency of each
// tone is estimated from the phase advance between blocks, so the frequency
// tolerance is a number rather than a filter's width; the tones must carry
// most of the window's energy and hold steady across it, which speech and
// music do not.

#include <cstddef>
#include <cstdint>

#include "zelnor/receiver/tone_blocks.h"
#include "zelnor/receiver/tone_window.h"

namespace zelnor {

// The sample rates the receiver accepts.
inline constexpr std::uint32_t kReceiverMinRate = 8000;
inline constexpr std::uint32_t kReceiverMaxRate = 48000;

// The range, and default, of the weakest tone heard, in dBm0 per tone
// (a full-scale sine is +3.14 dBm0).
inline constexpr double kReceiverLowestLevelDbm0 = -60.0;
inline constexpr double kReceiverHighestLevelDbm0 = 0.0;
inline constexpr double kDefaultMinimumLevelDbm0 = -43.0;

// One digit heard.
struct HeardDigit {
  char symbol;                 // '0'-'9', 'A'-'D', '*', '#'
  std::uint64_t start_sample;  // first sample of the tone, counted from the first sample fed
  std::uint64_t end_sample;    // one past its last sample; 0 while the digit is still sounding
};

// Called once when a digit is recognised (end_sample 0) and once when it has ended.
using DigitReport = void (*)(void* context, const HeardDigit& digit, bool ended);

// How a receiver listens.
struct ReceiverSettings {
  std::uint32_t sample_rate;                             // 8000..48000
  double minimum_level_dbm0 = kDefaultMinimumLevelDbm0;  // per tone
};

// Hears the DTMF digits in one channel's samples.
class DtmfReceiver {
 public:
  // Throws ZelnorError (ZELNOR_E_INVALID_ARGUMENT) for a rate or level out
  // of range.
  explicit DtmfReceiver(const ReceiverSettings& settings);

  // Listens to the next `count` samples (16-bit, or float with ±1.0 full scale).
  void Feed(const std::int16_t* samples, std::size_t count, DigitReport report, void* context);
  void Feed(const float* samples, std::size_t count, DigitReport report, void* context);

  // Ends a digit still sounding at the last sample fed.
  void Flush(DigitReport report, void* context);

 private:
  // Listens to samples, made floats of ±1.0 full scale by `convert` (a run
  // of them at a time: from, count, to).
  template <typename Sample, typename Convert>
  void Listen(const Sample* samples, std::size_t count, DigitReport report, void* context,
              Convert convert);
  // Judges the block just completed.
  void Judge(DigitReport report, void* context);
  // A digit the window of blocks holds.
  struct Recognised {
    char symbol;
    std::uint64_t start;
    int low;
    int high;
    float low_power;
    float high_power;
  };
  // Whether a block is loud enough and tonal enough to be part of a digit.
  bool MayHoldTones(const ToneBlock& block) const;
  // Whether the newest window of blocks holds a digit, and which.
  // A digit of symbol `sounding` (the one already reported) is not looked
  // at further: it would change nothing.
  bool Recognise(char sounding, Recognised& heard) const;
  // Whether the pair the newest window holds (of powers `mean` per block,
  // `share` of the energy) is as pure, steady, on frequency and alone in
  // its groups as a keypad's: speech and music that pass the rest do not.
  bool KeypadLike(const TunedTone& low, const TunedTone& high, const PairPower& mean,
                  float share) const;
  // Follows the digit sounding through the newest block, ending it after a gap.
  void Follow(DigitReport report, void* context);
  // Whether the newest block, with the digit's tones at `pair`, still holds
  // the digit however much quieter it has become.
  bool StillHolds(const PairPower& pair) const;

  // Reports the digit sounding as ended at `end_sample`.
  void End(std::uint64_t end_sample, DigitReport report, void* context);

  ToneBlocks blocks_;
  std::uint32_t toned_blocks_ = 0;      // which recent blocks may hold tones, newest lowest
  Recognised candidate_{};              // heard in the window before, not yet reported
  std::uint64_t last_end_ = 0;          // where the last digit reported ended
  float minimum_power_;                 // of one tone, in the blocks' units
  float tolerance_slopes_[kToneCount];  // the frequency tolerance, per tone (see InTolerance)
  // The digit sounding, or '\0'.
  HeardDigit digit_{};
  int low_ = 0;  // its tones, as indices into the tone table
  int high_ = 0;
  PairPower peak_{};                  // their strongest, per block, since it was recognised
  PairPower last_{};                  // in the last block that held it
  PairPower before_{};                // and in the one before that
  int missing_blocks_ = 0;            // blocks in a row without it
  std::uint64_t last_heard_end_ = 0;  // where it was last heard to end
  bool silent_before_ = false;        // no trace of it in the block before
  std::uint64_t pause_ = 0;           // samples of silence that end a digit
};

}  // namespace zelnor
