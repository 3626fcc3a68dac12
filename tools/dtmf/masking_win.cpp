#include "tools/dtmf/masking_win.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/handles_win.h"
#include "common/whole_file_win.h"
#include "tools/dtmf/console_win.h"
#include "tools/dtmf/digit_text.h"
#include "tools/dtmf/failure.h"
#include "tools/dtmf/standard_streams_win.h"
#include "zelnor.h"

namespace dtmf_tool {
namespace {

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

void ZELNOR_CALL KeepSpan(void* spans, const ZelnorMaskedSpan* span) {
  static_cast<std::vector<ZelnorMaskedSpan>*>(spans)->push_back(*span);
}

// One run of the library's stream call, and whether its writing failed.
struct Streaming {
  HANDLE source;
  HANDLE target;
  const ZelnorMaskerOptions* options;
  ZelnorWaveInfo* info;
  int result = ZELNOR_OK;
  DWORD write_error = 0;  // the target's, when a write failed
};

int ZELNOR_CALL WriteTarget(void* context, const void* bytes, uint32_t count) {
  auto& streaming = *static_cast<Streaming*>(context);
  if (WriteToHandle(streaming.target, bytes, count) != 0) return 1;
  streaming.write_error = ::GetLastError();
  return 0;
}

// Streams source to target; false, with the last error set, when the
// target could not be written or the recording failed.
bool Stream(HANDLE target, void* context) {
  auto& streaming = *static_cast<Streaming*>(context);
  streaming.target = target;
  streaming.result = MaskDTMFWaveStream(&ReadFromHandle, streaming.source, &WriteTarget, &streaming,
                                        streaming.options, streaming.info);
  if (streaming.write_error != 0) ::SetLastError(streaming.write_error);
  return streaming.result == ZELNOR_OK;
}

// Masks `source` (a file or standard input) into `target` (a file, taking
// its place only once whole, or standard output). Returns the library's
// result; for ZELNOR_E_FILE, `info.problem` says whether it was the
// reading, and GetLastError() why.
int Mask(const Command& command, const ZelnorMaskerOptions& options, ZelnorWaveInfo& info) {
  const bool from_input = command.recording == kStandardOutputName;
  const bool to_output = command.output_path == kStandardOutputName;
  if (!from_input && !to_output) {
    return MaskDTMFWaveW(command.recording.c_str(), command.output_path.c_str(), &options, &info);
  }
  UniqueKernelHandle file;
  HANDLE source = ::GetStdHandle(STD_INPUT_HANDLE);
  if (!from_input) {
    file.reset(::CreateFileW(command.recording.c_str(), GENERIC_READ,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
      info.problem = ZELNOR_WAVE_UNREADABLE;
      return ZELNOR_E_FILE;
    }
    source = file.get();
  }
  Streaming streaming{source, nullptr, &options, &info};
  if (to_output) {
    Stream(::GetStdHandle(STD_OUTPUT_HANDLE), &streaming);
    return streaming.result;
  }
  const bool written = WriteWholeFile(command.output_path.c_str(), &Stream, &streaming);
  return written || streaming.result != ZELNOR_OK ? streaming.result : ZELNOR_E_FILE;
}

}  // namespace

int MaskRecording(const Command& command) {
  const bool from_input = command.recording == kStandardOutputName;
  const bool to_output = command.output_path == kStandardOutputName;
  if (from_input) RequireNoConsole(STD_INPUT_HANDLE, L"--mask");
  if (to_output) RequireNoConsole(STD_OUTPUT_HANDLE, L"-o -");
  const std::wstring source = from_input ? L"standard input" : L"'" + command.recording + L"'";
  const std::wstring target = to_output ? L"standard output" : L"'" + command.output_path + L"'";

  std::vector<ZelnorMaskedSpan> spans;
  ZelnorMaskerOptions options = ZELNOR_MASKER_OPTIONS(ZELNOR_MIN_MASKER_RATE);
  options.replacement = command.replacement;
  options.span = &KeepSpan;
  options.span_context = &spans;
  ZelnorWaveInfo info{};
  info.cbSize = sizeof info;
  const int result = Mask(command, options, info);
  if (result == ZELNOR_E_FILE && info.problem == ZELNOR_WAVE_UNREADABLE) {
    throw Failure(kExitUsage, L"dtmf: --mask: cannot read " + source + L": " +
                                  SystemErrorText(::GetLastError()));
  }
  if (result == ZELNOR_E_FILE) {
    throw Failure(kExitFailed,
                  L"dtmf: -o: cannot write " + target + L": " + SystemErrorText(::GetLastError()));
  }
  if (result == ZELNOR_E_BAD_WAVE) {
    throw Failure(kExitUsage, L"dtmf: --mask: " + source + L": " + Widen(info.message));
  }
  if (result != ZELNOR_OK) {
    throw Failure(kExitFailed, L"dtmf: zelnor.dll failed with error " + std::to_wstring(result));
  }
  if (info.problem == ZELNOR_WAVE_TRUNCATED) {
    Print(STD_ERROR_HANDLE, L"dtmf: --mask: warning: " + source + L": " + Widen(info.message) +
                                L"; masked what is there\n");
  }
  if (command.quiet) return 0;
  // Each channel reports as its spans end; people read by time.
  std::stable_sort(spans.begin(), spans.end(),
                   [](const ZelnorMaskedSpan& a, const ZelnorMaskedSpan& b) {
                     return a.start_sample != b.start_sample ? a.start_sample < b.start_sample
                                                             : a.channel < b.channel;
                   });
  std::string text;
  for (const ZelnorMaskedSpan& span : spans) {
    text += SpanText(span, info.sample_rate, command.digit_format, info.channels > 1);
  }
  // The masked recording may be on standard output.
  Print(to_output ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE, Widen(text));
  if (command.verbose) {
    Print(STD_ERROR_HANDLE, L"dtmf: wrote " + target + L": " + std::to_wstring(spans.size()) +
                                L" spans masked in " + std::to_wstring(info.frames) +
                                L" frames of " + std::to_wstring(info.channels) + L" channels\n");
  }
  return 0;
}

}  // namespace dtmf_tool
