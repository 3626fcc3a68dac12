#pragma once
// Where a loaded module lives on disk.

#include <windows.h>

#include <string>

// The full path of `module` (null for the executable itself), however long;
// empty when the system cannot say.
inline std::wstring ModulePath(HMODULE module) {
  constexpr DWORD kLongestPath = 32768;
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size = static_cast<DWORD>(path.size());
    const DWORD length = ::GetModuleFileNameW(module, path.data(), size);
    if (length == 0) return {};
    if (length < size) {
      path.resize(length);
      return path;
    }
    if (size >= kLongestPath) return {};
    path.resize(size * 2);
  }
}
