#include "tools/dtmf/standard_streams_win.h"

#include "common/write_all_win.h"
#include "tools/dtmf/command_line.h"
#include "tools/dtmf/console_win.h"

namespace dtmf_tool {

int32_t ZELNOR_CALL ReadFromHandle(void* handle, void* buffer, int32_t size) {
  DWORD read = 0;
  if (::ReadFile(static_cast<HANDLE>(handle), buffer, static_cast<DWORD>(size), &read, nullptr)) {
    return static_cast<int32_t>(read);
  }
  return ::GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;
}

// Each run of the file's bytes straight on, so the file is never held whole.
int ZELNOR_CALL WriteToHandle(void* handle, const void* bytes, uint32_t count) {
  return WriteAll(static_cast<HANDLE>(handle), bytes, count) ? 1 : 0;
}

void RequireNoConsole(DWORD stream, const std::wstring& option) {
  if (!IsConsole(stream)) return;
  throw UsageError(stream == STD_INPUT_HANDLE
                       ? L"dtmf: " + option + L": standard input is a console; pipe a WAV file in"
                       : L"dtmf: " + option +
                             L": standard output is a console; redirect it to a file or a pipe");
}

int WriteWaveToStandardOutput(const std::string& dial, const ZelnorOptions& options) {
  RequireNoConsole(STD_OUTPUT_HANDLE, L"-o -");
  return WriteDTMFWaveTo(dial.c_str(), &options, &WriteToHandle, ::GetStdHandle(STD_OUTPUT_HANDLE));
}

}  // namespace dtmf_tool
