#include "line_signals.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <random>

#include "zelnor/signal/keypad.h"

namespace zelnor_test {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kFullScaleDbm0 = 3.14;
constexpr double kLeadMs = 80;

double Amplitude(double dbm0) { return 32767 * std::pow(10.0, (dbm0 - kFullScaleDbm0) / 20); }

size_t Samples(double ms, uint32_t rate) {
  return static_cast<size_t>(std::lround(ms * rate / 1000));
}

}  // namespace

LineSignal MakeLine(const LineTrial& trial, uint32_t rate, uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> unit(0, 1);
  const double low_a = Amplitude(trial.low_dbm0);
  const double high_a = trial.no_high ? 0 : Amplitude(trial.high_dbm0);

  LineSignal line;
  const size_t tone = trial.tone_ms > 0 ? Samples(trial.tone_ms, rate) : 0;
  size_t at = Samples(kLeadMs + 5 * unit(random), rate);
  const int count = trial.pause_ms > 0 ? 2 : 1;
  for (int i = 0; i < count && tone > 0; ++i) {
    line.tone_starts.push_back(at);
    line.tone_ends.push_back(at + tone);
    at += tone + Samples(trial.pause_ms, rate);
  }
  const size_t remnant = Samples(trial.remnant_ms, rate);
  const bool next = trial.next_ms >= 0 && tone > 0;
  if (next) {
    const size_t first = line.tone_ends.back() + Samples(trial.next_ms, rate);
    line.tone_starts.push_back(first);
    line.tone_ends.push_back(first + tone);
  }
  const size_t end = line.tone_ends.empty() ? at : line.tone_ends.back() + remnant;
  std::vector<double> x(std::max(at, end) + Samples(trial.echo_ms + kLeadMs, rate), 0.0);
  const double low_phase = 2 * kPi * unit(random);
  const double high_phase = 2 * kPi * unit(random);
  const double step = std::pow(10, -trial.step_db / 20);
  const double high_step = step * std::pow(10, -trial.high_step_db / 20);
  const double left = std::pow(10, trial.remnant_db / 20);
  const double third_a = low_a * std::pow(10, trial.third_db / 20);
  for (size_t t = 0; t < line.tone_starts.size(); ++t) {
    const bool own = !(next && t + 1 == line.tone_starts.size());
    const char symbol = own ? trial.symbol : NextSymbol(trial.symbol);
    const zelnor::TonePair tones = *zelnor::TonesFor(symbol);
    const double low_hz = tones.low_hz * (own ? 1 + trial.low_shift : 1);
    const double high_hz = tones.high_hz * (own ? 1 + trial.high_shift : 1);
    // The low group's next tone, for a third tone beside the pair.
    const int row =
        static_cast<int>(
            std::find_if(std::begin(zelnor::kKeypad), std::end(zelnor::kKeypad),
                         [&](const zelnor::KeypadKey& key) { return key.symbol == symbol; }) -
            std::begin(zelnor::kKeypad)) /
        4;
    const double third_hz = zelnor::kKeypad[4 * ((row + 1) % 4)].low_hz;
    const size_t first = line.tone_starts[t];
    const size_t middle = first + tone / 2;
    const size_t silent = Samples(trial.break_ms, rate);
    const size_t stepped = first + Samples(trial.step_ms, rate);
    for (size_t n = first; n < line.tone_ends[t] + (own ? remnant : 0); ++n) {
      if (n >= middle - silent / 2 && n < middle - silent / 2 + silent) continue;
      double low_gain = n < line.tone_ends[t] ? 1 : left;
      if (trial.fade_out) low_gain *= std::max(0.0, 1 - static_cast<double>(n - first) / tone);
      double high_gain = low_gain;
      if (trial.step_ms > 0 && n >= stepped) low_gain *= step, high_gain *= high_step;
      const double s = static_cast<double>(n) / rate;
      x[n] = low_gain * (low_a * std::sin(2 * kPi * low_hz * s + low_phase) +
                         third_a * std::sin(2 * kPi * third_hz * s)) +
             high_gain * high_a * std::sin(2 * kPi * high_hz * s + high_phase);
    }
  }
  if (trial.echo_ms > 0) {
    const size_t late = Samples(trial.echo_ms, rate);
    const double gain = std::pow(10, trial.echo_db / 20);
    for (size_t n = x.size(); n-- > late;) x[n] += gain * x[n - late];
  }
  // The noise's power is set against both tones at their levels.
  const double tone_power = (low_a * low_a + high_a * high_a) / 2;
  std::normal_distribution<double> noise(0,
                                         std::sqrt(tone_power / std::pow(10, trial.snr_db / 10)));
  const double dial_a = low_a * std::pow(10, trial.dial_tone_db / 20);
  const double gain = std::pow(10, trial.clip_db / 20);
  for (size_t n = 0; n < x.size(); ++n) {
    const double s = static_cast<double>(n) / rate;
    x[n] += noise(random) + dial_a * (std::sin(2 * kPi * 350 * s) + std::sin(2 * kPi * 440 * s)) +
            trial.dc * 32767;
  }
  if (trial.lost_ms > 0 && !line.tone_starts.empty()) {
    const size_t lost = Samples(trial.lost_ms, rate);
    const size_t first = line.tone_starts[0] + tone / 2 - lost / 2;
    std::fill(x.begin() + static_cast<long>(first), x.begin() + static_cast<long>(first + lost),
              0.0);
  }
  line.samples.resize(x.size());
  for (size_t n = 0; n < x.size(); ++n) {
    line.samples[n] = static_cast<int16_t>(std::lround(std::clamp(x[n] * gain, -32768.0, 32767.0)));
  }
  return line;
}

char NextSymbol(char symbol) { return symbol == '5' ? '9' : '5'; }

std::string ExpectedDigits(const LineTrial& trial) {
  if (trial.tone_ms <= 0) return "";
  std::string digits(trial.pause_ms > 0 ? 2 : 1, trial.symbol);
  if (trial.next_ms >= 0) digits += NextSymbol(trial.symbol);
  return digits;
}

}  // namespace zelnor_test

namespace zelnor_test {

std::vector<zelnor::HeardDigit> Hear(const std::vector<int16_t>& samples, uint32_t rate,
                                     size_t chunk) {
  std::vector<zelnor::HeardDigit> heard;
  const auto keep = [](void* context, const zelnor::HeardDigit& digit, bool ended) {
    if (ended) static_cast<std::vector<zelnor::HeardDigit>*>(context)->push_back(digit);
  };
  zelnor::DtmfReceiver receiver({rate});
  for (size_t at = 0; at < samples.size(); at += chunk) {
    receiver.Feed(samples.data() + at, std::min(chunk, samples.size() - at), keep, &heard);
  }
  receiver.Flush(keep, &heard);
  return heard;
}

std::string Symbols(const std::vector<zelnor::HeardDigit>& digits) {
  std::string symbols;
  for (const zelnor::HeardDigit& digit : digits) symbols.push_back(digit.symbol);
  return symbols;
}

}  // namespace zelnor_test
