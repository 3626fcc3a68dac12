#pragma once
// A DTMF masker for one channel, for taking keypad tones out of call
// recordings. Muting once a receiver has heard a tone would leave its first
// 10-30 ms in, enough for a sensitive receiver, so the masker looks ahead:
// it passes the samples on a fixed Delay() late and replaces each tone from
// before its first sample to after its last. Everything else passes bit
// for bit, and the chunking never changes the output.
//
// Method: the receiver's 4 ms Goertzel blocks, judged three at a time
// (keypad_window.h). Two windows in a row that hold a keypad pair start a
// tone, looser ones carry it on; its blocks are taken out, widened by a
// margin on both sides so that the tone's edges and fades go too.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "zelnor/masker/keypad_window.h"
#include "zelnor/masker/pair_trace.h"
#include "zelnor/masker/replacement.h"
#include "zelnor/receiver/dtmf_receiver.h"
#include "zelnor/receiver/tone_blocks.h"

namespace zelnor {

// The sample rates the masker accepts: the receiver's front end's.
inline constexpr std::uint32_t kMaskerMinRate = kReceiverMinRate;
inline constexpr std::uint32_t kMaskerMaxRate = kReceiverMaxRate;

// Samples replaced, counted from the first sample processed.
struct MaskedSpan {
  std::uint64_t start_sample;
  std::uint64_t end_sample;  // one past the last
};

// Called once per span replaced, as its last sample is written. It never
// says which key it was.
using SpanReport = void (*)(void* context, const MaskedSpan& span);

// How a masker works.
struct MaskerSettings {
  std::uint32_t sample_rate;  // 8000..48000
  Replacement replacement = Replacement::kSilence;
  SpanReport report = nullptr;  // optional
  void* context = nullptr;      // passed to report
};

// Replaces the DTMF tones in one channel's samples.
class DtmfMasker {
 public:
  // Throws ZelnorError (ZELNOR_E_INVALID_ARGUMENT) for a rate out of range.
  explicit DtmfMasker(const MaskerSettings& settings);

  // Takes the next `count` samples (16-bit, or float with ±1.0 full scale)
  // and writes `count` samples to `out`: the input Delay() samples late,
  // tones replaced (the first Delay() are the silence before the stream).
  // `out` may be `in`.
  void Process(const std::int16_t* in, std::size_t count, std::int16_t* out);
  void Process(const float* in, std::size_t count, float* out);

  // Writes the last Delay() samples and ends the stream; the masker then
  // starts a new one.
  void Flush(std::int16_t* out);
  void Flush(float* out);

  // The look-ahead, in samples: 40 ms.
  [[nodiscard]] std::size_t Delay() const { return delay_.size(); }

 private:
  struct Span {
    std::int64_t start;
    std::int64_t end;
  };
  // Runs `count` samples through.
  template <typename Sample>
  void Run(const Sample* in, std::size_t count, Sample* out);
  // Judges the block just completed.
  void Judge();
  // Opens a span or widens the last one to cover [start, end).
  void Cover(std::int64_t start, std::int64_t end);
  // Whether delayed sample `n` is replaced, and by what; reports the spans
  // wholly written before it.
  bool Replace(std::int64_t n, float& replacement);
  Span& Last() { return spans_[(first_span_ + span_count_ - 1) % kSpanSlots]; }
  template <typename Sample>
  void FinishStream(Sample* out);

  // Spans decided and not yet wholly written: a few at most within the look-ahead.
  static constexpr int kSpanSlots = 8;

  MaskerSettings settings_;
  ToneBlocks blocks_;
  KeypadWindowMeter meter_;
  KeypadWindowJudge starting_;             // of a window that starts a tone
  KeypadWindowJudge starting_clean_;       // and of a purer one that starts it with less
  KeypadWindowJudge starting_long_;        // and of a longer one whose pair is steady
  KeypadWindowJudge starting_long_exact_;  // or one of whose tones is exact
  KeypadWindowJudge holding_;              // of one that holds a tone started
  Replacer replacer_;
  std::int64_t margin_;  // a block on each side of a tone's: the one it may start or end in, where
                         // it shows too little to count
  std::vector<float> delay_;  // input sample n at n % Delay()
  std::int64_t taken_ = 0;    // samples taken in
  std::size_t slot_ = 0;      // taken_ % Delay()
  Span spans_[kSpanSlots] = {};
  int first_span_ = 0;
  int span_count_ = 0;
  std::int64_t held_since_ = -1;  // first sample of a run of windows that would hold a tone
  WindowPair held_pair_;          // the pair that run holds
  WindowPair last_;               // the window before, as judged to start a tone
  WindowPair last_clean_;         // and as judged purer
  PairTrace trace_;               // the blocks the look-ahead holds
  PairLevel tone_;                // the tone last started
  std::uint32_t toned_ = 0;       // which recent windows held a tone, newest lowest
  float background_ = 0;          // mean square of the audio around tones
};

}  // namespace zelnor
