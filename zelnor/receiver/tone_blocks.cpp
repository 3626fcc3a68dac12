#include "zelnor/receiver/tone_blocks.h"

#include <algorithm>
#include <cmath>

#include "zelnor/receiver/goertzel.h"
#include "zelnor/signal/keypad.h"
#include "zelnor/sse2.h"

namespace zelnor {
namespace {

// Blocks of 4 ms: long enough to tell a tone 3 % off by its phase advance,
// short enough that a 15 ms break or a 25 ms pause spans several blocks.
// A length of whole fours makes whole quarters.
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
      correlate_(ChooseCorrelator()),
      length_(kGoertzelParts * static_cast<std::size_t>(std::lround(rate * kBlockMilliseconds /
                                                                    (1000.0 * kGoertzelParts)))) {
  for (int k = 0; k < kToneCount; ++k) {
    const double w = 2 * kPi * Hz(k) / rate_;
    const double n = static_cast<double>(length_);
    const double part = n / kGoertzelParts;
    coefficient_[k] = static_cast<float>(2 * std::cos(w));
    // The Goertzel output s1 - e^{-jw} s2 is the correlation turned by
    // w (L - 1); each quarter's is turned again by the phase at its start.
    for (int q = 0; q < kGoertzelParts; ++q) {
      const std::complex<double> from_s1 = std::polar(1.0, -w * (part - 1 + part * q));
      const std::complex<double> from_s2 = std::polar(1.0, -w * (part + part * q));
      turns_.s1_re[q][k] = static_cast<float>(from_s1.real());
      turns_.s1_im[q][k] = static_cast<float>(from_s1.imag());
      turns_.s2_re[q][k] = static_cast<float>(from_s2.real());
      turns_.s2_im[q][k] = static_cast<float>(from_s2.imag());
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
  float re[kToneCount];
  float im[kToneCount];
  const float* samples = samples_[(newest_ + 1) & (kKept - 1)];
  correlate_(samples, length_ / kGoertzelParts, coefficient_, turns_, re, im);
  float sum = 0;
  float square_sum = 0;
  Sum(samples, length_, sum, square_sum);

  newest_ = (newest_ + 1) & (kKept - 1);
  filled_ = std::min(filled_ + 1, kKept);
  ToneBlock& block = kept_[newest_];
  const float n = static_cast<float>(length_);
  // The offset is followed slowly, so that a tone starting or stopping
  // within a block (whose mean is not zero) barely moves it.
  const float offset = offset_;
  offset_ += (sum / n - offset_) * 0.125f;
  int k = 0;
#if ZELNOR_HAVE_SSE2
  const __m128 by = _mm_set1_ps(offset);
  for (; k + 4 <= kToneCount; k += 4) {
    const __m128 r = _mm_sub_ps(_mm_loadu_ps(re + k), _mm_mul_ps(by, _mm_loadu_ps(dc_re_ + k)));
    const __m128 i = _mm_sub_ps(_mm_loadu_ps(im + k), _mm_mul_ps(by, _mm_loadu_ps(dc_im_ + k)));
    _mm_storeu_ps(block.re + k, r);
    _mm_storeu_ps(block.im + k, i);
    _mm_storeu_ps(block.power + k, _mm_add_ps(_mm_mul_ps(r, r), _mm_mul_ps(i, i)));
  }
#endif
  for (; k < kToneCount; ++k) {
    block.re[k] = re[k] - offset * dc_re_[k];
    block.im[k] = im[k] - offset * dc_im_[k];
    block.power[k] = block.re[k] * block.re[k] + block.im[k] * block.im[k];
  }
  block.energy = std::max(0.0f, square_sum - 2 * offset * sum + n * offset * offset);
  block.first_sample = next_first_;
  next_first_ += length_;
  taken_ = 0;
}

}  // namespace zelnor
