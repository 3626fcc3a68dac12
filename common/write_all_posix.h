#pragma once
// write() until every byte is taken. A pipe may take less at a time, and a
// signal may cut a write short; a write that takes nothing is reported as
// a full disk.

#include <unistd.h>

#include <cerrno>
#include <cstddef>

// False with errno set when the rest cannot be written.
inline bool WriteAll(int fd, const void* data, size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t written = ::write(fd, bytes, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      if (written == 0) errno = ENOSPC;
      return false;
    }
    bytes += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}
