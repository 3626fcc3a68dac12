#include "signal_analysis.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "zelnor/signal/dtmf_sequence.h"
#include "zelnor/signal/symbol_reader.h"

namespace zelnor_test {
namespace {

constexpr double kPi = 3.14159265358979323846;

int16_t Saturate(double v) {
  return static_cast<int16_t>(std::clamp(std::lround(v), -32768L, 32767L));
}

void Fft(std::vector<std::complex<double>>& a) {
  const size_t n = a.size();
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (size_t len = 2; len <= n; len <<= 1) {
    const std::complex<double> step = std::polar(1.0, -2 * kPi / len);
    for (size_t i = 0; i < n; i += len) {
      std::complex<double> w = 1;
      for (size_t k = 0; k < len / 2; ++k, w *= step) {
        const std::complex<double> u = a[i + k], v = a[i + k + len / 2] * w;
        a[i + k] = u + v;
        a[i + k + len / 2] = u - v;
      }
    }
  }
}

// RBJ biquad, direct form I.
struct Biquad {
  double b0, b1, b2, a1, a2, x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  Biquad(bool high_pass, double hz, double q, double rate) {
    const double w = 2 * kPi * hz / rate, alpha = std::sin(w) / (2 * q), c = std::cos(w),
                 a0 = 1 + alpha;
    const double edge = high_pass ? (1 + c) / 2 : (1 - c) / 2;
    b0 = edge / a0;
    b1 = (high_pass ? -2 * edge : 2 * edge) / a0;
    b2 = edge / a0;
    a1 = -2 * c / a0;
    a2 = (1 - alpha) / a0;
  }
  double Step(double x) {
    const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1, x1 = x, y2 = y1, y1 = y;
    return y;
  }
};

}  // namespace

std::vector<int16_t> Render(const std::string& symbols, int32_t interval_ms, uint32_t rate) {
  return Render(symbols, {interval_ms, interval_ms, rate});
}

std::vector<int16_t> Render(const std::string& symbols, const zelnor::SequenceOptions& options) {
  zelnor::DtmfSequence sequence(zelnor::ReadDial(std::wstring(symbols.begin(), symbols.end())),
                                options);
  std::vector<int16_t> out(sequence.TotalSamples());
  out.resize(sequence.Generate(out.data(), out.size()));
  return out;
}

std::complex<double> ToneAt(const std::vector<int16_t>& x, size_t first, size_t count, double hz,
                            double rate) {
  std::complex<double> sum = 0;
  double weight = 0;
  for (size_t i = 0; i < count; ++i) {
    const double w = 0.5 - 0.5 * std::cos(2 * kPi * (i + 0.5) / count);
    sum +=
        w * x[first + i] * std::polar(1.0, -2 * kPi * hz * static_cast<double>(first + i) / rate);
    weight += w;
  }
  return 2.0 * sum / weight;
}

double WorstUnwantedDb(const std::vector<int16_t>& x, size_t first, size_t count, double rate,
                       double low_hz, double high_hz, double reference) {
  constexpr double kBeta = 20, kExcludedHz = 80;
  const auto bessel_i0 = [](double v) {
    double sum = 1, term = 1;
    for (int k = 1; k < 100; ++k) sum += term *= (v / (2 * k)) * (v / (2 * k));
    return sum;
  };
  std::vector<std::complex<double>> a(count);
  double weight = 0;
  for (size_t i = 0; i < count; ++i) {
    const double r = 2.0 * i / (count - 1) - 1;
    const double w = bessel_i0(kBeta * std::sqrt(1 - r * r)) / bessel_i0(kBeta);
    a[i] = w * x[first + i];
    weight += w;
  }
  Fft(a);
  double worst = 0;
  for (size_t bin = 0; bin < count / 2; ++bin) {
    const double hz = bin * rate / count;
    if (std::abs(hz - low_hz) < kExcludedHz || std::abs(hz - high_hz) < kExcludedHz) continue;
    worst = std::max(worst, 2 * std::abs(a[bin]) / weight);
  }
  return Db(worst / reference);
}

double Db(double ratio) { return 20 * std::log10(ratio); }

std::vector<int16_t> AddNoise(const std::vector<int16_t>& x, double signal_power, double snr_db) {
  std::mt19937 random(12345);
  std::normal_distribution<double> noise(0.0,
                                         std::sqrt(signal_power / std::pow(10.0, snr_db / 10)));
  std::vector<int16_t> out(x.size());
  for (size_t i = 0; i < x.size(); ++i) out[i] = Saturate(x[i] + noise(random));
  return out;
}

std::vector<int16_t> TelephoneBand(const std::vector<int16_t>& x, double rate) {
  Biquad stages[] = {{true, 300, 0.5412, rate},
                     {true, 300, 1.3066, rate},
                     {false, 3400, 0.5412, rate},
                     {false, 3400, 1.3066, rate}};
  std::vector<int16_t> out(x.size());
  for (size_t i = 0; i < x.size(); ++i) {
    double v = x[i];
    for (Biquad& stage : stages) v = stage.Step(v);
    out[i] = Saturate(v);
  }
  return out;
}

}  // namespace zelnor_test
