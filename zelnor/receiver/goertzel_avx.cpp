// Built for AVX, and called only where CanCorrelateWithAvx says it runs: so
// it includes nothing that defines an inline function of its own.
#include <immintrin.h>

#include "zelnor/receiver/goertzel.h"

namespace zelnor {

// Eight frequencies to a register: a quarter's two states fit in two, so
// the four quarters' chains all run in registers, step for step.
void CorrelateWithAvx(const float* x, std::size_t part, const float* c, const GoertzelTurns& turns,
                      float* re, float* im) {
  const __m256 coefficient = _mm256_loadu_ps(c);
  const float* x0 = x;
  const float* x1 = x + part;
  const float* x2 = x + 2 * part;
  const float* x3 = x + 3 * part;
  // a holds s after each odd number of steps, b after each even one.
  __m256 a0 = _mm256_setzero_ps();
  __m256 a1 = a0, a2 = a0, a3 = a0, b0 = a0, b1 = a0, b2 = a0, b3 = a0;
  const auto step = [coefficient](__m256& into, __m256 from, const float* sample) {
    into = _mm256_add_ps(_mm256_sub_ps(_mm256_broadcast_ss(sample), into),
                         _mm256_mul_ps(coefficient, from));
  };
  // An odd length takes one step first, so that the rest go in pairs.
  std::size_t i = 0;
  if (part % 2 == 1) {
    step(a0, b0, x0);
    step(a1, b1, x1);
    step(a2, b2, x2);
    step(a3, b3, x3);
    i = 1;
  }
  for (; i < part; i += 2) {
    step(b0, a0, x0 + i);
    step(b1, a1, x1 + i);
    step(b2, a2, x2 + i);
    step(b3, a3, x3 + i);
    step(a0, b0, x0 + i + 1);
    step(a1, b1, x1 + i + 1);
    step(a2, b2, x2 + i + 1);
    step(a3, b3, x3 + i + 1);
  }
  const __m256 s1[kGoertzelParts] = {a0, a1, a2, a3};
  const __m256 s2[kGoertzelParts] = {b0, b1, b2, b3};
  __m256 sum_re = _mm256_setzero_ps();
  __m256 sum_im = _mm256_setzero_ps();
  for (int q = 0; q < kGoertzelParts; ++q) {
    sum_re =
        _mm256_add_ps(sum_re, _mm256_sub_ps(_mm256_mul_ps(s1[q], _mm256_loadu_ps(turns.s1_re[q])),
                                            _mm256_mul_ps(s2[q], _mm256_loadu_ps(turns.s2_re[q]))));
    sum_im =
        _mm256_add_ps(sum_im, _mm256_sub_ps(_mm256_mul_ps(s1[q], _mm256_loadu_ps(turns.s1_im[q])),
                                            _mm256_mul_ps(s2[q], _mm256_loadu_ps(turns.s2_im[q]))));
  }
  _mm256_storeu_ps(re, sum_re);
  _mm256_storeu_ps(im, sum_im);
}

}  // namespace zelnor
