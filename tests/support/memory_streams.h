#pragma once
// Bytes in memory for the library's readers and writers: a source that
// hands them out a few at a time, as a pipe would, and a sink that keeps
// what it is given.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "zelnor/byte_streams.h"

namespace zelnor_test {

class MemorySource final : public zelnor::ByteSource {
 public:
  // At most `piece` bytes a read.
  MemorySource(std::vector<uint8_t> bytes, size_t piece)
      : bytes_(std::move(bytes)), piece_(piece) {}
  size_t Read(uint8_t* into, size_t count) override {
    const size_t step = std::min({count, bytes_.size() - at_, piece_});
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(at_), step, into);
    at_ += step;
    return step;
  }

 private:
  std::vector<uint8_t> bytes_;
  size_t piece_;
  size_t at_ = 0;
};

class MemorySink final : public zelnor::ByteSink {
 public:
  void Write(const uint8_t* bytes, size_t count) override {
    written.insert(written.end(), bytes, bytes + count);
  }
  std::vector<uint8_t> written;
};

}  // namespace zelnor_test
