// Masks raw 16-bit mono samples read from standard input and writes them
// to standard output, lined up with the input (the masker's delay taken
// off); each span replaced goes to standard error as "start end" in
// samples, end one past the last.
// Usage: mask_raw RATE [silence|noise|beep] < samples > masked 2> spans

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <vector>

#include "zelnor/masker/dtmf_masker.h"

namespace {

void PrintSpan(void*, const zelnor::MaskedSpan& span) {
  std::fprintf(stderr, "%llu %llu\n", static_cast<unsigned long long>(span.start_sample),
               static_cast<unsigned long long>(span.end_sample));
}

bool ReadKind(const char* name, zelnor::Replacement& kind) {
  const struct {
    const char* name;
    zelnor::Replacement kind;
  } kKinds[] = {{"silence", zelnor::Replacement::kSilence},
                {"noise", zelnor::Replacement::kNoise},
                {"beep", zelnor::Replacement::kBeep}};
  for (const auto& known : kKinds) {
    if (std::strcmp(name, known.name) == 0) {
      kind = known.kind;
      return true;
    }
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  zelnor::Replacement kind = zelnor::Replacement::kSilence;
  if (argc < 2 || argc > 3 || (argc == 3 && !ReadKind(argv[2], kind))) {
    std::fprintf(stderr, "usage: mask_raw RATE [silence|noise|beep] < samples > masked 2> spans\n");
    return 2;
  }
  try {
    const auto rate = static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 10));
    zelnor::DtmfMasker masker({rate, kind, PrintSpan, nullptr});
    constexpr std::size_t kChunk = 4096;
    std::vector<std::int16_t> in(kChunk);
    std::vector<std::int16_t> out(kChunk + masker.Delay());
    // The first Delay() samples out are the masker's own silence: dropped.
    std::size_t to_drop = masker.Delay();
    const auto write = [&](const std::int16_t* at, std::size_t count) {
      const std::size_t dropped = count < to_drop ? count : to_drop;
      to_drop -= dropped;
      std::fwrite(at + dropped, sizeof *at, count - dropped, stdout);
    };
    for (std::size_t n; (n = std::fread(in.data(), sizeof in[0], kChunk, stdin)) > 0;) {
      masker.Process(in.data(), n, out.data());
      write(out.data(), n);
    }
    masker.Flush(out.data());
    write(out.data(), masker.Delay());
    return std::ferror(stdout) ? 1 : 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "mask_raw: %s\n", error.what());
    return 2;
  }
}
