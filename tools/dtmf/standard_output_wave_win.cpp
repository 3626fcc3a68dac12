#include "tools/dtmf/standard_output_wave_win.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "common/wave_header.h"
#include "common/write_all_win.h"
#include "tools/dtmf/command_line.h"
#include "tools/dtmf/console_win.h"

namespace dtmf_tool {
int WriteWaveToStandardOutput(const std::string& dial, const ZelnorOptions& options) {
  const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
  if (IsConsole(STD_OUTPUT_HANDLE)) {
    throw UsageError(L"dtmf: -o -: standard output is a console; redirect it to a file or a pipe");
  }
  uint64_t count = 0;
  if (const int result = RenderDTMF(dial.c_str(), &options, nullptr, &count); result != ZELNOR_OK) {
    return result;
  }
  if (count > kMaxWaveSamples) return ZELNOR_E_INVALID_ARGUMENT;
  // The header and the samples in one buffer and one write: a reader that
  // sniffs a pipe's format (sox) may look once, and must find more than the
  // header there.
  static_assert(kWaveHeaderBytes % sizeof(int16_t) == 0);
  constexpr size_t kHeaderSamples = kWaveHeaderBytes / sizeof(int16_t);
  std::vector<int16_t> file(kHeaderSamples + static_cast<size_t>(count));
  if (const int result = RenderDTMF(dial.c_str(), &options, file.data() + kHeaderSamples, &count);
      result != ZELNOR_OK) {
    return result;
  }
  const auto header = WaveHeader(options.sample_rate, count);
  std::memcpy(file.data(), header.data(), header.size());
  const bool written = WriteAll(out, file.data(), file.size() * sizeof(int16_t));
  return written ? ZELNOR_OK : ZELNOR_E_FILE;
}

}  // namespace dtmf_tool
