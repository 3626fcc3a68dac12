#include "zelnor/masker/dtmf_masker.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "zelnor.h"
#include "zelnor/heard_samples.h"
#include "zelnor/masker/harmonic_pair.h"
#include "zelnor/masker/pair_trace.h"
#include "zelnor/receiver/second_harmonic.h"
#include "zelnor/sse2.h"
#include "zelnor/zelnor_error.h"

namespace zelnor {
namespace {

// The pair's share of two windows in a row that start a tone, on average
// and at least, and of a window that holds one already started. Speech
// 10 dB under a tone leaves it about 90 %; a voice's harmonics, crossing
// two keypad frequencies at once, reach up to 80 % now and then; a 4 ms
// block's estimate of a tone's energy wavers by some 10 %.
constexpr float kStartShare = 0.8f;
constexpr float kStartLeastShare = 0.7f;
// Tones in tune within 1 % and steadier still start one with less of the
// windows' energy: speech over a tone takes a third of it now and then,
// and seldom holds two keypad frequencies that closely.
constexpr float kCleanStartShare = 0.65f;
constexpr float kCleanStartLeastShare = 0.55f;
// A tone off its frequency by over 1 % the same way in both windows is
// rarely a keypad's and often a voice's partial: it needs more of them.
constexpr float kDetunedStartShare = 0.9f;
constexpr float kDetunedStartLeastShare = 0.85f;
constexpr float kHeldShare = 0.5f;
// A pair with this much of the energy has the line to itself.
constexpr float kAloneShare = 0.9f;
// What a window's tones must be to start a tone: in tune within a
// receiver's 2 %, steady, twisted as a keypad's -8 to +4 dB with room for
// a line's slope (a synthesiser's two notes seldom are), and each 3 dB
// above the other tones of its group (a voice's partials crowd them) in
// one of the two windows at least (a short tone's cut edge in the other
// splashes its neighbours). Once started, speech over the tone may bend
// its phase and its twist.
constexpr WindowLimits Alone(WindowLimits limits) {
  limits.least_alone_db = 3;
  return limits;
}
constexpr WindowLimits kStartLimits = Alone({0.02, 0.9f, -12, 8});
constexpr WindowLimits kCleanStartLimits = Alone({0.01, 0.97f, -12, 8});
// Over 24 ms the pair's steady power leaves out what a voice puts near its
// frequencies; half the windows' energy then starts a tone under speech as
// loud as the tone itself, both tones within 0.5 % (a keypad's are; a
// voice's or an instrument's partials seldom both), or one within 0.15 %
// and the other, which speech beside it may bend, within 2 %.
constexpr int kLongBlocks = 2 * KeypadWindowJudge::kBlocks;
constexpr WindowLimits kLongLimits = Alone({0.005, 0.95f, -12, 8, kLongBlocks, true});
constexpr WindowLimits OneExact(WindowLimits limits) {
  limits.exact_tolerance = 0.0015;
  limits.exact_coherence = 0.99f;
  return limits;
}
constexpr WindowLimits kLongExactLimits = OneExact(Alone({0.02, 0.7f, -12, 8, kLongBlocks, true}));
constexpr float kLongShare = 0.5f;
// A second harmonic within 20 dB of its tone and 8 dB above the rest of
// the sound (the receiver's test) marks an instrument's note or a voice:
// a keypad's tones are sines. Asked of the longer window only, which
// starts a tone on the least evidence.
constexpr float kMostHarmonic = 0.01f;
constexpr float kHarmonicPeak = 6.3f;
constexpr WindowLimits kHeldLimits = {0.03, 0.8f, -20, 20};
// No window's pair counts for anything with less of its energy: below it
// the windows are not judged at all (most of all silence and speech).
constexpr float kLeastShare = 0.5f;
static_assert(kLeastShare <= kStartLeastShare && kLeastShare <= kCleanStartLeastShare &&
                  kLeastShare <= kHeldShare && kLeastShare <= kLongShare,
              "every judge's pair that counts is judged");
// The longer window's steady share is at most its blocks' share: asked of
// the blocks, with room for rounding.
constexpr float kLongLeastShare = 0.9f * kLongShare;
// The look-ahead, in blocks: 40 ms. A tone is known at the end of its
// second window, and must still be unwritten a window and a margin before
// the first.
constexpr int kDelayBlocks = 10;
static_assert(kDelayBlocks >= 2 * KeypadWindowJudge::kBlocks + 1 + 2,
              "a tone's start must be unwritten");
static_assert(PairTrace::kBlocks == kDelayBlocks, "a tone is traced back over the look-ahead");

std::uint32_t CheckedRate(std::uint32_t rate) {
  if (rate < kMaskerMinRate || rate > kMaskerMaxRate) {
    throw ZelnorError(ZELNOR_E_INVALID_ARGUMENT, "sample rate out of range");
  }
  return rate;
}

// A sample into the delay line: 16-bit ones exactly, as the multiple of
// 2^-15 they are; floats copied as bytes, so that even a signalling NaN
// passes bit for bit (an x87 load would quieten it).
void Keep(std::int16_t x, float& slot) { slot = x * (1.0f / 32768); }
void Keep(const float& x, float& slot) { std::memcpy(&slot, &x, sizeof slot); }

// std::lround of a float within 16 bits, without the call: in double,
// x +- 0.5 is exact, so cutting it towards zero rounds halves away from it.
int RoundedHalfAway(float x) {
  const double d = x;
  return static_cast<int>(d >= 0 ? d + 0.5 : d - 0.5);
}

// A sample out: floats as bytes again, others rounded and clipped.
void Write(const float& x, float& out) { std::memcpy(&out, &x, sizeof out); }
void Write(const float& x, std::int16_t& out) {
  const float scaled = x * 32768;
  out = std::isnan(scaled) ? std::int16_t{0}
        : scaled <= -32768 ? std::int16_t{-32768}
        : scaled >= 32767  ? std::int16_t{32767}
                           : static_cast<std::int16_t>(RoundedHalfAway(scaled));
}

// A sample through the delay line: the one kept there out, the one coming
// in kept and heard. Taken before `out` is written: a caller may mask in
// place.
template <typename Sample>
void Pass(const Sample& in, float& slot, Sample& out, float& heard) {
  float incoming;
  Keep(in, incoming);
  Write(slot, out);
  std::memcpy(&slot, &incoming, sizeof slot);
  heard = HeardSample(slot);
}

// `n` samples through the delay line.
void PassAll(const float* in, std::size_t n, float* slots, float* out, float* heard) {
  for (std::size_t i = 0; i < n; ++i) Pass(in[i], slots[i], out[i], heard[i]);
}

#if ZELNOR_HAVE_SSE2
// Write of four floats to 16 bits, the same values: clipped, what is not a
// number 0, halves rounded away from 0.
__m128i Written(const __m128& x) {
  const __m128 scaled = _mm_mul_ps(x, _mm_set1_ps(32768.0f));
  const __m128 clipped =
      _mm_min_ps(_mm_max_ps(scaled, _mm_set1_ps(-32768.0f)), _mm_set1_ps(32767.0f));
  const __m128i cut = _mm_cvttps_epi32(clipped);
  const __m128 rest = _mm_sub_ps(clipped, _mm_cvtepi32_ps(cut));
  __m128i rounded = _mm_sub_epi32(cut, _mm_castps_si128(_mm_cmpge_ps(rest, _mm_set1_ps(0.5f))));
  rounded = _mm_add_epi32(rounded, _mm_castps_si128(_mm_cmple_ps(rest, _mm_set1_ps(-0.5f))));
  return _mm_and_si128(rounded, _mm_castps_si128(_mm_cmpord_ps(scaled, scaled)));
}
#endif

void PassAll(const std::int16_t* in, std::size_t n, float* slots, std::int16_t* out, float* heard) {
  std::size_t i = 0;
#if ZELNOR_HAVE_SSE2
  // Eight at a time, the same values: a 16-bit sample is heard as it is kept.
  const __m128 scale = _mm_set1_ps(1.0f / 32768);
  for (; i + 8 <= n; i += 8) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    const __m128 low =
        _mm_mul_ps(_mm_cvtepi32_ps(_mm_srai_epi32(_mm_unpacklo_epi16(v, v), 16)), scale);
    const __m128 high =
        _mm_mul_ps(_mm_cvtepi32_ps(_mm_srai_epi32(_mm_unpackhi_epi16(v, v), 16)), scale);
    const __m128i kept =
        _mm_packs_epi32(Written(_mm_loadu_ps(slots + i)), Written(_mm_loadu_ps(slots + i + 4)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), kept);
    _mm_storeu_ps(slots + i, low);
    _mm_storeu_ps(slots + i + 4, high);
    _mm_storeu_ps(heard + i, low);
    _mm_storeu_ps(heard + i + 4, high);
  }
#endif
  for (; i < n; ++i) Pass(in[i], slots[i], out[i], heard[i]);
}

// background + (mean_square - background) / 8, as the floats give it. Over
// digital silence the mean decays into the subnormal range and stays there
// (an eighth of a few of its least steps rounds to nothing), where the
// hardware takes many times longer: there it is worked out in those steps.
float Followed(float background, float mean_square) {
  std::uint32_t steps;
  std::memcpy(&steps, &background, sizeof steps);
  if (mean_square == 0 && steps < 0x00800000u) {
    // The eighth rounded to the nearest step, a tie to even.
    const std::uint32_t eighth = steps >> 3;
    const std::uint32_t rest = steps & 7u;
    steps -= eighth + ((rest > 4 || (rest == 4 && (eighth & 1u) != 0)) ? 1u : 0u);
    std::memcpy(&background, &steps, sizeof steps);
    return background;
  }
  return background + (mean_square - background) * 0.125f;
}

// Whether two windows in a row hold the same pair with enough of their
// energy, at least `least` each and `mean` on average, alone in one.
bool StartsTone(const WindowPair& now, const WindowPair& before, float least, float mean) {
  return now.share >= least && before.share >= least && now.Same(before) &&
         now.share + before.share >= 2 * mean && !(now.crowded && before.crowded);
}

// The same, asking more where a tone is detuned the same way in both.
bool StartsTone(const WindowPair& now, const WindowPair& before) {
  return (now.detuned & before.detuned) != 0
             ? StartsTone(now, before, kDetunedStartLeastShare, kDetunedStartShare)
             : StartsTone(now, before, kStartLeastShare, kStartShare);
}

// Whether a pair found with other sound about it looks like a voice's
// harmonics; a pair alone on the line, splattering at its cut edges, never
// does.
bool AmidHarmonics(const ToneBlocks& blocks, const WindowPair& pair) {
  return pair.share < kAloneShare && LooksHarmonic(blocks, pair.low, pair.high);
}

// Whether the longer window's pair carries a second harmonic.
bool HasHarmonics(const ToneBlocks& blocks, const WindowPair& pair) {
  const Harmonic harmonic = SecondHarmonic(blocks, kLongBlocks, pair.low, 0, pair.high, 0);
  return harmonic.against_tone > kMostHarmonic && harmonic.against_rest > kHarmonicPeak;
}

}  // namespace

DtmfMasker::DtmfMasker(const MaskerSettings& settings)
    : settings_(settings),
      blocks_(CheckedRate(settings.sample_rate)),
      meter_(blocks_),
      starting_(blocks_, kStartLimits),
      starting_clean_(blocks_, kCleanStartLimits),
      starting_long_(blocks_, kLongLimits),
      starting_long_exact_(blocks_, kLongExactLimits),
      holding_(blocks_, kHeldLimits),
      replacer_(settings.replacement, settings.sample_rate),
      margin_(static_cast<std::int64_t>(blocks_.Length())),
      delay_(kDelayBlocks * blocks_.Length(), 0.0f),
      trace_(blocks_) {}

void DtmfMasker::Process(const std::int16_t* in, std::size_t count, std::int16_t* out) {
  Run(in, count, out);
}

void DtmfMasker::Process(const float* in, std::size_t count, float* out) { Run(in, count, out); }

void DtmfMasker::Flush(std::int16_t* out) { FinishStream(out); }

void DtmfMasker::Flush(float* out) { FinishStream(out); }

template <typename Sample>
void DtmfMasker::Run(const Sample* in, std::size_t count, Sample* out) {
  const auto delay = static_cast<std::int64_t>(Delay());
  while (count > 0) {
    const std::size_t n = std::min(count, blocks_.Room());
    float* space = blocks_.Space();
    // A block's samples lie in one stretch of the delay line: it holds a
    // whole number of blocks.
    float* slots = delay_.data() + slot_;
    // Before the first span starts, nothing is replaced and no span ends;
    // inside it, everything is replaced.
    const std::int64_t written = taken_ - delay;
    const std::int64_t last = written + static_cast<std::int64_t>(n);
    const Span first = span_count_ > 0 ? spans_[first_span_] : Span{last, last};
    if (last <= std::min(first.start, first.end)) {
      PassAll(in, n, slots, out, space);
    } else if (written >= first.start && last <= first.end) {
      PassAll(in, n, slots, out, space);
      if (replacer_.Silent()) {
        std::fill(out, out + n, Sample{0});
      } else {
        for (std::size_t i = 0; i < n; ++i) {
          Write(replacer_.At(written + static_cast<std::int64_t>(i), first.start, first.end,
                             background_),
                out[i]);
        }
      }
    } else {
      for (std::size_t i = 0; i < n; ++i) {
        float replacement = 0;
        const bool replaced = Replace(written + static_cast<std::int64_t>(i), replacement);
        Pass(in[i], slots[i], out[i], space[i]);
        if (replaced) Write(replacement, out[i]);
      }
    }
    taken_ += static_cast<std::int64_t>(n);
    slot_ += n;
    if (slot_ == delay_.size()) slot_ = 0;
    in += n;
    out += n;
    count -= n;
    if (blocks_.Add(n)) Judge();
  }
}

template <typename Sample>
void DtmfMasker::FinishStream(Sample* out) {
  // The last, partial block is judged as if silence followed.
  if (blocks_.Room() < blocks_.Length()) {
    const std::size_t room = blocks_.Room();
    std::fill(blocks_.Space(), blocks_.Space() + room, 0.0f);
    blocks_.Add(room);
    Judge();
  }
  for (int i = 0; i < span_count_; ++i) {
    Span& span = spans_[(first_span_ + i) % kSpanSlots];
    span.end = std::min(span.end, taken_);
  }
  const auto delay = static_cast<std::int64_t>(Delay());
  for (std::int64_t n = taken_ - delay; n < taken_; ++n) {
    float replacement = 0;
    const float& kept = delay_[static_cast<std::size_t>((n + delay) % delay)];
    Write(Replace(n, replacement) ? replacement : kept, *out++);
  }
  float unused = 0;
  Replace(taken_, unused);  // reports the spans left
  *this = DtmfMasker(settings_);
}

bool DtmfMasker::Replace(std::int64_t n, float& replacement) {
  while (span_count_ > 0 && n >= spans_[first_span_].end) {
    const Span& done = spans_[first_span_];
    if (settings_.report != nullptr) {
      settings_.report(settings_.context, {static_cast<std::uint64_t>(done.start),
                                           static_cast<std::uint64_t>(done.end)});
    }
    first_span_ = (first_span_ + 1) % kSpanSlots;
    --span_count_;
  }
  if (span_count_ == 0 || n < spans_[first_span_].start) return false;
  const Span& span = spans_[first_span_];
  replacement = replacer_.At(n, span.start, span.end, background_);
  return true;
}

void DtmfMasker::Judge() {
  const auto end = static_cast<std::int64_t>(blocks_.Recent(0).first_sample + blocks_.Length());
  trace_.Add(blocks_.Recent(0));
  // Two windows in a row, 16 ms, on the same pair start a tone: a tapped
  // key of 12 ms fills both well.
  // One window of each length for every judge of it. A pair with less
  // than kLeastShare starts and holds nothing: no judge sees it, and the
  // pair taken for a start (now's where it has one) is not asked for.
  const KeypadWindow short_window =
      meter_.Measure(blocks_, KeypadWindowJudge::kBlocks, kLeastShare);
  const WindowPair now = starting_.Judge(short_window);
  const WindowPair clean = starting_clean_.Judge(short_window);
  const bool starts = (StartsTone(now, last_) && !AmidHarmonics(blocks_, now)) ||
                      (StartsTone(clean, last_clean_, kCleanStartLeastShare, kCleanStartShare) &&
                       !AmidHarmonics(blocks_, clean));
  // A longer window starts a tone only where no span has reached into it:
  // a tone's last blocks alone would otherwise widen its span. Where one
  // has, or a tone starts anyway, it is not judged at all.
  const auto long_window = static_cast<std::int64_t>(kLongBlocks * blocks_.Length());
  const bool open = span_count_ > 0 && Last().end >= end - long_window;
  WindowPair longer;
  if (!starts && !open) {
    const KeypadWindow window = meter_.Measure(blocks_, kLongBlocks, kLongLeastShare);
    longer = starting_long_.Judge(window);
    if (longer.share < kLongShare || longer.crowded) longer = starting_long_exact_.Judge(window);
  }
  const bool starts_long = !starts && !open && longer.share >= kLongShare && !longer.crowded &&
                           !AmidHarmonics(blocks_, longer) && !HasHarmonics(blocks_, longer);
  last_ = now;
  last_clean_ = clean;
  toned_ = (toned_ << 1) | (now.share >= kStartLeastShare ? 1u : 0u);
  // A block is the audio around tones when no window that holds it or its
  // neighbours held a tone (a tone's edge blocks hold too little of it to
  // show): the block four back, once six windows have not.
  constexpr int kAge = KeypadWindowJudge::kBlocks + 1;
  constexpr std::uint32_t kWindows = (1u << (kAge + 2)) - 1;
  if ((toned_ & kWindows) == 0 && blocks_.Filled() > kAge) {
    const float mean_square = blocks_.Recent(kAge).energy / static_cast<float>(blocks_.Length());
    background_ = Followed(background_, mean_square);
  }
  const auto window = static_cast<std::int64_t>(KeypadWindowJudge::kBlocks * blocks_.Length());
  const auto length = static_cast<std::int64_t>(blocks_.Length());
  // Windows that would hold a pair once started, in a run on that pair:
  // speech over a tone's start can spoil its first windows for starting
  // one, and the tone then reaches back over them, by a window at most,
  // for music's sake.
  const WindowPair hold = holding_.Judge(short_window);
  const bool held = hold.share >= kHeldShare;
  if (!held) {
    held_since_ = -1;
  } else if (held_since_ < 0 || !hold.Same(held_pair_)) {
    held_since_ = end - window;
    held_pair_ = hold;
  }
  if (starts || starts_long) {
    const WindowPair& pair = starts_long ? longer : now.share > 0 ? now : clean;
    tone_ = trace_.Level(pair.low, pair.high, 2 * KeypadWindowJudge::kBlocks - 2);
    // Back over the blocks that still hold the pair, within the look-ahead;
    // a tone taken out since before that needs no tracing (the span only
    // grows).
    const int first_age = KeypadWindowJudge::kBlocks;
    const std::int64_t first = end - window - length;
    if (span_count_ > 0 && Last().end >= first - margin_) {
      Last().end = std::max(Last().end, end + margin_);
    } else {
      const std::int64_t traced = first - trace_.HeldFrom(first_age + 1, tone_) * length;
      const std::int64_t reach =
          held_since_ >= 0 && (now.Same(held_pair_) || clean.Same(held_pair_))
              ? std::max(held_since_, first - window)
              : first;
      Cover(std::min(reach, traced) - margin_, end + margin_);
    }
  } else if (held && trace_.Keeps(tone_) && span_count_ > 0 && end - window <= Last().end) {
    // A tone being taken out goes on being taken out through speech that
    // spoils its purity and its phase, while a window holds a pair and the
    // blocks keep the tone's power: not through speech that carries on
    // after, even on the same partials.
    Last().end = std::max(Last().end, end + margin_);
  }
}

void DtmfMasker::Cover(std::int64_t start, std::int64_t end) {
  // Samples already written stay as they were.
  const std::int64_t unwritten =
      std::max<std::int64_t>(0, taken_ - static_cast<std::int64_t>(Delay()));
  start = std::max(start, unwritten);
  if (span_count_ > 0 && start <= Last().end) {
    Last().end = std::max(Last().end, end);
    return;
  }
  if (span_count_ == kSpanSlots) {
    // Cannot happen within a look-ahead of a few spans; widen rather than drop.
    Last().end = end;
    return;
  }
  spans_[(first_span_ + span_count_) % kSpanSlots] = {start, end};
  ++span_count_;
}

}  // namespace zelnor
