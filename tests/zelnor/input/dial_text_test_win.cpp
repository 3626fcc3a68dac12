// The dial string as the library decodes it, in the ANSI code page 932 that
// the Wine environment of the tests sets up.

#include "zelnor/input/dial_text_win.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

using zelnor::ReadDialSymbols;

class DialText : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(::GetACP(), 932u) << "run under scripts/wine-env.sh"; }
};

TEST_F(DialText, ReadsFullWidthForms) {
  // ０９Ａｄ＊＃ then Ｅ＋
  EXPECT_EQ(ReadDialSymbols("\x82\x4f\x82\x58\x82\x60\x82\x84\x81\x96\x81\x94\x82\x64\x81\x7b"),
            "09AD*#");
}

TEST_F(DialText, NeverReadsATrailByteAsASymbol) {
  EXPECT_EQ(ReadDialSymbols("\x83\x41"), "");       // ア: trail byte is 'A'
  EXPECT_EQ(ReadDialSymbols("\x95\x5c\x31"), "1");  // 表1: trail byte is '\'
  EXPECT_EQ(ReadDialSymbols("\x81\x81\x41"), "A");  // a trail byte with a lead byte's value
  EXPECT_EQ(ReadDialSymbols("\x82\x30\x82\x23\xe0\x2a\xfc\x42"), "");  // unassigned pairs
  EXPECT_EQ(ReadDialSymbols("5\x83"), "5");  // a lead byte with nothing after it
  EXPECT_EQ(ReadDialSymbols(""), "");
}

}  // namespace
