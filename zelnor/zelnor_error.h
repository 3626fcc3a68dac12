#pragma once
// Failures inside the library travel as this exception and become the
// result code at the exported function.

#include <exception>

namespace zelnor {

// Its text is a literal, kept as a pointer: a string member, as
// std::runtime_error has, brings the C++ library's strings (some 80 KB)
// into the DLL.
class ZelnorError : public std::exception {
 public:
  ZelnorError(int code, const char* what) noexcept : code_(code), what_(what) {}
  [[nodiscard]] const char* what() const noexcept override { return what_; }
  [[nodiscard]] int code() const noexcept { return code_; }

 private:
  int code_;
  const char* what_;  // a literal
};

}  // namespace zelnor
