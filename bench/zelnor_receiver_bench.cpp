// How fast the DTMF receiver hears, side by side in one process with
// SpanDSP's dtmf_rx on the same long 8 kHz signal (every symbol for 50 ms
// with 50 ms gaps, in white noise 20 dB down), fed 160 samples (20 ms) at a
// time. Figures are samples per CPU second of this thread, median of rounds
// taken in rotating order.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>
#include <random>
#include <string>
#include <vector>

extern "C" {
#include <spandsp.h>
}

#include "zelnor/receiver/dtmf_receiver.h"
#include "zelnor/signal/dtmf_sequence.h"
#include "zelnor/signal/symbol_reader.h"

namespace {

constexpr uint32_t kRate = 8000;
constexpr int kRepeats = 60;  // 960 digits: 96 s of audio
constexpr int kRounds = 7;
constexpr int kPasses = 4;  // over the signal per round, for a steadier figure
constexpr size_t kChunk = 160;

std::vector<int16_t> Signal() {
  std::string dial;
  for (int i = 0; i < kRepeats; ++i) dial += "123A456B789C*0#D";
  zelnor::DtmfSequence sequence(zelnor::ReadDial(std::wstring(dial.begin(), dial.end())),
                                {50, 50, kRate, -100});
  std::vector<int16_t> x(sequence.TotalSamples());
  x.resize(sequence.Generate(x.data(), x.size()));
  std::mt19937 random(1);
  std::normal_distribution<double> noise(0, 300);
  for (int16_t& v : x) v = static_cast<int16_t>(std::clamp(v + noise(random), -32768.0, 32767.0));
  return x;
}

// Each returns how many digits it heard, so both are seen to work.
size_t Ours(const std::vector<int16_t>& x) {
  size_t digits = 0;
  zelnor::DtmfReceiver receiver({kRate});
  const auto count = [](void* context, const zelnor::HeardDigit&, bool ended) {
    if (ended) ++*static_cast<size_t*>(context);
  };
  for (size_t at = 0; at < x.size(); at += kChunk) {
    receiver.Feed(x.data() + at, std::min(kChunk, x.size() - at), count, &digits);
  }
  receiver.Flush(count, &digits);
  return digits;
}

size_t SpanDsp(const std::vector<int16_t>& x) {
  size_t digits = 0;
  const auto count = [](void* context, const char*, int n) {
    *static_cast<size_t*>(context) += static_cast<size_t>(n);
  };
  dtmf_rx_state_t* receiver = dtmf_rx_init(nullptr, count, &digits);
  for (size_t at = 0; at < x.size(); at += kChunk) {
    dtmf_rx(receiver, x.data() + at, static_cast<int>(std::min(kChunk, x.size() - at)));
  }
  dtmf_rx_free(receiver);
  return digits;
}

double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main() {
  const std::vector<int16_t> x = Signal();
  struct Contender {
    const char* name;
    std::function<size_t(const std::vector<int16_t>&)> run;
    std::vector<double> speeds;
    size_t digits = 0;
  };
  std::vector<Contender> contenders = {{"zelnor", Ours, {}}, {"SpanDSP", SpanDsp, {}}};
  for (int round = 0; round < kRounds; ++round) {
    for (size_t k = 0; k < contenders.size(); ++k) {
      Contender& contender = contenders[(k + round) % contenders.size()];
      const double start = ThreadSeconds();
      for (int pass = 0; pass < kPasses; ++pass) contender.digits = contender.run(x);
      contender.speeds.push_back(kPasses * static_cast<double>(x.size()) /
                                 (ThreadSeconds() - start));
    }
  }
  const double ours = Median(contenders.front().speeds);
  std::printf("\nDTMF receivers, %u Hz, %zu-sample chunks, %.0f s of audio, median of %d rounds:\n",
              kRate, kChunk, static_cast<double>(x.size()) / kRate, kRounds);
  for (const Contender& contender : contenders) {
    const double speed = Median(contender.speeds);
    std::printf("  %-8s %7.1f M samples/s  %6.0fx real time  %5.2fx zelnor  (%zu digits of %d)\n",
                contender.name, speed / 1e6, speed / kRate, speed / ours, contender.digits,
                kRepeats * 16);
  }
  // Each round runs both back to back, so its ratio holds even when the
  // machine's speed changes between rounds (a neighbour on the same core).
  std::vector<double> ratios;
  for (int round = 0; round < kRounds; ++round) {
    ratios.push_back(contenders[0].speeds[round] / contenders[1].speeds[round]);
  }
  std::printf("  zelnor / SpanDSP, round by round: %.2fx median, %.2f-%.2fx\n", Median(ratios),
              *std::min_element(ratios.begin(), ratios.end()),
              *std::max_element(ratios.begin(), ratios.end()));
  std::printf("  state: %zu bytes per channel\n", sizeof(zelnor::DtmfReceiver));
  return 0;
}
