#pragma once
// A path given in the ANSI code page, for the A forms of the calls that take
// one. A vector rather than a std::wstring: the string's code costs the DLL
// tens of kilobytes.

#include <windows.h>

#include <vector>

namespace zelnor {

// `path` as NUL-terminated wide text; empty when it cannot be converted.
inline std::vector<wchar_t> WidePath(const char* path) {
  const int length = ::MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
  if (length <= 0) return {};
  std::vector<wchar_t> wide(static_cast<size_t>(length));
  ::MultiByteToWideChar(CP_ACP, 0, path, -1, wide.data(), length);
  return wide;
}

}  // namespace zelnor
