// Dialler.exe with the real zelnor.dll: type every keypad symbol, click
// DIAL!, and let the audio be checked by the decoder that wraps this test.

#include <gtest/gtest.h>

#include "tests/support/dialler_session_win.h"
#include "window/form_layout.h"

TEST(EndToEndTest, TypedSymbolsAreDialledThroughTheRealLibrary) {
  DiallerSession session(WithRealLibrary());
  session.SetText(kText1, L"0123456789ABCD*#");
  session.SetText(kText2, L"80");
  EXPECT_EQ(session.Click(), L"") << "no failure message";
  EXPECT_EQ(session.Close(), 0u);
}
