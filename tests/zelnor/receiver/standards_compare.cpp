// Our receiver and SpanDSP's dtmf_rx on the same standards test set at
// 8 kHz: per condition, the share of trials (16 symbols x 8 seeds) each
// hears as required, as a Markdown table. With --sweeps, CSV of detection
// against frequency offset and twist for docs/plot_receiver.py. With
// --codecs, the share of the generator's digits each hears after a round
// trip through GSM 06.10 and AMR-NB (sox encodes and decodes).

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

extern "C" {
#include <spandsp.h>
}

#include "signal_analysis.h"
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

// Digits of `expected` heard in order (longest common subsequence), and
// digits heard beyond those.
struct Count {
  size_t right;
  size_t extra;
};

Count Compare(const std::string& expected, const std::string& heard) {
  std::vector<std::vector<size_t>> common(expected.size() + 1,
                                          std::vector<size_t>(heard.size() + 1, 0));
  for (size_t i = 1; i <= expected.size(); ++i) {
    for (size_t j = 1; j <= heard.size(); ++j) {
      common[i][j] = expected[i - 1] == heard[j - 1] ? common[i - 1][j - 1] + 1
                                                     : std::max(common[i - 1][j], common[i][j - 1]);
    }
  }
  const size_t right = common[expected.size()][heard.size()];
  return {right, heard.size() - right};
}

std::vector<int16_t> ThroughCodec(const std::vector<int16_t>& x, const std::string& encode) {
  const std::string raw = "/tmp/receiver_codec_in.raw";
  const std::string out = "/tmp/receiver_codec_out.raw";
  std::ofstream(raw, std::ios::binary)
      .write(reinterpret_cast<const char*>(x.data()), static_cast<std::streamsize>(x.size() * 2));
  const std::string command = "sox -t raw -r 8000 -e signed -b 16 -c 1 " + raw + " " + encode +
                              " && sox " + encode.substr(encode.rfind(' ') + 1) +
                              " -t raw -e signed -b 16 -c 1 " + out;
  if (std::system(command.c_str()) != 0) return {};
  std::ifstream in(out, std::ios::binary);
  std::vector<int16_t> y(x.size() + 8000);
  in.read(reinterpret_cast<char*>(y.data()), static_cast<std::streamsize>(y.size() * 2));
  y.resize(static_cast<size_t>(in.gcount() / 2));
  return y;
}

void Codecs() {
  struct Codec {
    const char* name;
    const char* encode;  // sox output options and file
  };
  const Codec kCodecs[] = {{"GSM 06.10", "-t gsm /tmp/receiver_codec.gsm"},
                           {"AMR-NB 12.2 kbit/s", "-C 7 /tmp/receiver_codec.amr-nb"},
                           {"AMR-NB 4.75 kbit/s", "-C 0 /tmp/receiver_codec.amr-nb"}};
  struct Timing {
    int32_t tone_ms;
    int32_t gap_ms;
  };
  std::string dial;
  for (int i = 0; i < 10; ++i) dial += kSymbols;
  std::printf("| codec | tones | ours | SpanDSP |\n|---|---|---|---|\n");
  for (const Codec& codec : kCodecs) {
    for (const Timing timing : {Timing{70, 70}, Timing{40, 40}}) {
      zelnor::SequenceOptions options{timing.tone_ms, timing.gap_ms, kRate, -100};
      options.tail_ms = 100;
      const std::vector<int16_t> y = ThroughCodec(zelnor_test::Render(dial, options), codec.encode);
      const Count ours = Compare(dial, Ours(y));
      const Count spandsp = Compare(dial, SpanDsp(y));
      std::printf("| %s | %d ms on, %d ms off | %.0f %% (%zu extra) | %.0f %% (%zu extra) |\n",
                  codec.name, timing.tone_ms, timing.gap_ms, 100.0 * ours.right / dial.size(),
                  ours.extra, 100.0 * spandsp.right / dial.size(), spandsp.extra);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--sweeps") == 0) {
    Sweeps();
  } else if (argc > 1 && std::strcmp(argv[1], "--codecs") == 0) {
    Codecs();
  } else {
    Table();
  }
  return 0;
}
