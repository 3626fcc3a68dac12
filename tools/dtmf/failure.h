#pragma once
// How dtmf.exe ends when it cannot do what was asked: one line on standard
// error and an exit status saying which kind of failure it was.

#include <exception>
#include <string>
#include <utility>

namespace dtmf_tool {

inline constexpr int kExitFailed = 1;  // a file, memory, the library
inline constexpr int kExitUsage = 2;   // bad arguments (UsageError)
inline constexpr int kExitDevice = 3;  // no device, or the device failed

// A failure other than a bad command line: `message` is one line starting
// "dtmf: ".
class Failure : public std::exception {
 public:
  Failure(int exit_status, std::wstring message)
      : exit_status_(exit_status), message_(std::move(message)) {}
  [[nodiscard]] int exit_status() const { return exit_status_; }
  [[nodiscard]] const std::wstring& message() const { return message_; }
  [[nodiscard]] const char* what() const noexcept override { return "dtmf failed"; }

 private:
  int exit_status_;
  std::wstring message_;
};

}  // namespace dtmf_tool
