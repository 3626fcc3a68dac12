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
#include "zelnor/exports/caller_streams.h"
#include "zelnor/output/file_sink_posix.h"

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

struct SystemFiles {
  using Path = const char*;
  using File = int;
  using Source = FileSource;
  static UniqueFd OpenToRead(Path path) { return UniqueFd(::open(path, O_RDONLY | O_CLOEXEC)); }
  static bool WriteWhole(Path path, bool (*fill)(File, void*), void* context) {
    return WriteWholeFile(path, fill, context);
  }
  template <typename WriteTo>
  static bool FillThrough(File file, WriteTo&& write) {
    return zelnor::FillThrough(file, write);
  }
};

}  // namespace zelnor
