#include "tools/dtmf/standard_output_wave_win.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "common/wave_header.h"
#include "tools/dtmf/command_line.h"
#include "tools/dtmf/console_win.h"

namespace dtmf_tool {
namespace {

// WriteFile to the end: a pipe may take less at a time, and a full disk
// can take nothing while reporting success.
bool WriteAll(HANDLE out, const void* data, size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  constexpr size_t kMostAtOnce = 1 << 20;
  while (size > 0) {
    DWORD written = 0;
    const auto chunk = static_cast<DWORD>(std::min(size, kMostAtOnce));
    if (!::WriteFile(out, bytes, chunk, &written, nullptr)) return false;
    if (written == 0) {
      ::SetLastError(ERROR_DISK_FULL);
      return false;
    }
    bytes += written;
    size -= written;
  }
  return true;
}

}  // namespace

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
