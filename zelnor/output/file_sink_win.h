#pragma once
// The library's writers into a file handle, for WriteWholeFile.

#include <windows.h>

#include "common/write_all_win.h"
#include "zelnor/byte_streams.h"

namespace zelnor {

// A write that failed, with the system's reason.
struct WriteFailure {
  DWORD error;
};

// Writes all of each run (common/write_all_win.h says why that takes a loop).
class FileSink final : public ByteSink {
 public:
  explicit FileSink(HANDLE file) : file_(file) {}
  void Write(const uint8_t* bytes, size_t count) override {
    if (!WriteAll(file_, bytes, count)) throw WriteFailure{::GetLastError()};
  }

 private:
  HANDLE file_;
};

// Runs `write(sink)` into `file`: false, with the last error set, when a
// write failed.
template <typename WriteTo>
bool FillThrough(HANDLE file, WriteTo&& write) {
  FileSink sink(file);
  try {
    write(sink);
  } catch (const WriteFailure& failure) {
    ::SetLastError(failure.error);
    return false;
  }
  return true;
}

}  // namespace zelnor
