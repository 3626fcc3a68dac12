#include "dialler/tone/pe_machine.h"

namespace {

std::uint32_t ReadLittleEndian(const std::uint8_t* p, int count) {
  std::uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = (value << 8) | p[i];
  return value;
}

}  // namespace

std::optional<std::uint16_t> PeMachine(const std::uint8_t* bytes, std::size_t size) {
  constexpr std::size_t kPeOffsetField = 0x3C;
  if (size < kPeOffsetField + 4 || bytes[0] != 'M' || bytes[1] != 'Z') return std::nullopt;
  const std::uint32_t pe_offset = ReadLittleEndian(bytes + kPeOffsetField, 4);
  if (pe_offset > size || size - pe_offset < 6) return std::nullopt;
  const std::uint8_t* pe = bytes + pe_offset;
  if (pe[0] != 'P' || pe[1] != 'E' || pe[2] != 0 || pe[3] != 0) return std::nullopt;
  return static_cast<std::uint16_t>(ReadLittleEndian(pe + 4, 2));
}
