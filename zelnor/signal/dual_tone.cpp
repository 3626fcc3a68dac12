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

}  // namespace

DualTone::DualTone(Sine low, Sine high, size_t length, const std::vector<double>* rise)
    : low_(low),
      high_(high),
      low_coefficient_(2 * CosineOfPhase(low.step * static_cast<uint32_t>(kGroup))),
      high_coefficient_(2 * CosineOfPhase(high.step * static_cast<uint32_t>(kGroup))),
      length_(length),
      rise_(rise) {}

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

namespace {

// The fade's gain at sample `at` of a tone of `length`; 0 past its end,
// where the last group of a tone reaches beyond it.
double Gain(const std::vector<double>& rise, size_t length, size_t at) {
  if (at >= length) return 0;
  if (at < rise.size()) return rise[at];
  if (at >= length - rise.size()) return rise[length - 1 - at];
  return 1;
}

#if ZELNOR_HAVE_SSE2

template <bool kFaded>
void Steps(double low_coefficient, double high_coefficient, double (&low_last)[4],
           double (&low_before)[4], double (&high_last)[4], double (&high_before)[4],
           const std::vector<double>& rise, size_t length, size_t first_group, size_t groups,
           int16_t* out) {
  const __m128d low_c = _mm_set1_pd(low_coefficient);
  const __m128d high_c = _mm_set1_pd(high_coefficient);
  __m128d low_last0 = _mm_loadu_pd(low_last), low_last1 = _mm_loadu_pd(low_last + 2);
  __m128d low_before0 = _mm_loadu_pd(low_before), low_before1 = _mm_loadu_pd(low_before + 2);
  __m128d high_last0 = _mm_loadu_pd(high_last), high_last1 = _mm_loadu_pd(high_last + 2);
  __m128d high_before0 = _mm_loadu_pd(high_before), high_before1 = _mm_loadu_pd(high_before + 2);
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
      const size_t at = (first_group + i) * kGroup;
      mix0 = _mm_mul_pd(mix0, _mm_set_pd(Gain(rise, length, at + 1), Gain(rise, length, at)));
      mix1 = _mm_mul_pd(mix1, _mm_set_pd(Gain(rise, length, at + 3), Gain(rise, length, at + 2)));
    }
    // Rounds to nearest (the default mode); packing saturates to 16 bits.
    const __m128i whole = _mm_unpacklo_epi64(_mm_cvtpd_epi32(mix0), _mm_cvtpd_epi32(mix1));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i * kGroup), _mm_packs_epi32(whole, whole));
  }
  _mm_storeu_pd(low_last, low_last0), _mm_storeu_pd(low_last + 2, low_last1);
  _mm_storeu_pd(low_before, low_before0), _mm_storeu_pd(low_before + 2, low_before1);
  _mm_storeu_pd(high_last, high_last0), _mm_storeu_pd(high_last + 2, high_last1);
  _mm_storeu_pd(high_before, high_before0), _mm_storeu_pd(high_before + 2, high_before1);
}

#else

template <bool kFaded>
void Steps(double low_coefficient, double high_coefficient, double (&low_last)[4],
           double (&low_before)[4], double (&high_last)[4], double (&high_before)[4],
           const std::vector<double>& rise, size_t length, size_t first_group, size_t groups,
           int16_t* out) {
  for (size_t i = 0; i < groups; ++i) {
    for (size_t k = 0; k < kGroup; ++k) {
      const double low = low_coefficient * low_last[k] - low_before[k];
      const double high = high_coefficient * high_last[k] - high_before[k];
      low_before[k] = low_last[k], low_last[k] = low;
      high_before[k] = high_last[k], high_last[k] = high;
      double mix = low + high;
      if constexpr (kFaded) mix *= Gain(rise, length, (first_group + i) * kGroup + k);
      out[i * kGroup + k] =
          static_cast<int16_t>(std::clamp(std::nearbyint(mix), -32768.0, 32767.0));
    }
  }
}

#endif

}  // namespace

void DualTone::RenderGroups(int16_t* out, size_t first_group, size_t groups) {
  // Groups wholly between the fades skip the gain.
  const size_t ramp = rise_->size();
  const size_t steady_first = (ramp + kGroup - 1) / kGroup;
  const size_t steady_end = (length_ - ramp) / kGroup;
  const size_t end = first_group + groups;
  for (size_t group = first_group; group < end;) {
    if (group % kRestartGroups == 0) Restart(group);
    size_t limit = std::min(end, (group / kRestartGroups + 1) * kRestartGroups);
    const bool steady = group >= steady_first && group < steady_end;
    if (group < steady_first) limit = std::min(limit, steady_first);
    if (steady) limit = std::min(limit, steady_end);
    const size_t run = limit - group;
    int16_t* const at = out + (group - first_group) * kGroup;
    if (steady) {
      Steps<false>(low_coefficient_, high_coefficient_, low_chains_.last, low_chains_.before,
                   high_chains_.last, high_chains_.before, *rise_, length_, group, run, at);
    } else {
      Steps<true>(low_coefficient_, high_coefficient_, low_chains_.last, low_chains_.before,
                  high_chains_.last, high_chains_.before, *rise_, length_, group, run, at);
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
