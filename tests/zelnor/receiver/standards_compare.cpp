// Our receiver and SpanDSP's dtmf_rx on the same standards test set at
// 8 kHz: per condition, the share of trials (16 symbols x 8 seeds) each
// hears as required, as a Markdown table. With --sweeps, CSV of detection
// against frequency offset and twist for docs/plot_receiver.py.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

extern "C" {
#include <spandsp.h>
}

#include "standard_conditions.h"

namespace {

using zelnor_test::LineTrial;

constexpr uint32_t kRate = 8000;
constexpr uint32_t kSeeds = 8;
const std::string kSymbols = "123A456B789C*0#D";

std::string SpanDsp(const std::vector<int16_t>& x) {
  dtmf_rx_state_t* receiver = dtmf_rx_init(nullptr, nullptr, nullptr);
  for (size_t i = 0; i < x.size(); i += 160) {
    dtmf_rx(receiver, x.data() + i, static_cast<int>(std::min<size_t>(160, x.size() - i)));
  }
  char digits[128] = {};
  dtmf_rx_get(receiver, digits, sizeof digits - 1);
  dtmf_rx_free(receiver);
  return digits;
}

std::string Ours(const std::vector<int16_t>& x) {
  return zelnor_test::Symbols(zelnor_test::Hear(x, kRate, 160));
}

// Percent of trials each receiver hears as required.
struct Score {
  double ours;
  double spandsp;
};

template <typename Judge>
Score Run(LineTrial trial, Judge judge) {
  int ours = 0;
  int spandsp = 0;
  int trials = 0;
  for (const char symbol : kSymbols) {
    for (uint32_t seed = 0; seed < kSeeds; ++seed) {
      trial.symbol = symbol;
      const std::vector<int16_t> x = zelnor_test::MakeLine(trial, kRate, seed + 100).samples;
      ours += judge(Ours(x), symbol);
      spandsp += judge(SpanDsp(x), symbol);
      ++trials;
    }
  }
  return {100.0 * ours / trials, 100.0 * spandsp / trials};
}

void Table() {
  std::printf("| condition | requirement | ours | SpanDSP |\n|---|---|---|---|\n");
  for (const zelnor_test::Condition& c : zelnor_test::StandardConditions()) {
    const Score score = Run(c.trial, [&c](const std::string& heard, char symbol) {
      const int n = static_cast<int>(heard.size());
      return n >= c.fewest && n <= c.most && heard == std::string(heard.size(), symbol);
    });
    std::printf("| %s | %s | %.0f %% | %.0f %% |\n", c.name, c.requirement, score.ours,
                score.spandsp);
  }
}

// Detection: exactly the one digit sounded.
bool Detected(const std::string& heard, char symbol) { return heard == std::string(1, symbol); }

void Sweeps() {
  std::printf("sweep,x,ours,spandsp\n");
  for (int tenths = -50; tenths <= 50; tenths += 2) {
    for (const bool low : {true, false}) {
      LineTrial trial;
      (low ? trial.low_shift : trial.high_shift) = tenths / 1000.0;
      const Score score = Run(trial, Detected);
      std::printf("%s,%.1f,%.1f,%.1f\n", low ? "low" : "high", tenths / 10.0, score.ours,
                  score.spandsp);
    }
  }
  for (int twist = -14; twist <= 10; ++twist) {
    LineTrial trial;
    trial.high_dbm0 = -10 + (twist < 0 ? twist : 0);
    trial.low_dbm0 = -10 - (twist > 0 ? twist : 0);
    const Score score = Run(trial, Detected);
    std::printf("twist,%d,%.1f,%.1f\n", twist, score.ours, score.spandsp);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--sweeps") == 0) {
    Sweeps();
  } else {
    Table();
  }
  return 0;
}
