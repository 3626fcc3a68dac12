#include "tools/dtmf/reporting.h"

#include <cstdio>
#include <exception>
#include <iterator>

#include "tools/dtmf/console.h"
#include "tools/dtmf/failure.h"

namespace dtmf_tool {

#ifdef _WIN32
constexpr wchar_t kLibraryName[] = L"zelnor.dll";
#else
constexpr wchar_t kLibraryName[] = L"libzelnor.so";
#endif

void PrintError(const std::wstring& line) { Print(StandardStream::kError, line + L"\n"); }

void ReportError(const std::wstring& line) noexcept {
  try {
    PrintError(line);
  } catch (const std::exception&) {
  }
}

void Say(const Command& command, const std::wstring& what) {
  if (command.verbose) PrintError(L"dtmf: " + what);
}

void ThrowLibraryFailure(int result) {
  throw Failure(kExitFailed, L"dtmf: " + std::wstring(kLibraryName) + L" failed with error " +
                                 std::to_wstring(result));
}

void Check(int result) {
  if (result == ZELNOR_OK) return;
  if (result == ZELNOR_E_OUT_OF_MEMORY) throw Failure(kExitFailed, L"dtmf: " + OutOfMemoryText());
  ThrowLibraryFailure(result);
}

void CheckRecording(int result, const ZelnorWaveInfo& info, const std::wstring& option,
                    const std::wstring& source, const std::wstring& done) {
  if (result == ZELNOR_E_FILE) {
    throw Failure(kExitUsage, L"dtmf: " + option + L": cannot read " + source + L": " +
                                  SystemErrorText(LastSystemError()));
  }
  if (result == ZELNOR_E_BAD_WAVE) {
    throw Failure(kExitUsage, L"dtmf: " + option + L": " + source + L": " + Widen(info.message));
  }
  if (result != ZELNOR_OK) ThrowLibraryFailure(result);
  if (info.problem == ZELNOR_WAVE_TRUNCATED) {
    Print(StandardStream::kError, L"dtmf: " + option + L": warning: " + source + L": " +
                                      Widen(info.message) + L"; " + done + L" what is there\n");
  }
}

double LengthSeconds(const std::string& dial, const ZelnorOptions& options) {
  uint64_t samples = 0;
  RenderDTMF(dial.c_str(), &options, nullptr, &samples);
  return static_cast<double>(samples) / options.sample_rate;
}

std::wstring Describe(double seconds, const ZelnorOptions& options) {
  wchar_t text[128];
  std::swprintf(text, std::size(text), L"%.2f s of %d ms tones and %d ms gaps at %u Hz", seconds,
                options.tone_ms, options.gap_ms, options.sample_rate);
  return text;
}

std::wstring Widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

}  // namespace dtmf_tool
