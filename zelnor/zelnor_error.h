#pragma once
// Failures inside the library travel as this exception and become the
// result code at the exported function.

#include <stdexcept>

namespace zelnor {

class ZelnorError : public std::runtime_error {
 public:
  ZelnorError(int code, const char* what) : std::runtime_error(what), code_(code) {}
  [[nodiscard]] int code() const noexcept { return code_; }

 private:
  int code_;
};

}  // namespace zelnor
