#pragma once
// Files as the calls on whole recordings read and write them on Windows: a
// file handle read in order, and SystemFiles for wave_file_calls.h.

#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "common/handles_win.h"
#include "common/whole_file_win.h"
#include "common/write_all_win.h"
#include "zelnor/exports/caller_streams.h"

namespace zelnor {

// A file opened to be read in order, which others may go on using.
inline UniqueKernelHandle OpenToRead(const wchar_t* path) {
  UniqueKernelHandle file(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                                        nullptr));
  if (!file && ::GetLastError() == 0) ::SetLastError(ERROR_OPEN_FAILED);
  return file;
}

class FileSource final : public ByteSource {
 public:
  explicit FileSource(HANDLE file) : file_(file) {}
  size_t Read(uint8_t* bytes, size_t count) override {
    DWORD read = 0;
    const auto want = static_cast<DWORD>(std::min<size_t>(count, 1u << 20));
    if (!::ReadFile(file_, bytes, want, &read, nullptr)) {
      // A pipe whose writer has gone is the end of the recording.
      if (::GetLastError() == ERROR_BROKEN_PIPE) return 0;
      throw ReadFailure{::GetLastError()};
    }
    return read;
  }

 private:
  HANDLE file_;
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

struct SystemFiles {
  using Path = const wchar_t*;
  using File = HANDLE;
  using Source = FileSource;
  using Sink = FileSink;
  static UniqueKernelHandle OpenToRead(Path path) { return zelnor::OpenToRead(path); }
  static bool WriteWhole(Path path, bool (*fill)(File, void*), void* context) {
    return WriteWholeFile(path, fill, context);
  }
};

}  // namespace zelnor
