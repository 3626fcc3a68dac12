#pragma once
// The library's writers into a file descriptor, for WriteWholeFile
// (the POSIX counterpart of file_sink_win.h).

#include <unistd.h>

#include <cerrno>

#include "zelnor/byte_streams.h"

namespace zelnor {

// A write that failed, with errno as it was.
struct WriteFailure {
  int error;
};

// Writes all of each run: a pipe may take less at a time, and a signal
// may cut a write short.
class FileSink final : public ByteSink {
 public:
  explicit FileSink(int fd) : fd_(fd) {}
  void Write(const uint8_t* bytes, size_t count) override {
    while (count > 0) {
      const ssize_t written = ::write(fd_, bytes, count);
      if (written < 0 && errno == EINTR) continue;
      if (written < 0) throw WriteFailure{errno};
      if (written == 0) throw WriteFailure{ENOSPC};
      bytes += written;
      count -= static_cast<size_t>(written);
    }
  }

 private:
  int fd_;
};

// Runs `write(sink)` into `fd`: false, with errno set, when a write failed.
template <typename WriteTo>
bool FillThrough(int fd, WriteTo&& write) {
  FileSink sink(fd);
  try {
    write(sink);
  } catch (const WriteFailure& failure) {
    errno = failure.error;
    return false;
  }
  return true;
}

}  // namespace zelnor
