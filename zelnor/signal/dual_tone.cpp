#include "zelnor/signal/dual_tone.h"

#include <algorithm>
#include <cmath>

#include "zelnor/signal/phase_sine.h"

// SSE2 is the baseline of every x86 build (-msse2 -mfpmath=sse, or MSVC's
// default); other machines take the scalar loop, which does the same double
// operations in the same order.
#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define ZELNOR_HAVE_SSE2 1
#include <emmintrin.h>
#endif

namespace zelnor {
namespace {

constexpr size_t kGroup = 4;
// Rounding errors of the recursion stay far below a 16-bit step over
// hundreds of thousands of samples; restarting this often bounds them
// whatever the tone's length, at a cost too small to measure.
constexpr size_t kRestartGroups = 1024;
constexpr double kPhaseSteps = 4294967296.0;  // 2^32: one turn

// Gains of a group, or none between the fades. Templated on it, so the
// steady loop carries no test.
template <bool kFaded>
void Steps(double low_coefficient, double high_coefficient, DualTone::Chains& low,
           DualTone::Chains& high, const double* gains, size_t groups, int16_t* out) {
#if ZELNOR_HAVE_SSE2
  const __m128d low_c = _mm_set1_pd(low_coefficient);
  const __m128d high_c = _mm_set1_pd(high_coefficient);
  __m128d low_last0 = _mm_loadu_pd(low.last), low_last1 = _mm_loadu_pd(low.last + 2);
  __m128d low_before0 = _mm_loadu_pd(low.before), low_before1 = _mm_loadu_pd(low.before + 2);
  __m128d high_last0 = _mm_loadu_pd(high.last), high_last1 = _mm_loadu_pd(high.last + 2);
  __m128d high_before0 = _mm_loadu_pd(high.before), high_before1 = _mm_loadu_pd(high.before + 2);
  for (size_t i = 0; i < groups; ++i) {
    const __m128d low0 = _mm_sub_pd(_mm_mul_pd(low_c, low_last0), low_before0);
    const __m128d low1 = _mm_sub_pd(_mm_mul_pd(low_c, low_last1), low_before1);
    const __m128d high0 = _mm_sub_pd(_mm_mul_pd(high_c, high_last0), high_before0);
    const __m128d high1 = _mm_sub_pd(_mm_mul_pd(high_c, high_last1), high_before1);
    low_before0 = low_last0, low_before1 = low_last1, low_last0 = low0, low_last1 = low1;
    high_before0 = high_last0, high_before1 = high_last1, high_last0 = high0, high_last1 = high1;
    __m128d mix0 = _mm_add_pd(low0, high0);
    __m128d mix1 = _mm_add_pd(low1, high1);
    if constexpr (kFaded) {
      mix0 = _mm_mul_pd(mix0, _mm_loadu_pd(gains + i * kGroup));
      mix1 = _mm_mul_pd(mix1, _mm_loadu_pd(gains + i * kGroup + 2));
    }
    // Rounds to nearest (the default mode); packing saturates to 16 bits.
    const __m128i whole = _mm_unpacklo_epi64(_mm_cvtpd_epi32(mix0), _mm_cvtpd_epi32(mix1));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i * kGroup), _mm_packs_epi32(whole, whole));
  }
  _mm_storeu_pd(low.last, low_last0), _mm_storeu_pd(low.last + 2, low_last1);
  _mm_storeu_pd(low.before, low_before0), _mm_storeu_pd(low.before + 2, low_before1);
  _mm_storeu_pd(high.last, high_last0), _mm_storeu_pd(high.last + 2, high_last1);
  _mm_storeu_pd(high.before, high_before0), _mm_storeu_pd(high.before + 2, high_before1);
#else
  for (size_t i = 0; i < groups; ++i) {
    for (size_t k = 0; k < kGroup; ++k) {
      const double low_now = low_coefficient * low.last[k] - low.before[k];
      const double high_now = high_coefficient * high.last[k] - high.before[k];
      low.before[k] = low.last[k], low.last[k] = low_now;
      high.before[k] = high.last[k], high.last[k] = high_now;
      double mix = low_now + high_now;
      if constexpr (kFaded) mix *= gains[i * kGroup + k];
      out[i * kGroup + k] =
          static_cast<int16_t>(std::clamp(std::nearbyint(mix), -32768.0, 32767.0));
    }
  }
#endif
}

}  // namespace

Fades::Fades(size_t ramp_samples, size_t tone_samples)
    : ramp(ramp_samples),
      tone(tone_samples),
      in(ramp + kGroup, 1.0),
      out(kGroup + ramp + 2 * kGroup, 0.0) {
  std::fill_n(out.begin(), kGroup, 1.0);
  for (size_t i = 0; i < ramp; ++i) {
    // A raised cosine sampled at the middle of each sample.
    const double half_turns = (i + 0.5) / ramp;
    const auto phase = static_cast<uint32_t>(std::llround(half_turns / 2 * kPhaseSteps));
    in[i] = 0.5 - 0.5 * CosineOfPhase(phase);
    out[kGroup + ramp - 1 - i] = in[i];
  }
}

DualTone::DualTone(Sine low, Sine high, const Fades* fades)
    : low_(low),
      high_(high),
      low_coefficient_(2 * CosineOfPhase(low.step * static_cast<uint32_t>(kGroup))),
      high_coefficient_(2 * CosineOfPhase(high.step * static_cast<uint32_t>(kGroup))),
      fades_(fades),
      length_(fades->tone) {}

void DualTone::Restart(size_t group) {
  const auto first = static_cast<uint32_t>(group * kGroup);
  for (uint32_t k = 0; k < kGroup; ++k) {
    const uint32_t last = first - kGroup + k;
    const uint32_t before = first - 2 * kGroup + k;
    low_chains_.last[k] = low_.amplitude * SineOfPhase(low_.step * last);
    low_chains_.before[k] = low_.amplitude * SineOfPhase(low_.step * before);
    high_chains_.last[k] = high_.amplitude * SineOfPhase(high_.step * last);
    high_chains_.before[k] = high_.amplitude * SineOfPhase(high_.step * before);
  }
}

void DualTone::RenderGroups(int16_t* out, size_t first_group, size_t groups) {
  // Groups that start in the fade-in; groups wholly between the fades, which
  // skip the gain; groups that reach into the fade-out.
  const size_t ramp = fades_->ramp;
  const size_t rising_end = (ramp + kGroup - 1) / kGroup;
  const size_t steady_end = std::max(rising_end, (length_ - ramp) / kGroup);
  const size_t end = first_group + groups;
  for (size_t group = first_group; group < end;) {
    if (group % kRestartGroups == 0) Restart(group);
    size_t limit = std::min(end, (group / kRestartGroups + 1) * kRestartGroups);
    int16_t* const at = out + (group - first_group) * kGroup;
    if (group < rising_end) {
      limit = std::min(limit, rising_end);
      Steps<true>(low_coefficient_, high_coefficient_, low_chains_, high_chains_,
                  fades_->in.data() + group * kGroup, limit - group, at);
    } else if (group < steady_end) {
      limit = std::min(limit, steady_end);
      Steps<false>(low_coefficient_, high_coefficient_, low_chains_, high_chains_, nullptr,
                   limit - group, at);
    } else {
      Steps<true>(low_coefficient_, high_coefficient_, low_chains_, high_chains_,
                  fades_->out.data() + kGroup + group * kGroup - (length_ - ramp), limit - group,
                  at);
    }
    group = limit;
  }
}

void DualTone::Render(int16_t* out, size_t count) {
  size_t done = 0;
  if (const size_t into_group = position_ % kGroup; into_group != 0) {
    done = std::min(count, kGroup - into_group);
    std::copy_n(partial_ + into_group, done, out);
  }
  const size_t groups = (count - done) / kGroup;
  RenderGroups(out + done, (position_ + done) / kGroup, groups);
  done += groups * kGroup;
  if (done < count) {
    RenderGroups(partial_, (position_ + done) / kGroup, 1);
    std::copy_n(partial_, count - done, out + done);
  }
  position_ += count;
}

}  // namespace zelnor
