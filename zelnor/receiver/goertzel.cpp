#include "zelnor/receiver/goertzel.h"

#include "zelnor/sse2.h"

#if ZELNOR_HAVE_AVX_VERSION
#if defined(_MSC_VER)
#include <immintrin.h>
#include <intrin.h>
#else
#include <cpuid.h>
#endif
#endif

namespace zelnor {
namespace {

#if ZELNOR_HAVE_SSE2
// Four frequencies to a register: a quarter's state is rows and columns.
struct Group {
  __m128 rows;
  __m128 columns;
};
// A quarter's last two states.
struct QuarterStates {
  Group s1;
  Group s2;
};

// Two quarters side by side (four chains: as many as 32-bit code's eight
// registers hold with the coefficients).
//
// Every state stays in its register: the recurrence runs on w = sign s, the
// sign repeating + + - - from the quarter's first sample, so that each new
// value is the one two samples back plus a product: w = (w2 + sign x) + c' w1
// with c' = -c, c, -c, c. Negating is exact, so these are the sums of
// s = (x - s2) + c s1 bit for bit.
void TwoQuarters(const float* x, std::size_t part, const float* c, QuarterStates& first,
                 QuarterStates& second) {
  const __m128 sign_bit = _mm_set1_ps(-0.0f);
  const Group plus{_mm_loadu_ps(c), _mm_loadu_ps(c + 4)};
  const Group minus{_mm_xor_ps(plus.rows, sign_bit), _mm_xor_ps(plus.columns, sign_bit)};
  const __m128 zero = _mm_setzero_ps();
  // w at each quarter's even samples, and at its odd ones.
  Group even0{zero, zero}, even1{zero, zero}, odd0{zero, zero}, odd1{zero, zero};
  // One sample: `w` (w two samples back) becomes w, adding or taking
  // away the sample as the sign at its index says.
  const auto step = [](Group& w, const Group& from, float sample, bool add,
                       const Group& coefficient) {
    const __m128 v = _mm_set1_ps(sample);
    w.rows = add ? _mm_add_ps(w.rows, v) : _mm_sub_ps(w.rows, v);
    w.columns = add ? _mm_add_ps(w.columns, v) : _mm_sub_ps(w.columns, v);
    w.rows = _mm_add_ps(w.rows, _mm_mul_ps(coefficient.rows, from.rows));
    w.columns = _mm_add_ps(w.columns, _mm_mul_ps(coefficient.columns, from.columns));
  };
  const float* y = x + part;
  std::size_t i = 0;
  for (; i + 4 <= part; i += 4) {
    step(even0, odd0, x[i], true, minus);
    step(even1, odd1, y[i], true, minus);
    step(odd0, even0, x[i + 1], true, plus);
    step(odd1, even1, y[i + 1], true, plus);
    step(even0, odd0, x[i + 2], false, minus);
    step(even1, odd1, y[i + 2], false, minus);
    step(odd0, even0, x[i + 3], false, plus);
    step(odd1, even1, y[i + 3], false, plus);
  }
  if (i < part) {
    step(even0, odd0, x[i], true, minus);
    step(even1, odd1, y[i], true, minus);
  }
  if (i + 1 < part) {
    step(odd0, even0, x[i + 1], true, plus);
    step(odd1, even1, y[i + 1], true, plus);
  }
  if (i + 2 < part) {
    step(even0, odd0, x[i + 2], false, minus);
    step(even1, odd1, y[i + 2], false, minus);
  }
  // Back from w to s at the last two samples.
  const std::size_t last = part - 1;
  const __m128 newest_sign = last % 4 < 2 ? zero : sign_bit;
  const __m128 before_sign = (last + 3) % 4 < 2 ? zero : sign_bit;
  const auto unsign = [](const Group& w, __m128 sign) {
    return Group{_mm_xor_ps(w.rows, sign), _mm_xor_ps(w.columns, sign)};
  };
  const bool last_even = last % 2 == 0;
  first = {unsign(last_even ? even0 : odd0, newest_sign),
           unsign(last_even ? odd0 : even0, before_sign)};
  second = {unsign(last_even ? even1 : odd1, newest_sign),
            unsign(last_even ? odd1 : even1, before_sign)};
}

// s1 turn1 - s2 turn2 for four frequencies from `at`.
__m128 Share(__m128 s1, const float* turn1, __m128 s2, const float* turn2, int at) {
  return _mm_sub_ps(_mm_mul_ps(s1, _mm_loadu_ps(turn1 + at)),
                    _mm_mul_ps(s2, _mm_loadu_ps(turn2 + at)));
}
#endif

}  // namespace

void CorrelatePlainly(const float* x, std::size_t part, const float* c, const GoertzelTurns& turns,
                      float* re, float* im) {
  for (int k = 0; k < kGoertzelTones; ++k) re[k] = im[k] = 0;
  for (int q = 0; q < kGoertzelParts; ++q) {
    for (int k = 0; k < kGoertzelTones; ++k) {
      float s1 = 0;
      float s2 = 0;
      for (std::size_t i = 0; i < part; ++i) {
        const float s0 = (x[q * part + i] - s2) + c[k] * s1;
        s2 = s1;
        s1 = s0;
      }
      re[k] = re[k] + (s1 * turns.s1_re[q][k] - s2 * turns.s2_re[q][k]);
      im[k] = im[k] + (s1 * turns.s1_im[q][k] - s2 * turns.s2_im[q][k]);
    }
  }
}

void CorrelateOnBaseline(const float* x, std::size_t part, const float* c,
                         const GoertzelTurns& turns, float* re, float* im) {
#if ZELNOR_HAVE_SSE2
  QuarterStates quarters[kGoertzelParts];
  TwoQuarters(x, part, c, quarters[0], quarters[1]);
  TwoQuarters(x + 2 * part, part, c, quarters[2], quarters[3]);
  Group sum_re{_mm_setzero_ps(), _mm_setzero_ps()};
  Group sum_im = sum_re;
  for (int q = 0; q < kGoertzelParts; ++q) {
    const QuarterStates& s = quarters[q];
    sum_re.rows =
        _mm_add_ps(sum_re.rows, Share(s.s1.rows, turns.s1_re[q], s.s2.rows, turns.s2_re[q], 0));
    sum_re.columns = _mm_add_ps(
        sum_re.columns, Share(s.s1.columns, turns.s1_re[q], s.s2.columns, turns.s2_re[q], 4));
    sum_im.rows =
        _mm_add_ps(sum_im.rows, Share(s.s1.rows, turns.s1_im[q], s.s2.rows, turns.s2_im[q], 0));
    sum_im.columns = _mm_add_ps(
        sum_im.columns, Share(s.s1.columns, turns.s1_im[q], s.s2.columns, turns.s2_im[q], 4));
  }
  _mm_storeu_ps(re, sum_re.rows);
  _mm_storeu_ps(re + 4, sum_re.columns);
  _mm_storeu_ps(im, sum_im.rows);
  _mm_storeu_ps(im + 4, sum_im.columns);
#else
  CorrelatePlainly(x, part, c, turns, re, im);
#endif
}

bool CanCorrelateWithAvx() {
#if !ZELNOR_HAVE_AVX_VERSION
  return false;
#else
  // The processor's AVX, and a system that saves its registers: XSAVE
  // enabled, with both XMM and YMM state.
  constexpr unsigned kSystemSaves = 1u << 27;
  constexpr unsigned kAvx = 1u << 28;
  constexpr unsigned kXmmAndYmm = 6;
#if defined(_MSC_VER)
  int info[4] = {};
  __cpuid(info, 1);
  const auto features = static_cast<unsigned>(info[2]);
  if ((features & (kSystemSaves | kAvx)) != (kSystemSaves | kAvx)) return false;
  return (_xgetbv(0) & kXmmAndYmm) == kXmmAndYmm;
#else
  unsigned eax = 0, ebx = 0, features = 0, edx = 0;
  if (!__get_cpuid(1, &eax, &ebx, &features, &edx)) return false;
  if ((features & (kSystemSaves | kAvx)) != (kSystemSaves | kAvx)) return false;
  unsigned enabled = 0;
  unsigned high = 0;
  __asm__("xgetbv" : "=a"(enabled), "=d"(high) : "c"(0));
  return (enabled & kXmmAndYmm) == kXmmAndYmm;
#endif
#endif
}

Correlator ChooseCorrelator() {
#if ZELNOR_HAVE_AVX_VERSION
  if (CanCorrelateWithAvx()) return CorrelateWithAvx;
#endif
  return CorrelateOnBaseline;
}

}  // namespace zelnor
