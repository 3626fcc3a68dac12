#include "tools/dtmf/standard_output_wave_win.h"

#include <windows.h>

#include "common/write_all_win.h"
#include "tools/dtmf/command_line.h"
#include "tools/dtmf/console_win.h"

namespace dtmf_tool {
namespace {

// Each run of the file's bytes straight on to standard output, so the
// file is never held whole.
int ZELNOR_CALL WriteToHandle(void* out, const void* bytes, uint32_t count) {
  return WriteAll(static_cast<HANDLE>(out), bytes, count) ? 1 : 0;
}

}  // namespace

int WriteWaveToStandardOutput(const std::string& dial, const ZelnorOptions& options) {
  if (IsConsole(STD_OUTPUT_HANDLE)) {
    throw UsageError(L"dtmf: -o -: standard output is a console; redirect it to a file or a pipe");
  }
  return WriteDTMFWaveTo(dial.c_str(), &options, &WriteToHandle, ::GetStdHandle(STD_OUTPUT_HANDLE));
}

}  // namespace dtmf_tool
