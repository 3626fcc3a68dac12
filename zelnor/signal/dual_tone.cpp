#include "zelnor/signal/dual_tone.h"

#include <algorithm>
#include <cmath>

#include "zelnor/signal/phase_sine.h"
#include "zelnor/sse2.h"

namespace zelnor {
namespace {

constexpr double kPhaseSteps = 4294967296.0;  // 2^32: one turn
// A rotation's rounding error is a few parts in 10^16 of the amplitude;
// taking the exact phase again every so many blocks keeps the sum of them
// far below a 16-bit step, at a small share of the cost of each block.
constexpr size_t kExactEveryBlocks = 16;
constexpr size_t kQuad = 4;

// The phase at a block's start and the two tables, for one run of samples
// within the block.
struct Run {
  float low_sine, low_cosine, high_sine, high_cosine;
  const SineTable* low;
  const SineTable* high;
  size_t first;  // the run's first sample, within the block
};

// Sample j of the run before rounding: A sin(p + jw) = sin p (A cos jw) +
// cos p (A sin jw) for each tone.
inline float Mixed(const Run& run, size_t j) {
  const size_t at = run.first + j;
  const float low = run.low_sine * run.low->Cosine(at) + run.low_cosine * run.low->Sine(at);
  const float high = run.high_sine * run.high->Cosine(at) + run.high_cosine * run.high->Sine(at);
  return low + high;
}

#if ZELNOR_HAVE_SSE2

// Rounds to nearest (the default mode), saturating to 16 bits.
inline int16_t ToSample(float value) {
  const __m128i whole = _mm_cvtps_epi32(_mm_set_ss(value));
  return static_cast<int16_t>(_mm_cvtsi128_si32(_mm_packs_epi32(whole, whole)));
}

// `gains` null between the fades; templated on it, so the steady loop
// carries no test. The same operations as Mixed, four samples at a time.
template <bool kFaded>
void RenderRun(const Run& run, const float* gains, size_t count, int16_t* out) {
  size_t j = 0;
  const auto one = [&] {
    out[j] = ToSample(kFaded ? Mixed(run, j) * gains[j] : Mixed(run, j));
    ++j;
  };
  // The tables hold their quads from every fourth sample on.
  while ((run.first + j) % kQuad != 0 && j < count) one();
  const __m128 low_sine = _mm_set1_ps(run.low_sine), low_cosine = _mm_set1_ps(run.low_cosine);
  const __m128 high_sine = _mm_set1_ps(run.high_sine), high_cosine = _mm_set1_ps(run.high_cosine);
  const float* low = run.low->QuadsFrom(run.first + j);
  const float* high = run.high->QuadsFrom(run.first + j);
  const auto four = [&](size_t at) {
    const float* low_quad = low + 2 * at;
    const float* high_quad = high + 2 * at;
    const __m128 low_now = _mm_add_ps(_mm_mul_ps(low_sine, _mm_loadu_ps(low_quad)),
                                      _mm_mul_ps(low_cosine, _mm_loadu_ps(low_quad + 4)));
    const __m128 high_now = _mm_add_ps(_mm_mul_ps(high_sine, _mm_loadu_ps(high_quad)),
                                       _mm_mul_ps(high_cosine, _mm_loadu_ps(high_quad + 4)));
    __m128 mix = _mm_add_ps(low_now, high_now);
    if constexpr (kFaded) mix = _mm_mul_ps(mix, _mm_loadu_ps(gains + j + at));
    return _mm_cvtps_epi32(mix);
  };
  for (; j + 2 * kQuad <= count; j += 2 * kQuad, low += 4 * kQuad, high += 4 * kQuad) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + j), _mm_packs_epi32(four(0), four(kQuad)));
  }
  if (j + kQuad <= count) {
    const __m128i samples = four(0);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + j), _mm_packs_epi32(samples, samples));
    j += kQuad;
  }
  while (j < count) one();
}

#else

template <bool kFaded>
void RenderRun(const Run& run, const float* gains, size_t count, int16_t* out) {
  for (size_t j = 0; j < count; ++j) {
    const float mix = kFaded ? Mixed(run, j) * gains[j] : Mixed(run, j);
    out[j] = static_cast<int16_t>(std::clamp(std::nearbyint(mix), -32768.0f, 32767.0f));
  }
}

#endif

}  // namespace

SineTable::SineTable(uint32_t phase_step, double peak)
    : step(phase_step),
      amplitude(peak),
      quads(2 * kSineBlock),
      block_cosine(CosineOfPhase(static_cast<uint32_t>(kSineBlock) * step)),
      block_sine(SineOfPhase(static_cast<uint32_t>(kSineBlock) * step)) {
  for (uint32_t j = 0; j < kSineBlock; ++j) {
    const SineAndCosine at = SineAndCosineOfPhase(j * step);
    quads[2 * (j & ~3u) + (j & 3)] = static_cast<float>(amplitude * at.cosine);
    quads[2 * (j & ~3u) + 4 + (j & 3)] = static_cast<float>(amplitude * at.sine);
  }
}

Fades::Fades(size_t ramp_samples, size_t tone_samples)
    : ramp(ramp_samples), tone(tone_samples), rise(ramp), fall(ramp) {
  for (size_t i = 0; i < ramp; ++i) {
    // A raised cosine sampled at the middle of each sample.
    const double half_turns = (i + 0.5) / ramp;
    const auto phase = static_cast<uint32_t>(std::llround(half_turns / 2 * kPhaseSteps));
    rise[i] = static_cast<float>(0.5 - 0.5 * CosineOfPhase(phase));
    fall[ramp - 1 - i] = rise[i];
  }
}

DualTone::DualTone(const SineTable* low, const SineTable* high, const Fades* fades)
    : low_(low), high_(high), fades_(fades), length_(fades->tone) {
  StartBlock(0);
}

void DualTone::StartBlock(size_t block) {
  if (block == 0) {
    low_sine_ = high_sine_ = 0;
    low_cosine_ = high_cosine_ = 1;
  } else if (block % kExactEveryBlocks == 0) {
    const auto first = static_cast<uint32_t>(block * kSineBlock);
    const SineAndCosine low = SineAndCosineOfPhase(first * low_->step);
    const SineAndCosine high = SineAndCosineOfPhase(first * high_->step);
    low_sine_ = low.sine, low_cosine_ = low.cosine;
    high_sine_ = high.sine, high_cosine_ = high.cosine;
  } else {
    const double low_sine = low_sine_, high_sine = high_sine_;
    low_sine_ = low_sine * low_->block_cosine + low_cosine_ * low_->block_sine;
    low_cosine_ = low_cosine_ * low_->block_cosine - low_sine * low_->block_sine;
    high_sine_ = high_sine * high_->block_cosine + high_cosine_ * high_->block_sine;
    high_cosine_ = high_cosine_ * high_->block_cosine - high_sine * high_->block_sine;
  }
  block_ = block;
}

void DualTone::Render(int16_t* out, size_t count) {
  const size_t ramp = fades_->ramp;
  const size_t fall_start = length_ - ramp;
  while (count > 0) {
    if (position_ / kSineBlock != block_) StartBlock(position_ / kSineBlock);
    const size_t j = position_ % kSineBlock;
    // A run ends with the block, the request, or where the gain changes
    // kind (the fade-in's end, the fade-out's start).
    size_t n = std::min(count, kSineBlock - j);
    if (position_ < ramp) n = std::min(n, ramp - position_);
    if (position_ < fall_start) n = std::min(n, fall_start - position_);
    const Run run{static_cast<float>(low_sine_),
                  static_cast<float>(low_cosine_),
                  static_cast<float>(high_sine_),
                  static_cast<float>(high_cosine_),
                  low_,
                  high_,
                  j};
    if (position_ < ramp) {
      RenderRun<true>(run, fades_->rise.data() + position_, n, out);
    } else if (position_ < fall_start) {
      RenderRun<false>(run, nullptr, n, out);
    } else {
      RenderRun<true>(run, fades_->fall.data() + (position_ - fall_start), n, out);
    }
    out += n;
    position_ += n;
    count -= n;
  }
}

}  // namespace zelnor
