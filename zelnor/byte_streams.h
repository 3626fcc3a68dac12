#pragma once
// Bytes read and written in order, so that a file, a pipe or a caller's
// own functions can stand behind the readers and writers alike.

#include <cstddef>
#include <cstdint>

namespace zelnor {

// Where a reader's bytes come from: fills up to `count` bytes and returns
// how many, 0 only at the end. Throws when the reading fails.
class ByteSource {
 public:
  virtual size_t Read(uint8_t* bytes, size_t count) = 0;

 protected:
  ~ByteSource() = default;
};

// Where a writer's bytes go, in order. Throws when the writing fails.
class ByteSink {
 public:
  virtual void Write(const uint8_t* bytes, size_t count) = 0;

 protected:
  ~ByteSink() = default;
};

}  // namespace zelnor
