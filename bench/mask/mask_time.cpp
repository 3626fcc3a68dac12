// The masker's CPU beside the receiver's, both in process, on the audio
// dtmf --mask must keep up with: 4 hours of keypad tones (720 digits, 10 s
// tones and 10 s gaps, as bench/dtmf_decode_bench_win.cpp writes) and an
// hour of the talk-off corpus's speech and music (bench/talk_off/run.sh's
// raw cache). Prints each one's seconds and a checksum of the masked
// samples and spans, so that a faster masker can be shown to mask the same.
//
// Usage: mask_time [--talk-off DIR] [--seconds S] [--runs N] [--no-tones]
//   DIR: the raw cache (default build/talk_off/corpus/.raw); every few
//   files in name order are taken until S seconds (default 3600).
//   N: runs of each, the fastest shown (default 3).

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "zelnor/masker/dtmf_masker.h"
#include "zelnor/receiver/dtmf_receiver.h"
#include "zelnor/signal/dtmf_levels.h"
#include "zelnor/signal/keypad.h"

namespace {

constexpr std::uint32_t kRate = 8000;
constexpr double kPi = 3.14159265358979323846;

// 720 digits of 10 s, each followed by 10 s of silence, each tone -10 dBm0.
std::vector<std::int16_t> FourHoursOfTones() {
  constexpr int kDigits = 720;
  constexpr std::size_t kTen = 10 * kRate;
  std::vector<std::int16_t> x(kDigits * 2 * kTen, 0);
  const double amplitude = 32767 * zelnor::Dbm0Amplitude(-10);
  const char* symbols = "0123456789*#ABCD";
  for (int d = 0; d < kDigits; ++d) {
    const zelnor::TonePair pair = *zelnor::TonesFor(symbols[d % 16]);
    std::int16_t* at = x.data() + static_cast<std::size_t>(d) * 2 * kTen;
    for (std::size_t i = 0; i < kTen; ++i) {
      const double t = static_cast<double>(i) / kRate;
      at[i] = static_cast<std::int16_t>(
          std::lround(amplitude * (std::sin(2 * kPi * pair.low_hz * t) +
                                   std::sin(2 * kPi * pair.high_hz * t))));
    }
  }
  return x;
}

std::vector<std::int16_t> TalkOff(const std::string& folder, double seconds) {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (std::filesystem::recursive_directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    if (it->path().extension() == ".raw") files.push_back(it->path());
  }
  std::sort(files.begin(), files.end());
  std::uintmax_t bytes = 0;
  for (const auto& f : files) bytes += std::filesystem::file_size(f);
  const double all = static_cast<double>(bytes) / 2 / kRate;
  const auto stride = std::max<std::size_t>(1, static_cast<std::size_t>(all / seconds));
  const auto wanted = static_cast<std::size_t>(seconds * kRate);
  std::vector<std::int16_t> x;
  for (std::size_t first = 0; first < stride && x.size() < wanted; ++first) {
    for (std::size_t i = first; i < files.size() && x.size() < wanted; i += stride) {
      std::ifstream file(files[i], std::ios::binary);
      const std::vector<char> raw((std::istreambuf_iterator<char>(file)), {});
      const std::size_t n = std::min(raw.size() / 2, wanted - x.size());
      const std::size_t old = x.size();
      x.resize(old + n);
      std::copy_n(raw.data(), 2 * n, reinterpret_cast<char*>(x.data() + old));
    }
  }
  return x;
}

double CpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// FNV-1a, 64 bits.
void Mix(std::uint64_t& hash, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (std::size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 0x100000001b3ull;
}

// The spans, each with the chunk it was reported in, hashed with the
// samples after the clock has stopped.
struct Masked {
  std::size_t chunk = 0;
  std::vector<std::pair<std::size_t, zelnor::MaskedSpan>> spans;
};

void KeepSpan(void* context, const zelnor::MaskedSpan& span) {
  auto* masked = static_cast<Masked*>(context);
  masked->spans.emplace_back(masked->chunk, span);
}

// The best of `runs` runs of each: other work on the machine only adds.
void Measure(const char* name, const std::vector<std::int16_t>& x, int runs) {
  constexpr std::size_t kChunk = 4096;
  int digits = 0;
  const auto count = [](void* context, const zelnor::HeardDigit&, bool ended) {
    *static_cast<int*>(context) += ended ? 1 : 0;
  };
  double receiver_seconds = 1e30;
  double masker_seconds = 1e30;
  Masked masked;
  std::vector<std::int16_t> out(x.size() + kChunk);
  for (int run = 0; run < runs; ++run) {
    digits = 0;
    double start = CpuSeconds();
    zelnor::DtmfReceiver receiver({kRate});
    for (std::size_t at = 0; at < x.size(); at += kChunk) {
      receiver.Feed(x.data() + at, std::min(kChunk, x.size() - at), count, &digits);
    }
    receiver.Flush(count, &digits);
    receiver_seconds = std::min(receiver_seconds, CpuSeconds() - start);

    masked.chunk = 0;
    masked.spans.clear();
    masked.spans.reserve(4096);
    start = CpuSeconds();
    zelnor::DtmfMasker masker({kRate, zelnor::Replacement::kSilence, KeepSpan, &masked});
    for (std::size_t at = 0; at < x.size(); at += kChunk, ++masked.chunk) {
      masker.Process(x.data() + at, std::min(kChunk, x.size() - at), out.data() + at);
    }
    masker.Flush(out.data() + x.size());
    masker_seconds = std::min(masker_seconds, CpuSeconds() - start);
  }
  out.resize(x.size() + zelnor::DtmfMasker({kRate}).Delay());

  // Chunk by chunk, its spans before its samples; the flush last.
  std::uint64_t hash = 0xcbf29ce484222325ull;
  std::size_t next = 0;
  const std::size_t chunks = masked.chunk;
  for (std::size_t chunk = 0; chunk <= chunks; ++chunk) {
    for (; next < masked.spans.size() && masked.spans[next].first == chunk; ++next) {
      const zelnor::MaskedSpan& span = masked.spans[next].second;
      Mix(hash, &span.start_sample, sizeof span.start_sample);
      Mix(hash, &span.end_sample, sizeof span.end_sample);
    }
    const std::size_t first = chunk < chunks ? chunk * kChunk : x.size();
    const std::size_t end = chunk < chunks ? std::min(first + kChunk, x.size()) : out.size();
    Mix(hash, out.data() + first, (end - first) * sizeof out[0]);
  }
  const double hours = static_cast<double>(x.size()) / kRate / 3600;
  std::printf("| %s | %.2f | %.3f | %d | %.3f | %zu | %.1fx | %016llx |\n", name, hours,
              receiver_seconds, digits, masker_seconds, masked.spans.size(),
              masker_seconds / receiver_seconds, static_cast<unsigned long long>(hash));
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::string folder = "build/talk_off/corpus/.raw";
  double seconds = 3600;
  int runs = 3;
  bool tones = true;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--talk-off" && i + 1 < argc) {
      folder = argv[++i];
    } else if (a == "--seconds" && i + 1 < argc) {
      seconds = std::atof(argv[++i]);
    } else if (a == "--runs" && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else if (a == "--no-tones") {
      tones = false;
    } else {
      std::fprintf(stderr,
                   "usage: mask_time [--talk-off DIR] [--seconds S] [--runs N] [--no-tones]\n");
      return 2;
    }
  }
  std::printf(
      "| audio | hours | receiver CPU (s) | digits | masker CPU (s) | spans | masker / receiver | "
      "checksum |\n");
  std::printf("| --- | ---: | ---: | ---: | ---: | ---: | ---: | --- |\n");
  if (tones) Measure("4 h of tones", FourHoursOfTones(), runs);
  const std::vector<std::int16_t> talk = TalkOff(folder, seconds);
  if (talk.empty()) {
    std::fprintf(stderr, "mask_time: no raw files in %s (bench/talk_off/run.sh writes them)\n",
                 folder.c_str());
    return 1;
  }
  Measure("talk-off corpus", talk, runs);
  return 0;
}
