// Dialler.exe with the real zelnor.dll: type a dial, click DIAL!, and let
// the audio be checked by the decoder that wraps each case (CMakeLists.txt).

#include <gtest/gtest.h>

#include "dialler/window/form_layout.h"
#include "tests/support/dialler_session_win.h"

namespace {

void DialInTheWindow(const wchar_t* dial) {
  DiallerSession session(WithRealLibrary());
  session.SetText(kText1, dial);
  session.SetText(kText2, L"80");
  EXPECT_EQ(session.Click(), L"") << "no failure message";
  EXPECT_EQ(session.Close(), 0u);
}

}  // namespace

TEST(EndToEndTest, TypedSymbolsAreDialledThroughTheRealLibrary) {
  DialInTheWindow(L"0123456789ABCD*#");
}

TEST(EndToEndTest, ACommaTypedInTheDialPausesTwoSeconds) { DialInTheWindow(L"0312,5678"); }
