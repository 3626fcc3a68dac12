#pragma once
// Turning the calling thread's last error into an exception.

#include <windows.h>

#include <system_error>

[[noreturn]] inline void ThrowLastError(const char* what) {
  throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(), what);
}
