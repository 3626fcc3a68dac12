#include "zelnor/input/utf8_length.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

TEST(Utf8Length, EndsABrokenSequenceBeforeTheByteThatDoesNotContinueIt) {
  const struct {
    std::string_view bytes;
    size_t expected;
  } cases[] = {
      {"1", 1},
      {"\xC3\x80\x31", 2},      // À1
      {"\xE2\x80\x93\x33", 3},  // –3
      {"\xF0\x9F\x93\x9E", 4},  // 📞
      {"\xE0\x31\x32\x33", 1},  // a lone lead byte leaves 123 to be read
      {"\xE2\x80\x33", 2},      // cut short before 3
      {"\xF0\x9F\x93", 3},      // cut short by the end of the text
      {"\x80\x31", 1},          // a stray continuation byte
      {"\xC3\x80\x80", 2},      // never more than announced
  };
  for (const auto& c : cases) {
    EXPECT_EQ(
        zelnor::Utf8Length(reinterpret_cast<const unsigned char*>(c.bytes.data()), c.bytes.size()),
        c.expected)
        << c.bytes;
  }
}

}  // namespace
