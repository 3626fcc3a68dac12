#include "tools/dtmf/standard_streams.h"

#include "tools/dtmf/command_line.h"

namespace dtmf_tool {

void RequireNoConsole(StandardStream stream, const std::wstring& option) {
  if (!IsConsole(stream)) return;
  throw UsageError(stream == StandardStream::kInput
                       ? L"dtmf: " + option + L": standard input is a console; pipe a WAV file in"
                       : L"dtmf: " + option +
                             L": standard output is a console; redirect it to a file or a pipe");
}

int WriteWaveToStandardOutput(const std::string& dial, const ZelnorOptions& options) {
  RequireNoConsole(StandardStream::kOutput, L"-o -");
  return WriteDTMFWaveTo(dial.c_str(), &options, &WriteToHandle,
                         StandardHandle(StandardStream::kOutput));
}

}  // namespace dtmf_tool
