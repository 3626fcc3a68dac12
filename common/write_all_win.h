#pragma once
// WriteFile until every byte is taken. A pipe may take less at a time, and a
// full disk under Wine takes part of a write and reports success with no
// error set; a write that takes nothing is reported as a full disk.

#include <windows.h>

#include <algorithm>
#include <cstddef>

// False with the last error set when the rest cannot be written.
inline bool WriteAll(HANDLE file, const void* data, size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  constexpr size_t kMostAtOnce = 1 << 20;  // WriteFile counts in a DWORD
  while (size > 0) {
    DWORD written = 0;
    const auto chunk = static_cast<DWORD>(std::min(size, kMostAtOnce));
    if (!::WriteFile(file, bytes, chunk, &written, nullptr)) return false;
    if (written == 0) {
      ::SetLastError(ERROR_DISK_FULL);
      return false;
    }
    bytes += written;
    size -= written;
  }
  return true;
}
