// The dial string as the library decodes it, in the ANSI code page 932 that
// the Wine environment of the tests sets up.

#include "zelnor/input/dial_text.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// The reading as text (',' for each pause), and where each symbol stood.
struct Reading {
  std::string text;
  std::vector<uint64_t> offsets;
  bool operator==(const Reading& other) const {
    return text == other.text && offsets == other.offsets;
  }
};

void PrintTo(const Reading& reading, std::ostream* out) {
  *out << '"' << reading.text << "\" at";
  for (uint64_t offset : reading.offsets) *out << ' ' << offset;
}

Reading Read(const char* dial) {
  const zelnor::DialSymbols symbols = zelnor::ReadDialSymbols(dial);
  Reading reading;
  uint64_t offset = 0;
  for (size_t i = 0; i <= symbols.SymbolCount(); ++i) {
    reading.text.append(symbols.PausesBefore(i), ',');
    if (i == symbols.SymbolCount()) break;
    reading.text.push_back(symbols.Symbol(i));
    reading.offsets.push_back(offset = symbols.OffsetAfter(i, offset));
  }
  EXPECT_EQ(symbols.Length(), std::strlen(dial));
  return reading;
}

class DialText : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(::GetACP(), 932u) << "run under scripts/wine-env.sh"; }
};

TEST_F(DialText, ReadsSymbolsAndPausesWithTheirByteOffsets) {
  const struct {
    const char* dial;
    Reading expected;
  } cases[] = {
      // ０９Ａｄ＊＃ then Ｅ＋
      {"\x82\x4f\x82\x58\x82\x60\x82\x84\x81\x96\x81\x94\x82\x64\x81\x7b",
       {"09AD*#", {0, 2, 4, 6, 8, 10}}},
      {"03-12,,3#", {"0312,,3#", {0, 1, 3, 4, 7, 8}}},
      {"1\x81\x43"
       "2",
       {"1,2", {0, 3}}},  // 1，2
      {",\x81\x43", {",,", {}}},
  };
  for (const auto& c : cases) EXPECT_EQ(Read(c.dial), c.expected) << c.dial;
}

TEST_F(DialText, NeverReadsATrailByteAsASymbol) {
  const struct {
    const char* dial;
    Reading expected;
  } cases[] = {
      {"\x83\x41", {"", {}}},        // ア: trail byte is 'A'
      {"\x95\x5c\x31", {"1", {2}}},  // 表1: trail byte is '\'
      {"\x81\x81\x41", {"A", {2}}},  // a trail byte with a lead byte's value
      {"\x82\x30\x82\x23\xe0\x2a\xfc\x42\x82\x2c", {"", {}}},  // unassigned pairs
      {"5\x83", {"5", {0}}},                                   // a lead byte with nothing after it
      {"", {"", {}}},
  };
  for (const auto& c : cases) EXPECT_EQ(Read(c.dial), c.expected) << c.dial;
}

}  // namespace
