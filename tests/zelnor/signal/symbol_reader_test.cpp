#include "zelnor/signal/symbol_reader.h"

#include <gtest/gtest.h>

namespace {

using zelnor::ReadSymbols;

TEST(SymbolReader, KeepsTheSixteenSymbolsAndFoldsLowerCase) {
  EXPECT_EQ(ReadSymbols(L"0123456789ABCD*#"), "0123456789ABCD*#");
  EXPECT_EQ(ReadSymbols(L"abcd"), "ABCD");
}

TEST(SymbolReader, ReadsFullWidthForms) {
  EXPECT_EQ(ReadSymbols(L"\uFF10\uFF19\uFF21\uFF24\uFF41\uFF44\uFF0A\uFF03"), "09ADAD*#");
  EXPECT_EQ(ReadSymbols(L"\uFF10\uFF13-\uFF11\uFF12"), "0312");
}

TEST(SymbolReader, SkipsEverythingElseWithoutAPause) {
  EXPECT_EQ(ReadSymbols(L"03-1234-5678"), "0312345678");
  EXPECT_EQ(ReadSymbols(L"(+81) eEfF gG,.; pw"), "81");
  // Neighbours of the full-width symbols (Ｅｅ＆＠＋), katakana ア, half-width ｱ.
  EXPECT_EQ(ReadSymbols(L"\uFF25\uFF45\uFF06\uFF20\uFF0B\u30A2\uFF71"), "");
  // Characters whose low byte is the code of a symbol ('1', 'A', 'A', '#').
  EXPECT_EQ(ReadSymbols(L"\u3131\uFE41\u0141\u0123"), "");
  EXPECT_EQ(ReadSymbols(std::wstring_view(L"1\0\x32", 3)), "12");
  EXPECT_EQ(ReadSymbols(L""), "");
}

}  // namespace
