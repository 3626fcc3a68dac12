#include "zelnor/symbol_reader.h"

#include <gtest/gtest.h>

namespace {

using zelnor::CodePage932Rules;
using zelnor::ReadSymbols;

std::string Read932(const std::string& bytes) { return ReadSymbols(bytes, CodePage932Rules()); }

TEST(SymbolReader, KeepsTheSixteenSymbolsAndFoldsLowerCase) {
  EXPECT_EQ(Read932("0123456789ABCD*#"), "0123456789ABCD*#");
  EXPECT_EQ(Read932("abcd"), "ABCD");
}

TEST(SymbolReader, SkipsEverythingElseWithoutAPause) {
  EXPECT_EQ(Read932("03-1234-5678"), "0312345678");
  EXPECT_EQ(Read932("(+81) eEfF gG,.; pw"), "81");
  EXPECT_EQ(Read932("\x7f\xa0\xb1\xdf\xfd\xfe\xff"), "");  // high single bytes, half-width kana ｱ
  EXPECT_EQ(Read932(""), "");
}

TEST(SymbolReader, ReadsFullWidthFormsInCodePage932) {
  EXPECT_EQ(Read932("\x82\x4f\x82\x58"), "09");                           // ０９
  EXPECT_EQ(Read932("\x82\x60\x82\x63\x82\x81\x82\x84"), "ADAD");         // ＡＤａｄ
  EXPECT_EQ(Read932("\x81\x96\x81\x94"), "*#");                           // ＊＃
  EXPECT_EQ(Read932("\x82\x4f\x82\x52-\x82\x50\x82\x51"), "0312");        // ０３-１２
  EXPECT_EQ(Read932("\x82\x64\x82\x85\x81\x95\x81\x97\x81\x7b"), "");     // the neighbours Ｅｅ＆＠＋
}

TEST(SymbolReader, NeverReadsATrailByteAsASymbol) {
  EXPECT_EQ(Read932("\x83\x41"), "");          // ア: trail byte is 'A'
  EXPECT_EQ(Read932("\x95\x5c" "1"), "1");     // 表: trail byte is '\'
  EXPECT_EQ(Read932("\x82\x30\x82\x23\xe0\x2a\xfc\x42"), "");  // trail bytes '0', '#', '*', 'B'
  EXPECT_EQ(Read932("\x81\x81\x41"), "A");     // a trail byte that is itself a lead byte value
}

TEST(SymbolReader, StopsAtNulAndAtALeadByteWithNothingAfterIt) {
  EXPECT_EQ(Read932(std::string("12\0" "34", 5)), "12");
  EXPECT_EQ(Read932(std::string("1\x83\0" "A", 4)), "1");
  EXPECT_EQ(Read932("5\x83"), "5");
  EXPECT_EQ(ReadSymbols("7\x82", CodePage932Rules()), "7");  // the C-string overload
}

TEST(SymbolReader, SingleByteCodePagesHaveNoDoubleByteCharacters) {
  EXPECT_EQ(ReadSymbols(std::string("\x83\x41\x82\x4f"), zelnor::CodePageRules()), "A");
}

}  // namespace
