#pragma once
// dtmf.exe's command line, read into what to do. Portable, so every rule
// of the syntax is tested natively.

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <vector>

namespace dtmf_tool {

enum class Action { kPlay, kWrite, kListDevices, kHelp };

struct Command {
  Action action = Action::kPlay;
  std::wstring symbols;  // as typed; unused when read from standard input
  bool symbols_from_stdin = false;
  std::wstring output_path;            // kWrite
  std::optional<std::wstring> device;  // -d as typed; none: the default device
  int32_t tone_ms = 150;
  int32_t gap_ms = 150;  // the tone length unless -g says otherwise
  uint32_t sample_rate = 48000;
  bool verbose = false;
};

// A bad command line: `message` is one line naming the argument.
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

// What --help prints.
extern const wchar_t kUsage[];

}  // namespace dtmf_tool
