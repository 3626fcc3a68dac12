#pragma once
// The byte streams a caller hands the exported calls: its own read and
// write functions.

#include <algorithm>
#include <cstdint>

#include "zelnor.h"
#include "zelnor/byte_streams.h"
#include "zelnor/exports/system_error.h"
#include "zelnor/zelnor_error.h"

namespace zelnor {

// A read that failed, with the system's reason kept for the caller.
struct ReadFailure {
  uint32_t error;
};

// A write to a file that failed, likewise.
struct WriteFailure {
  uint32_t error;
};

class CallerSource final : public ByteSource {
 public:
  CallerSource(ZelnorReadFunction read, void* context) : read_(read), context_(context) {}
  size_t Read(uint8_t* bytes, size_t count) override {
    const auto want = static_cast<int32_t>(std::min<size_t>(count, 1u << 20));
    const int32_t read = read_(context_, bytes, want);
    if (read < 0 || read > want) throw ReadFailure{ReadFaultError()};
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
