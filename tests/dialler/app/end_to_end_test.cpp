// Dialler.exe with the real zelnor.dll: type a dial, click DIAL!, and let
// the audio be checked by the decoder that wraps each case (CMakeLists.txt).

#include <windows.h>

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

// Run with LANG=hi_IN.UTF-8: Windows set to use UTF-8, where the
// look-alikes must still go as "?" and only the digits dial.
TEST(EndToEndTest, Utf8WindowsDialsTheDigitsAndNoLookAlikes) {
  ASSERT_EQ(::GetACP(), UINT{CP_UTF8});
  DialInTheWindow(L"\u00C0\u00B2\u00B90312345678");
}
