#include "tools/dtmf/wave_header.h"

#include <cstddef>

namespace dtmf_tool {
namespace {

constexpr uint16_t kPcm = 1;
constexpr uint16_t kChannels = 1;
constexpr uint16_t kBytesPerSample = 2;

class LittleEndianWriter {
 public:
  explicit LittleEndianWriter(std::array<uint8_t, 44>& bytes) : bytes_(bytes) {}
  void Tag(const char (&tag)[5]) {
    for (size_t i = 0; i < 4; ++i) bytes_[at_++] = static_cast<uint8_t>(tag[i]);
  }
  void U16(uint16_t value) { Put(value, 2); }
  void U32(uint32_t value) { Put(value, 4); }

 private:
  void Put(uint32_t value, size_t size) {
    for (size_t i = 0; i < size; ++i) bytes_[at_++] = static_cast<uint8_t>(value >> (8 * i));
  }
  std::array<uint8_t, 44>& bytes_;
  size_t at_ = 0;
};

}  // namespace

std::array<uint8_t, 44> WaveHeader(uint32_t sample_rate, uint64_t sample_count) {
  const auto data_size = static_cast<uint32_t>(sample_count * kBytesPerSample);
  std::array<uint8_t, 44> bytes{};
  LittleEndianWriter out(bytes);
  out.Tag("RIFF");
  out.U32(36 + data_size);
  out.Tag("WAVE");
  out.Tag("fmt ");
  out.U32(16);
  out.U16(kPcm);
  out.U16(kChannels);
  out.U32(sample_rate);
  out.U32(sample_rate * kChannels * kBytesPerSample);
  out.U16(kChannels * kBytesPerSample);
  out.U16(8 * kBytesPerSample);
  out.Tag("data");
  out.U32(data_size);
  return bytes;
}

}  // namespace dtmf_tool
