// How fast the tone generator is, side by side in one process with SpanDSP's
// DTMF generator and with memcpy of the same bytes, in the 20 ms blocks the
// player asks for; then next to sox producing the same tones into a file.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

extern "C" {
#include <spandsp.h>
}

#include "zelnor/signal/dtmf_sequence.h"
#include "zelnor/signal/keypad.h"
#include "zelnor/signal/symbol_reader.h"

namespace {

constexpr int32_t kIntervalMs = 100;
constexpr int kRepeats = 10;  // 160 symbols: 32 s of audio
constexpr int kRounds = 7;

std::string KeypadSymbols() {
  std::string symbols;
  for (const zelnor::KeypadKey& key : zelnor::kKeypad) symbols.push_back(key.symbol);
  return symbols;
}

std::string Dial() {
  std::string dial;
  for (int i = 0; i < kRepeats; ++i) dial += KeypadSymbols();
  return dial;
}

zelnor::DtmfSequence Sequence(uint32_t rate) {
  const std::string dial = Dial();
  return zelnor::DtmfSequence(zelnor::ReadDial(std::wstring(dial.begin(), dial.end())),
                              {kIntervalMs, kIntervalMs, rate});
}

double AudioSeconds() { return Dial().size() * 2.0 * kIntervalMs / 1000.0; }

uint64_t DialSamples(uint32_t rate) { return static_cast<uint64_t>(AudioSeconds() * rate + 0.5); }

// Each of these produces the dial's samples once, in 20 ms blocks, and
// returns how many it produced.
uint64_t Zelnor(uint32_t rate) {
  std::vector<int16_t> block(rate / 50);
  zelnor::DtmfSequence sequence = Sequence(rate);
  uint64_t total = 0;
  while (const size_t n = sequence.Generate(block.data(), block.size())) {
    benchmark::DoNotOptimize(block.data());
    total += n;
  }
  return total;
}

// SpanDSP's queue holds 128 digits, so the dial goes in one keypad at a time.
uint64_t SpanDsp(uint32_t rate) {
  std::vector<int16_t> block(rate / 50);
  dtmf_tx_state_t* generator = dtmf_tx_init(nullptr);
  dtmf_tx_set_timing(generator, kIntervalMs, kIntervalMs);
  const std::string keypad = KeypadSymbols();
  uint64_t total = 0;
  for (int i = 0; i < kRepeats; ++i) {
    dtmf_tx_put(generator, keypad.c_str(), static_cast<int>(keypad.size()));
    while (const int n = dtmf_tx(generator, block.data(), static_cast<int>(block.size()))) {
      benchmark::DoNotOptimize(block.data());
      total += static_cast<uint64_t>(n);
    }
  }
  dtmf_tx_free(generator);
  return total;
}

uint64_t Memcpy(uint32_t rate) {
  static std::vector<int16_t> source, target;
  const uint64_t total = DialSamples(rate);
  source.assign(total, 1);
  target.assign(total, 0);
  const size_t block = rate / 50;
  for (uint64_t at = 0; at < total; at += block) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(block, total - at));
    std::memcpy(target.data() + at, source.data() + at, n * sizeof(int16_t));
    benchmark::ClobberMemory();
  }
  return total;
}

struct Contender {
  const char* name;
  std::function<uint64_t(uint32_t)> run;
  std::vector<double> samples_per_second;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// CPU time of this thread, so that other work on a shared machine does not
// count against whichever contender it interrupts.
double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
}

// Rounds rotate the order, so no contender always runs first on a cold
// cache; each figure is the median of its rounds.
void SideBySide(uint32_t rate, std::vector<Contender> contenders) {
  for (int round = 0; round < kRounds; ++round) {
    for (size_t k = 0; k < contenders.size(); ++k) {
      Contender& contender = contenders[(k + round) % contenders.size()];
      const double start = ThreadSeconds();
      uint64_t samples = 0;
      for (int pass = 0; pass < 4; ++pass) samples += contender.run(rate);
      const double seconds = ThreadSeconds() - start;
      contender.samples_per_second.push_back(samples / seconds);
    }
  }
  const double ours = Median(contenders.front().samples_per_second);
  std::printf("\n%u Hz, 20 ms blocks, %d symbols of %d + %d ms, median of %d rounds:\n", rate,
              kRepeats * 16, kIntervalMs, kIntervalMs, kRounds);
  for (const Contender& contender : contenders) {
    const double speed = Median(contender.samples_per_second);
    std::printf("  %-8s %8.0f M samples/s  %5.2fx zelnor\n", contender.name, speed / 1e6,
                speed / ours);
  }
}

// The same sequence into a raw file, to set beside sox doing the same.
double g_zelnor_file_seconds = 0;
double g_sox_file_seconds = 0;

void Keep(double& best, double seconds) {
  if (best == 0 || seconds < best) best = seconds;
}

void BM_SynthesisToFile(benchmark::State& state) {
  constexpr uint32_t kRate = 48000;
  const std::string path = "/tmp/zelnor_bench_zelnor.raw";
  std::vector<int16_t> block(kRate / 50);
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    FILE* file = std::fopen(path.c_str(), "wb");
    zelnor::DtmfSequence sequence = Sequence(kRate);
    while (const size_t n = sequence.Generate(block.data(), block.size()))
      std::fwrite(block.data(), 2, n, file);
    std::fclose(file);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(seconds);
    Keep(g_zelnor_file_seconds, seconds);
  }
  std::remove(path.c_str());
}
BENCHMARK(BM_SynthesisToFile)->UseManualTime()->Unit(benchmark::kMillisecond);

// sox makes the same sequence in one process: one effects chain per symbol
// (its two tones, then as long a silence), each chain's output following the
// one before in the file.
void BM_SoxToFile(benchmark::State& state) {
  const std::string path = "/tmp/zelnor_bench_sox.raw";
  const std::string seconds_per_interval = std::to_string(kIntervalMs / 1000.0);
  std::string command = "sox -n -r 48000 -b 16 -c 1 -e signed -t raw " + path;
  const char* separator = "";
  for (const char symbol : Dial()) {
    const zelnor::TonePair tones = *zelnor::TonesFor(symbol);
    command += std::string(separator) + " synth " + seconds_per_interval + " sine " +
               std::to_string(tones.low_hz) + " sine " + std::to_string(tones.high_hz) +
               " remix - gain -n -1.5 pad 0 " + seconds_per_interval;
    separator = " :";
  }
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("sox failed");
      break;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(seconds);
    Keep(g_sox_file_seconds, seconds);
  }
  std::remove(path.c_str());
}
BENCHMARK(BM_SoxToFile)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  SideBySide(48000, {{"zelnor", Zelnor, {}}, {"memcpy", Memcpy, {}}});
  SideBySide(8000, {{"zelnor", Zelnor, {}}, {"SpanDSP", SpanDsp, {}}, {"memcpy", Memcpy, {}}});
  std::printf("\n");
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (g_zelnor_file_seconds > 0 && g_sox_file_seconds > 0) {
    std::printf(
        "\n%.0f s of audio to a file: zelnor %.2f ms, sox %.2f ms, sox takes %.1fx as long\n",
        AudioSeconds(), g_zelnor_file_seconds * 1e3, g_sox_file_seconds * 1e3,
        g_sox_file_seconds / g_zelnor_file_seconds);
  }
  return 0;
}
