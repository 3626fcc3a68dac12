// The generator's output through receivers written by others: SpanDSP's
// DTMF receiver (8 kHz, linked in) and multimon-ng (22050 Hz, run as a
// program), clean, with white noise at 15 dB S/N, and band-limited to the
// 300-3400 Hz of a phone line.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

extern "C" {
#include <spandsp.h>
}

#include "signal_analysis.h"
#include "zelnor/signal/dtmf_sequence.h"

namespace {

using zelnor_test::Render;

const std::string kAllSymbols = "123A456B789C*0#D";

enum class Line { kClean, kNoisy, kTelephoneBand };

// Mean power of a tone pair over its steady middle half.
double TonePower(int32_t interval_ms, uint32_t rate) {
  const std::vector<int16_t> x = Render("1", interval_ms, rate);
  const size_t tone = x.size() / 2;
  double sum = 0;
  for (size_t i = tone / 4; i < tone * 3 / 4; ++i) sum += static_cast<double>(x[i]) * x[i];
  return sum / static_cast<double>(tone / 2);
}

std::vector<int16_t> Signal(int32_t interval_ms, uint32_t rate, Line line) {
  std::vector<int16_t> x = Render(kAllSymbols, interval_ms, rate);
  if (line == Line::kNoisy) return zelnor_test::AddNoise(x, TonePower(interval_ms, rate), 15);
  if (line == Line::kTelephoneBand) return zelnor_test::TelephoneBand(x, rate);
  return x;
}

std::string SpanDspDecode(const std::vector<int16_t>& x) {
  dtmf_rx_state_t* receiver = dtmf_rx_init(nullptr, nullptr, nullptr);
  for (size_t i = 0; i < x.size(); i += 160) {
    dtmf_rx(receiver, x.data() + i, static_cast<int>(std::min<size_t>(160, x.size() - i)));
  }
  char digits[128] = {};
  dtmf_rx_get(receiver, digits, sizeof digits - 1);
  dtmf_rx_free(receiver);
  return digits;
}

std::string Run(const std::string& command) {
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
    pclose(pipe);
  }
  return output;
}

// multimon-ng reads raw s16 mono at 22050 Hz; other rates go through sox.
std::string MultimonDecode(const std::vector<int16_t>& x, uint32_t rate) {
  const std::string raw = testing::TempDir() + "zelnor_decode.raw";
  const std::string resampled = testing::TempDir() + "zelnor_decode_22050.raw";
  std::ofstream(raw, std::ios::binary).write(reinterpret_cast<const char*>(x.data()), x.size() * 2);
  std::string input = raw;
  if (rate != 22050) {
    Run("sox -t raw -r " + std::to_string(rate) + " -e signed -b 16 -c 1 " + raw +
        " -t raw -r 22050 " + resampled);
    input = resampled;
  }
  std::string digits;
  const std::string output = Run("multimon-ng -q -a DTMF -t raw " + input + " 2>/dev/null");
  for (size_t at = output.find("DTMF: "); at != std::string::npos;
       at = output.find("DTMF: ", at + 1)) {
    digits.push_back(output[at + 6]);
  }
  std::remove(raw.c_str());
  std::remove(resampled.c_str());
  return digits;
}

class SpanDspDecodes : public testing::TestWithParam<int32_t> {};

TEST_P(SpanDspDecodes, EverySymbolOnCleanNoisyAndBandLimitedLines) {
  for (Line line : {Line::kClean, Line::kNoisy, Line::kTelephoneBand}) {
    EXPECT_EQ(SpanDspDecode(Signal(GetParam(), 8000, line)), kAllSymbols) << static_cast<int>(line);
  }
}

INSTANTIATE_TEST_SUITE_P(Intervals, SpanDspDecodes, testing::Values(40, 50, 150, 1000));

class MultimonDecodes : public testing::TestWithParam<int32_t> {};

TEST_P(MultimonDecodes, EverySymbolOnCleanNoisyAndBandLimitedLines) {
  EXPECT_EQ(MultimonDecode(Signal(GetParam(), 22050, Line::kClean), 22050), kAllSymbols);
  EXPECT_EQ(MultimonDecode(Signal(GetParam(), 22050, Line::kNoisy), 22050), kAllSymbols);
  EXPECT_EQ(MultimonDecode(Signal(GetParam(), 8000, Line::kTelephoneBand), 8000), kAllSymbols);
}

INSTANTIATE_TEST_SUITE_P(Intervals, MultimonDecodes, testing::Values(50, 150, 1000));

}  // namespace
