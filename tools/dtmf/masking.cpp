#include "tools/dtmf/masking.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "tools/dtmf/console.h"
#include "tools/dtmf/digit_text.h"
#include "tools/dtmf/failure.h"
#include "tools/dtmf/recording_files.h"
#include "tools/dtmf/reporting.h"
#include "tools/dtmf/standard_streams.h"
#include "zelnor.h"

namespace dtmf_tool {
namespace {

void ZELNOR_CALL KeepSpan(void* spans, const ZelnorMaskedSpan* span) {
  static_cast<std::vector<ZelnorMaskedSpan>*>(spans)->push_back(*span);
}

// One run of the library's stream call, and whether its writing failed.
struct Streaming {
  void* source;
  void* target;
  const ZelnorMaskerOptions* options;
  ZelnorWaveInfo* info;
  int result = ZELNOR_OK;
  SystemError write_error = 0;  // the target's, when a write failed
};

int ZELNOR_CALL WriteTarget(void* context, const void* bytes, uint32_t count) {
  auto& streaming = *static_cast<Streaming*>(context);
  if (WriteToHandle(streaming.target, bytes, count) != 0) return 1;
  streaming.write_error = LastSystemError();
  return 0;
}

// Streams source to target; false, with the last error set, when the
// target could not be written or the recording failed.
bool Stream(void* target, void* context) {
  auto& streaming = *static_cast<Streaming*>(context);
  streaming.target = target;
  streaming.result = MaskDTMFWaveStream(&ReadFromHandle, streaming.source, &WriteTarget, &streaming,
                                        streaming.options, streaming.info);
  if (streaming.write_error != 0) SetLastSystemError(streaming.write_error);
  return streaming.result == ZELNOR_OK;
}

// Masks `source` (a file or standard input) into `target` (a file, taking
// its place only once whole, or standard output). Returns the library's
// result; for ZELNOR_E_FILE, `info.problem` says whether it was the
// reading, and the last system error why.
int Mask(const Command& command, const ZelnorMaskerOptions& options, ZelnorWaveInfo& info) {
  const bool from_input = command.recording == kStandardOutputName;
  const bool to_output = command.output_path == kStandardOutputName;
  if (!from_input && !to_output) {
    return MaskWaveFile(command.recording, command.output_path, options, info);
  }
  std::optional<ReadingFile> file;
  void* source = StandardHandle(StandardStream::kInput);
  if (!from_input) {
    file.emplace(command.recording);
    if (!file->is_open()) {
      info.problem = ZELNOR_WAVE_UNREADABLE;
      return ZELNOR_E_FILE;
    }
    source = file->handle();
  }
  Streaming streaming{source, nullptr, &options, &info};
  if (to_output) {
    Stream(StandardHandle(StandardStream::kOutput), &streaming);
    return streaming.result;
  }
  const bool written = WriteWholeFile(command.output_path, &Stream, &streaming);
  return written || streaming.result != ZELNOR_OK ? streaming.result : ZELNOR_E_FILE;
}

}  // namespace

int MaskRecording(const Command& command) {
  const bool from_input = command.recording == kStandardOutputName;
  const bool to_output = command.output_path == kStandardOutputName;
  if (from_input) RequireNoConsole(StandardStream::kInput, L"--mask");
  if (to_output) RequireNoConsole(StandardStream::kOutput, L"-o -");
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
  if (result == ZELNOR_E_FILE && info.problem != ZELNOR_WAVE_UNREADABLE) {
    throw Failure(kExitFailed,
                  L"dtmf: -o: cannot write " + target + L": " + SystemErrorText(LastSystemError()));
  }
  CheckRecording(result, info, L"--mask", source, L"masked");
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
  Print(to_output ? StandardStream::kError : StandardStream::kOutput, Widen(text));
  if (command.verbose) {
    Print(StandardStream::kError, L"dtmf: wrote " + target + L": " + std::to_wstring(spans.size()) +
                                      L" spans masked in " + std::to_wstring(info.frames) +
                                      L" frames of " + std::to_wstring(info.channels) +
                                      L" channels\n");
  }
  return 0;
}

}  // namespace dtmf_tool
