#pragma once
// Files as the calls on whole recordings read and write them on POSIX
// systems: a descriptor read in order, and SystemFiles for
// wave_file_calls.h.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "common/unique_fd_posix.h"
#include "common/whole_file_posix.h"
#include "common/write_all_posix.h"
#include "zelnor/exports/caller_streams.h"

namespace zelnor {

class FileSource final : public ByteSource {
 public:
  explicit FileSource(int fd) : fd_(fd) {}
  size_t Read(uint8_t* bytes, size_t count) override {
    for (;;) {
      const ssize_t read = ::read(fd_, bytes, count);
      if (read >= 0) return static_cast<size_t>(read);
      if (errno != EINTR) throw ReadFailure{static_cast<uint32_t>(errno)};
    }
  }

 private:
  int fd_;
};

// Writes all of each run (common/write_all_posix.h says why that takes a
// loop).
class FileSink final : public ByteSink {
 public:
  explicit FileSink(int fd) : fd_(fd) {}
  void Write(const uint8_t* bytes, size_t count) override {
    if (!WriteAll(fd_, bytes, count)) throw WriteFailure{static_cast<uint32_t>(errno)};
  }

 private:
  int fd_;
};

struct SystemFiles {
  using Path = const char*;
  using File = int;
  using Source = FileSource;
  using Sink = FileSink;
  static UniqueFd OpenToRead(Path path) { return UniqueFd(::open(path, O_RDONLY | O_CLOEXEC)); }
  static bool WriteWhole(Path path, bool (*fill)(File, void*), void* context) {
    return WriteWholeFile(path, fill, context);
  }
};

}  // namespace zelnor
