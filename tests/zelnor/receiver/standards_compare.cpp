// Our receiver and SpanDSP's dtmf_rx on the same standards test set at
// 8 kHz: per condition, the share of trials (16 symbols x 8 seeds) each
// hears as required, as a Markdown table. With --sweeps, CSV of detection
// against frequency offset and twist for docs/plot_receiver.py. With
// --codecs, the share of the generator's digits each hears after a round
// trip through GSM 06.10 and AMR-NB (sox encodes and decodes). With
// --raw DIR, every condition's trials as one file of raw 16-bit samples
// (DIR/NN.raw), for comparing other builds of the receiver on them.

#include <algorithm>
#include <cmath>
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

// Every digit dtmf_rx reports (its own buffer keeps only the first 127).
std::string SpanDsp(const std::vector<int16_t>& x) {
  std::string digits;
  const auto keep = [](void* user, const char* heard, int count) {
    static_cast<std::string*>(user)->append(heard, static_cast<size_t>(count));
  };
  dtmf_rx_state_t* receiver = dtmf_rx_init(nullptr, keep, &digits);
  for (size_t i = 0; i < x.size(); i += 160) {
    dtmf_rx(receiver, x.data() + i, static_cast<int>(std::min<size_t>(160, x.size() - i)));
  }
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
      LineTrial trial = c.trial;
      trial.symbol = symbol;
      const int n = static_cast<int>(heard.size());
      return n >= c.fewest && n <= c.most &&
             heard == zelnor_test::ExpectedDigits(trial).substr(0, heard.size());
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

// x through sox: encoded as `encode` (output options and file) and decoded,
// or, with no encoding, through the sox `effect`.
std::vector<int16_t> ThroughSox(const std::vector<int16_t>& x, const std::string& encode,
                                const std::string& effect = "") {
  const std::string raw = "/tmp/receiver_codec_in.raw";
  const std::string out = "/tmp/receiver_codec_out.raw";
  std::ofstream(raw, std::ios::binary)
      .write(reinterpret_cast<const char*>(x.data()), static_cast<std::streamsize>(x.size() * 2));
  const std::string input = "sox -V1 -t raw -r 8000 -e signed -b 16 -c 1 " + raw + " ";
  const std::string output = " -t raw -e signed -b 16 -c 1 " + out;
  const std::string command =
      encode.empty() ? input + output + " " + effect
                     : input + encode + " && sox " + encode.substr(encode.rfind(' ') + 1) + output;
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
      const std::vector<int16_t> y = ThroughSox(zelnor_test::Render(dial, options), codec.encode);
      const Count ours = Compare(dial, Ours(y));
      const Count spandsp = Compare(dial, SpanDsp(y));
      std::printf("| %s | %d ms on, %d ms off | %.0f %% (%zu extra) | %.0f %% (%zu extra) |\n",
                  codec.name, timing.tone_ms, timing.gap_ms, 100.0 * ours.right / dial.size(),
                  ours.extra, 100.0 * spandsp.right / dial.size(), spandsp.extra);
    }
  }
}

}  // namespace

// 640 digits, 50 ms on and off at -10 dBm0 per tone, echoed and in a small
// room's reverb (sox effects).
void Rooms() {
  const char* const kRooms[] = {"echo 1 1 10 0.316", "echo 1 1 30 0.25", "echo 1 1 50 0.316",
                                "reverb 50 50 20", "reverb 70 50 40"};
  std::string dial;
  for (int i = 0; i < 40; ++i) dial += kSymbols;
  zelnor::SequenceOptions options{50, 50, kRate, -71, 0};
  options.tail_ms = 100;
  const std::vector<int16_t> x = zelnor_test::Render(dial, options);
  std::printf("| sox effect | ours | SpanDSP |\n|---|---|---|\n");
  for (const char* room : kRooms) {
    const std::vector<int16_t> y = ThroughSox(x, "", std::string(room) + " gain -n -8");
    const Count ours = Compare(dial, Ours(y));
    const Count spandsp = Compare(dial, SpanDsp(y));
    std::printf("| `%s` | %zu of %zu (%zu extra) | %zu of %zu (%zu extra) |\n", room, ours.right,
                dial.size(), ours.extra, spandsp.right, dial.size(), spandsp.extra);
  }
}

// Speech from espeak-ng at 8 kHz, `seconds` long at least, scaled to `dbm0`.
std::vector<int16_t> Speech(double seconds, double dbm0) {
  const char* const kVoices[] = {"en", "de", "fr+f3", "es", "en-us+m7", "it", "pl", "nl"};
  const std::string raw = "/tmp/receiver_speech.raw";
  std::string command = "rm -f " + raw;
  for (const char* voice : kVoices) {
    command += " && espeak-ng -v " + std::string(voice) +
               " --stdout 'Please hold the line while we transfer your call; one two three four "
               "five six seven eight nine zero, thank you for waiting.' | sox - -r 8000 -t raw -e "
               "signed -b 16 -c 1 - >> " +
               raw;
  }
  std::vector<double> x;
  if (std::system(command.c_str()) == 0) {
    std::ifstream in(raw, std::ios::binary);
    for (int16_t v; in.read(reinterpret_cast<char*>(&v), 2);) x.push_back(v);
  }
  if (x.empty()) return {};
  const size_t once = x.size();
  while (x.size() < seconds * kRate) x.insert(x.end(), x.begin(), x.begin() + once);
  double power = 0;
  for (const double v : x) power += v * v / x.size();
  // A full-scale sine is +3.14 dBm0.
  const double want = 32767.0 * 32767.0 / 2 * std::pow(10, (dbm0 - 3.14) / 10);
  const double gain = std::sqrt(want / power);
  std::vector<int16_t> y(x.size());
  for (size_t n = 0; n < x.size(); ++n) y[n] = static_cast<int16_t>(std::lround(x[n] * gain));
  return y;
}

// Digits at -10 dBm0 per tone under speech at -15 dBm0.
void UnderSpeech() {
  std::string dial;
  for (int i = 0; i < 10; ++i) dial += kSymbols;
  std::printf("| tones | ours | SpanDSP |\n|---|---|---|\n");
  for (const int32_t ms : {70, 50}) {
    // Each tone at -10 dBm0: together a peak of -7.1 dBFS.
    zelnor::SequenceOptions options{ms, ms, kRate, -71, 0};
    options.tail_ms = 100;
    std::vector<int16_t> x = zelnor_test::Render(dial, options);
    const std::vector<int16_t> speech = Speech(static_cast<double>(x.size()) / kRate, -15);
    for (size_t n = 0; n < x.size() && n < speech.size(); ++n) {
      x[n] = static_cast<int16_t>(std::clamp(x[n] + speech[n], -32768, 32767));
    }
    const Count ours = Compare(dial, Ours(x));
    const Count spandsp = Compare(dial, SpanDsp(x));
    std::printf("| %d ms on, %d ms off | %.1f %% (%zu extra) | %.1f %% (%zu extra) |\n", ms, ms,
                100.0 * ours.right / dial.size(), ours.extra, 100.0 * spandsp.right / dial.size(),
                spandsp.extra);
  }
}

// Each condition's 16 symbols x 8 seeds, one after another.
void WriteRaw(const std::string& folder) {
  int index = 0;
  for (const zelnor_test::Condition& c : zelnor_test::StandardConditions()) {
    char name[16];
    std::snprintf(name, sizeof name, "/%02d.raw", index++);
    std::ofstream file(folder + name, std::ios::binary);
    for (const char symbol : kSymbols) {
      for (uint32_t seed = 0; seed < kSeeds; ++seed) {
        LineTrial trial = c.trial;
        trial.symbol = symbol;
        const std::vector<int16_t> x = zelnor_test::MakeLine(trial, kRate, seed + 100).samples;
        file.write(reinterpret_cast<const char*>(x.data()),
                   static_cast<std::streamsize>(x.size() * sizeof x[0]));
      }
    }
    if (!file) {
      std::fprintf(stderr, "receiver_standards: cannot write %s%s\n", folder.c_str(), name);
      std::exit(1);
    }
  }
}

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--sweeps") == 0) {
    Sweeps();
  } else if (argc > 1 && std::strcmp(argv[1], "--codecs") == 0) {
    Codecs();
  } else if (argc > 1 && std::strcmp(argv[1], "--rooms") == 0) {
    Rooms();
  } else if (argc > 1 && std::strcmp(argv[1], "--speech") == 0) {
    UnderSpeech();
  } else if (argc > 2 && std::strcmp(argv[1], "--raw") == 0) {
    WriteRaw(argv[2]);
  } else {
    Table();
  }
  return 0;
}
