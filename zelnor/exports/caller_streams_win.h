#pragma once
// The byte streams behind the exported calls: a file handle read in order,
// and a caller's own read and write functions.

#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "common/handles_win.h"
#include "zelnor.h"
#include "zelnor/byte_streams.h"
#include "zelnor/zelnor_error.h"

namespace zelnor {

// A read that failed, with the system's reason kept for the caller.
struct ReadFailure {
  DWORD error;
};

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

class CallerSource final : public ByteSource {
 public:
  CallerSource(ZelnorReadFunction read, void* context) : read_(read), context_(context) {}
  size_t Read(uint8_t* bytes, size_t count) override {
    const auto want = static_cast<int32_t>(std::min<size_t>(count, 1u << 20));
    const int32_t read = read_(context_, bytes, want);
    if (read < 0 || read > want) throw ReadFailure{ERROR_READ_FAULT};
    return static_cast<size_t>(read);
  }

 private:
  ZelnorReadFunction read_;
  void* context_;
};

// A caller's write function; its 0 stops the writing with ZELNOR_E_FILE.
class CallerSink final : public ByteSink {
 public:
  CallerSink(ZelnorWriteFunction write, void* context) : write_(write), context_(context) {}
  void Write(const uint8_t* bytes, size_t count) override {
    // Runs are a few blocks: far below 4 GB.
    if (write_(context_, bytes, static_cast<uint32_t>(count)) == 0) {
      throw ZelnorError(ZELNOR_E_FILE, "the caller stopped the writing");
    }
  }

 private:
  ZelnorWriteFunction write_;
  void* context_;
};

}  // namespace zelnor
