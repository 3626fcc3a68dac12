#include "zelnor/receiver/tone_blocks.h"

#include <algorithm>
#include <cmath>

#include "zelnor/signal/keypad.h"

// SSE2 is the baseline of every x86 build (as for the tone generator); other
// processors take the plain loop, which gives the same sums.
#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define ZELNOR_HAVE_SSE2 1
#include <emmintrin.h>
#endif

namespace zelnor {
namespace {

// Blocks of 4 ms: long enough to tell a tone 3 % off by its phase advance,
// short enough that a 15 ms break or a 25 ms pause spans several blocks.
// A length of whole fours makes halves of whole pairs.
constexpr int kBlockMilliseconds = 4;
constexpr double kPi = 3.14159265358979323846;

// m e^{ja}, for any sign of m (std::polar asks for m >= 0).
std::complex<double> Turned(double m, double a) { return {m * std::cos(a), m * std::sin(a)}; }

}  // namespace

float ToneBlocks::Hz(int tone) {
  // Rows down the first column of the keypad, columns along its first row.
  return tone < kRowCount ? static_cast<float>(kKeypad[4 * tone].low_hz)
                          : static_cast<float>(kKeypad[tone - kRowCount].high_hz);
}

ToneBlocks::ToneBlocks(std::uint32_t rate)
    : rate_(rate),
      length_(
          2 * kChains *
          static_cast<std::size_t>(std::lround(rate * kBlockMilliseconds / (2000.0 * kChains)))) {
  for (int k = 0; k < kToneCount; ++k) {
    const double w = 2 * kPi * Hz(k) / rate_;
    const double n = static_cast<double>(length_);
    const double part = n / kChains;
    coefficient_[k] = static_cast<float>(2 * std::cos(w));
    // The Goertzel output s1 - e^{-jw} s2 is the correlation turned by
    // w (L - 1); each half's is turned again by the phase at its start.
    for (int q = 0; q < kChains; ++q) {
      const std::complex<double> from_s1 = std::polar(1.0, -w * (part - 1 + part * q));
      const std::complex<double> from_s2 = std::polar(1.0, -w * (part + part * q));
      from_s1_re_[q][k] = static_cast<float>(from_s1.real());
      from_s1_im_[q][k] = static_cast<float>(from_s1.imag());
      from_s2_re_[q][k] = static_cast<float>(from_s2.real());
      from_s2_im_[q][k] = static_cast<float>(from_s2.imag());
    }
    // Sum of e^{-jwn} over the block.
    const std::complex<double> dc = Turned(std::sin(w * n / 2) / std::sin(w / 2), -w * (n - 1) / 2);
    dc_re_[k] = static_cast<float>(dc.real());
    dc_im_[k] = static_cast<float>(dc.imag());
    for (int j = 0; j < kToneCount; ++j) {
      // Sum of e^{jdn} over the block, d the two tones' distance, per sample.
      const double d = 2 * kPi * (Hz(j) - Hz(k)) / rate_;
      leak_[k][j] = j == k ? 0
                           : std::complex<float>(Turned(std::sin(d * n / 2) / std::sin(d / 2) / n,
                                                        d * (n - 1) / 2));
    }
    advance_[k] = std::polar(1.0f, static_cast<float>(std::fmod(w * n, 2 * kPi)));
  }
}

bool ToneBlocks::Add(std::size_t count) {
  taken_ += count;
  if (taken_ < length_) return false;
  Finish();
  return true;
}

namespace {

// The Goertzel recurrence s = (x - s2) + c s1 (in that order, so the
// subtraction need not wait for the product) over `half` samples of each of
// the two halves of `x`, for the eight tones at once.
//
// The vector loop keeps every state where it is: it runs the recurrence on
// w = sign s, the sign repeating + + - - from each half's first sample, so
// that each new value is the one two samples back plus a product
// (w = w2 + sign x + c' w1, c' = -c, c, -c, c). Negating is exact, so the
// sums are bit for bit those of the plain loop.
void Correlate(const float* x, std::size_t half, const float* c, float s1[2][kToneCount],
               float s2[2][kToneCount]) {
#if ZELNOR_HAVE_SSE2
  const __m128 plus[2] = {_mm_loadu_ps(c), _mm_loadu_ps(c + 4)};
  const __m128 sign_bits = _mm_set1_ps(-0.0f);
  const __m128 minus[2] = {_mm_xor_ps(plus[0], sign_bits), _mm_xor_ps(plus[1], sign_bits)};
  __m128 even[2][2] = {};  // w at the even samples of each half, rows and columns
  __m128 odd[2][2] = {};   // and at the odd ones
  // One sample of both halves: `into` (w two samples back) becomes w.
  const auto step = [&](__m128(&into)[2][2], const __m128(&from)[2][2], std::size_t i, bool add_x,
                        const __m128(&coefficient)[2]) {
    for (int q = 0; q < 2; ++q) {
      const __m128 v = _mm_set1_ps(x[q * half + i]);
      for (int g = 0; g < 2; ++g) {
        into[q][g] = add_x ? _mm_add_ps(into[q][g], v) : _mm_sub_ps(into[q][g], v);
        into[q][g] = _mm_add_ps(into[q][g], _mm_mul_ps(coefficient[g], from[q][g]));
      }
    }
  };
  std::size_t i = 0;
  for (; i + 4 <= half; i += 4) {
    step(even, odd, i, true, minus);
    step(odd, even, i + 1, true, plus);
    step(even, odd, i + 2, false, minus);
    step(odd, even, i + 3, false, plus);
  }
  if (i < half) {  // two samples more: the pattern's first two
    step(even, odd, i, true, minus);
    step(odd, even, i + 1, true, plus);
  }
  // The last sample is odd; its sign and the one before it are - after a
  // whole number of fours, + after two more.
  const __m128 sign = half % 4 == 0 ? sign_bits : _mm_setzero_ps();
  for (int q = 0; q < 2; ++q) {
    for (int g = 0; g < 2; ++g) {
      _mm_storeu_ps(s1[q] + 4 * g, _mm_xor_ps(odd[q][g], sign));
      _mm_storeu_ps(s2[q] + 4 * g, _mm_xor_ps(even[q][g], sign));
    }
  }
#else
  for (int q = 0; q < 2; ++q) {
    for (int k = 0; k < kToneCount; ++k) s1[q][k] = s2[q][k] = 0;
  }
  for (std::size_t i = 0; i < half; ++i) {
    for (int q = 0; q < 2; ++q) {
      const float v = x[q * half + i];
      for (int k = 0; k < kToneCount; ++k) {
        const float s0 = (v - s2[q][k]) + c[k] * s1[q][k];
        s2[q][k] = s1[q][k];
        s1[q][k] = s0;
      }
    }
  }
#endif
}

// The sum and the sum of squares of x[0, n), four running sums each.
void Sum(const float* x, std::size_t n, float& sum, float& square_sum) {
  float sums[4] = {};
  float squares[4] = {};
  std::size_t i = 0;
#if ZELNOR_HAVE_SSE2
  __m128 s = _mm_setzero_ps();
  __m128 q = _mm_setzero_ps();
  for (; i + 4 <= n; i += 4) {
    const __m128 v = _mm_loadu_ps(x + i);
    s = _mm_add_ps(s, v);
    q = _mm_add_ps(q, _mm_mul_ps(v, v));
  }
  _mm_storeu_ps(sums, s);
  _mm_storeu_ps(squares, q);
#else
  for (; i + 4 <= n; i += 4) {
    for (int j = 0; j < 4; ++j) {
      sums[j] += x[i + j];
      squares[j] += x[i + j] * x[i + j];
    }
  }
#endif
  for (int j = 0; i < n; ++i, ++j) {
    sums[j] += x[i];
    squares[j] += x[i] * x[i];
  }
  sum = (sums[0] + sums[1]) + (sums[2] + sums[3]);
  square_sum = (squares[0] + squares[1]) + (squares[2] + squares[3]);
}

}  // namespace

void ToneBlocks::Finish() {
  static_assert(kChains == 2, "Correlate works in halves");
  float s1[kChains][kToneCount];
  float s2[kChains][kToneCount];
  Correlate(buffer_, length_ / kChains, coefficient_, s1, s2);
  float sum = 0;
  float square_sum = 0;
  Sum(buffer_, length_, sum, square_sum);

  newest_ = (newest_ + 1) & (kKept - 1);
  filled_ = std::min(filled_ + 1, kKept);
  ToneBlock& block = kept_[newest_];
  const float n = static_cast<float>(length_);
  // The offset is followed slowly, so that a tone starting or stopping
  // within a block (whose mean is not zero) barely moves it.
  const float offset = offset_;
  offset_ += (sum / n - offset_) * 0.125f;
  for (int k = 0; k < kToneCount; ++k) {
    float re = -offset * dc_re_[k];
    float im = -offset * dc_im_[k];
    for (int q = 0; q < kChains; ++q) {
      re += s1[q][k] * from_s1_re_[q][k] - s2[q][k] * from_s2_re_[q][k];
      im += s1[q][k] * from_s1_im_[q][k] - s2[q][k] * from_s2_im_[q][k];
    }
    block.re[k] = re;
    block.im[k] = im;
    block.power[k] = re * re + im * im;
  }
  block.energy = std::max(0.0f, square_sum - 2 * offset * sum + n * offset * offset);
  block.first_sample = next_first_;
  next_first_ += length_;
  taken_ = 0;
}

}  // namespace zelnor
