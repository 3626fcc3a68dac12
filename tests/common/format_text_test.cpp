#include "common/format_text.h"

#include <gtest/gtest.h>

TEST(FormatTextTest, PlaceholdersTakeTheirArgumentInAnyOrder) {
  EXPECT_EQ(FormatText(L"%2 before %1", {L"one", L"two"}), L"two before one");
  EXPECT_EQ(FormatText(L"%1%1", {L"x"}), L"xx");
}

TEST(FormatTextTest, MissingArgumentsVanishAndOtherPercentSignsStay) {
  EXPECT_EQ(FormatText(L"100% of %3", {L"a"}), L"100% of ");
  EXPECT_EQ(FormatText(L"end %", {}), L"end %");
  EXPECT_EQ(FormatText(L"", {L"a"}), L"");
}
