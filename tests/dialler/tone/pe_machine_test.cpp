#include "dialler/tone/pe_machine.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr std::uint16_t kMachineAmd64 = 0x8664;

std::vector<std::uint8_t> Image(std::uint16_t machine, std::uint32_t pe_offset = 0x80) {
  std::vector<std::uint8_t> bytes(pe_offset + 24, 0);
  bytes[0] = 'M';
  bytes[1] = 'Z';
  for (int i = 0; i < 4; ++i) bytes[0x3C + i] = static_cast<std::uint8_t>(pe_offset >> (8 * i));
  bytes[pe_offset] = 'P';
  bytes[pe_offset + 1] = 'E';
  bytes[pe_offset + 4] = static_cast<std::uint8_t>(machine);
  bytes[pe_offset + 5] = static_cast<std::uint8_t>(machine >> 8);
  return bytes;
}

}  // namespace

TEST(PeMachineTest, ReadsTheMachineOfThirtyTwoAndSixtyFourBitImages) {
  auto x86 = Image(kMachineI386);
  auto x64 = Image(kMachineAmd64);
  EXPECT_EQ(PeMachine(x86.data(), x86.size()), kMachineI386);
  EXPECT_EQ(PeMachine(x64.data(), x64.size()), kMachineAmd64);
}

TEST(PeMachineTest, RejectsDamagedOrForeignFilesWithoutReadingPastTheEnd) {
  auto good = Image(kMachineI386);
  EXPECT_EQ(PeMachine(good.data(), 0x3F), std::nullopt);  // too short for the offset
  auto bad_magic = good;
  bad_magic[0] = 'X';
  EXPECT_EQ(PeMachine(bad_magic.data(), bad_magic.size()), std::nullopt);
  auto far_offset = Image(kMachineI386);
  far_offset[0x3C] = 0xFF;
  far_offset[0x3F] = 0x7F;  // points far beyond the file
  EXPECT_EQ(PeMachine(far_offset.data(), far_offset.size()), std::nullopt);
  auto truncated = Image(kMachineI386);
  EXPECT_EQ(PeMachine(truncated.data(), 0x80 + 5), std::nullopt);  // machine field cut off
  auto no_pe = Image(kMachineI386);
  no_pe[0x81] = 'X';
  EXPECT_EQ(PeMachine(no_pe.data(), no_pe.size()), std::nullopt);
}
