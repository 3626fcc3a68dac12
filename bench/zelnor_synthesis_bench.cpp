// How fast the tone generator is, as a multiple of real time at 48 kHz on
// one core, next to sox producing the same tone sequence into a file.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "zelnor/signal/dtmf_sequence.h"
#include "zelnor/signal/keypad.h"

namespace {

constexpr uint32_t kRate = 48000;
constexpr int32_t kIntervalMs = 100;
constexpr int kRepeats = 10;  // 160 symbols: 32 s of audio

std::string Dial() {
  std::string dial;
  for (int i = 0; i < kRepeats; ++i) dial += zelnor::kAllSymbols;
  return dial;
}

double AudioSeconds() { return Dial().size() * 2.0 * kIntervalMs / 1000.0; }

// Fastest time per run of each, for the ratio printed at the end.
double g_zelnor_file_seconds = 0;
double g_sox_file_seconds = 0;

void Keep(double& best, double seconds) {
  if (best == 0 || seconds < best) best = seconds;
}

// In the 20 ms blocks the player asks for.
void BM_SynthesisInBlocks(benchmark::State& state) {
  const std::string dial = Dial();
  std::vector<int16_t> block(kRate / 50);
  for (auto _ : state) {
    zelnor::DtmfSequence sequence(dial, {kIntervalMs, kIntervalMs, kRate});
    while (sequence.Generate(block.data(), block.size()) != 0)
      benchmark::DoNotOptimize(block.data());
  }
  state.counters["x_real_time"] = benchmark::Counter(
      AudioSeconds() * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SynthesisInBlocks)->Unit(benchmark::kMillisecond);

// The same sequence into a raw file, to set beside sox doing the same.
void BM_SynthesisToFile(benchmark::State& state) {
  const std::string dial = Dial();
  const std::string path = "/tmp/zelnor_bench_zelnor.raw";
  std::vector<int16_t> block(kRate / 50);
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    FILE* file = std::fopen(path.c_str(), "wb");
    zelnor::DtmfSequence sequence(dial, {kIntervalMs, kIntervalMs, kRate});
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
