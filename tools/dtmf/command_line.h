#pragma once
// dtmf.exe's command line, read into what to do. Portable, so every rule
// of the syntax is tested natively.

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "zelnor.h"

namespace dtmf_tool {

// What the command line asks for.
enum class Action { kPlay, kWrite, kDecode, kListen, kMask, kListDevices, kHelp, kVersion };

// How --decode and --listen print the digits they hear (and --mask its
// spans: kLine and kTimes alike, or kJson).
enum class DigitFormat {
  kLine,   // the symbols on one line
  kTimes,  // a line per digit: start and end in seconds, the symbol (and the channel)
  kJson,   // a JSON object per digit
};

// The tone length when -t is not given, as Dialler's window starts.
inline constexpr int32_t kDefaultToneMs = 150;

// What -o takes to mean standard output.
inline constexpr wchar_t kStandardOutputName[] = L"-";

// Everything the command line says, read and checked.
struct Command {
  Action action = Action::kPlay;
  std::wstring symbols;  // as typed; unused when read from standard input
  bool symbols_from_stdin = false;
  std::wstring output_path;  // kWrite, kMask: a file, or kStandardOutputName
  std::wstring recording;    // kDecode, kMask: a WAV file, or kStandardOutputName for stdin
  uint32_t replacement = ZELNOR_MASK_SILENCE;  // kMask: what a tone becomes
  DigitFormat digit_format = DigitFormat::kLine;
  char until = '\0';                   // kListen: the symbol to stop at, or none
  std::optional<std::wstring> device;  // -d as typed; none: the default device
  // Every flag that shapes the sound, the device and the progress callback
  // left to the caller.
  ZelnorOptions options{sizeof(ZelnorOptions),
                        kDefaultToneMs,
                        kDefaultToneMs,
                        ZELNOR_DEFAULT_SAMPLE_RATE,
                        ZELNOR_DEFAULT_LEVEL_DB10,
                        ZELNOR_DEFAULT_DEVICE,
                        ZELNOR_DEFAULT_PAUSE_MS,
                        ZELNOR_DEFAULT_TWIST_DB10,
                        0,
                        0,
                        nullptr,
                        nullptr};
  bool verbose = false;
  bool quiet = false;  // no progress display
};

// A bad command line: `message` is one line, "dtmf: " and the argument it
// is about first.
class UsageError : public std::exception {
 public:
  explicit UsageError(std::wstring message) : message_(std::move(message)) {}
  [[nodiscard]] const std::wstring& message() const { return message_; }
  [[nodiscard]] const char* what() const noexcept override { return "bad command line"; }

 private:
  std::wstring message_;
};

// `arguments` without the program's own name. Throws UsageError.
Command ParseCommandLine(const std::vector<std::wstring>& arguments);

// What --help prints, with the library's ranges and rates.
std::wstring UsageText();

}  // namespace dtmf_tool
