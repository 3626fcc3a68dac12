// Wine accepts WC_NO_BEST_FIT_CHARS for UTF-8 where Windows refuses it, so
// the flags are checked by code page and the text by what Wine writes.

#include "common/ansi_text_win.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(AnsiText, AsksForNoBestFitOnlyWhereTheCodePageTakesTheFlag) {
  const struct {
    UINT code_page;
    DWORD expected;
  } cases[] = {
      {932, WC_NO_BEST_FIT_CHARS},
      {1252, WC_NO_BEST_FIT_CHARS},
      {936, WC_NO_BEST_FIT_CHARS},
      {CP_UTF8, 0},
      {CP_UTF7, 0},
      {50220, 0},
      {54936, 0},
      {57002, 0},
      {42, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(NoBestFitFlags(c.code_page), c.expected) << c.code_page;
}

TEST(AnsiText, WritesNoLookAlikeOfASymbol) {
  const struct {
    UINT code_page;
    std::string expected;
  } cases[] = {
      {932, "???1"},
      {CP_UTF8, "\xC3\x80\xC2\xB2\xC2\xB9\x31"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ToCodePage(c.code_page,
                         L"\x00C0\x00B2\x00B9"
                         L"1"),
              c.expected)
        << c.code_page;
  }
}

}  // namespace
