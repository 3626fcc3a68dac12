// Form1 as seen from outside the running Dialler.exe.

#include <gtest/gtest.h>

#include "dialler/window/form_layout.h"
#include "tests/support/dialler_session_win.h"

namespace {

RECT ClientRectOf(HWND form, HWND control) {
  RECT rect;
  ::GetWindowRect(control, &rect);
  ::MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = L"";
  ::GetClassNameW(window, name, 64);
  return name;
}

class Form1Test : public ::testing::Test {
 protected:
  DiallerSession session_;
};

TEST_F(Form1Test, StartsWithItsTitleCaptionsAndInitialValues) {
  wchar_t title[64] = L"";
  ::GetWindowTextW(session_.form(), title, 64);
  EXPECT_STREQ(title, L"Dialler Sample");
  EXPECT_EQ(session_.Text(kText1), L"");
  EXPECT_EQ(session_.Text(kText2), L"150");
  EXPECT_EQ(session_.Text(kCheck1), L"非同期で再生");
  EXPECT_EQ(session_.Text(kCommand1), L"DIAL!");
  EXPECT_EQ(session_.Text(kLabel1), L"DialNo [0-9,A-D,*#]");
  EXPECT_EQ(session_.Text(kLabel2), L"間隔:(ms)");
  EXPECT_EQ(session_.CheckState(), BST_UNCHECKED);
  EXPECT_EQ(session_.Focus(), session_.control(kCommand1));
}

TEST_F(Form1Test, ClientAreaAndControlsSitWhereTheTableSaysAtNinetySixDpi) {
  RECT client;
  ::GetClientRect(session_.form(), &client);
  EXPECT_EQ(client.right, 285);
  EXPECT_EQ(client.bottom, 105);

  struct Expected {
    int id;
    RECT rect;
    const wchar_t* class_name;
  };
  const Expected expected[] = {
      {kText2, {72, 80, 113, 98}, L"Edit"},    {kCheck1, {16, 56, 113, 73}, L"Button"},
      {kText1, {18, 29, 267, 47}, L"Edit"},    {kCommand1, {210, 53, 267, 78}, L"Button"},
      {kLabel1, {18, 13, 211, 29}, L"Static"},
  };
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.id);
    HWND control = session_.control(e.id);
    const RECT r = ClientRectOf(session_.form(), control);
    EXPECT_EQ(r.left, e.rect.left);
    EXPECT_EQ(r.top, e.rect.top);
    EXPECT_EQ(r.right, e.rect.right);
    EXPECT_EQ(r.bottom, e.rect.bottom);
    EXPECT_EQ(_wcsicmp(ClassOf(control).c_str(), e.class_name), 0);
  }
  // The table has Label1 reach one pixel into Text1; stacked above it, it
  // would hide Text1's top border, so it ends where Text1 begins.
  EXPECT_EQ(ClientRectOf(session_.form(), session_.control(kLabel1)).bottom,
            ClientRectOf(session_.form(), session_.control(kText1)).top);
}

TEST_F(Form1Test, Label2FitsItsWholeCaptionBesideText2AndNoCaptionIsClipped) {
  const RECT label2 = ClientRectOf(session_.form(), session_.control(kLabel2));
  const RECT text2 = ClientRectOf(session_.form(), session_.control(kText2));
  EXPECT_EQ(label2.left, 16);
  EXPECT_LE(label2.right, text2.left) << "Label2 must not run under Text2";

  // Font handles do not cross processes: measure with the same system font.
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
  HFONT font = ::CreateFontIndirectW(&metrics.lfMessageFont);
  for (int id : {kLabel1, kLabel2, kCheck1, kCommand1}) {
    SCOPED_TRACE(id);
    HWND control = session_.control(id);
    const std::wstring caption = session_.Text(id);
    HDC dc = ::GetDC(control);
    HGDIOBJ old = ::SelectObject(dc, font);
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    RECT rect;
    ::GetClientRect(control, &rect);
    const int box = id == kCheck1 ? ::GetSystemMetrics(SM_CXMENUCHECK) + 4 : 0;
    EXPECT_LE(extent.cx + box, rect.right);
    EXPECT_LE(extent.cy, rect.bottom);
  }
  ::DeleteObject(font);
}

TEST_F(Form1Test, HasAFixedDialogFrameWithOnlyACloseButtonAndNoTaskbarEntry) {
  const LONG style = ::GetWindowLongW(session_.form(), GWL_STYLE);
  const LONG ex_style = ::GetWindowLongW(session_.form(), GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(ex_style & WS_EX_DLGMODALFRAME);
  EXPECT_FALSE(ex_style & WS_EX_APPWINDOW);
  EXPECT_EQ(::GetMenu(session_.form()), nullptr);

  // An owned window gets no taskbar button; its owner stays hidden.
  HWND owner = ::GetWindow(session_.form(), GW_OWNER);
  ASSERT_NE(owner, nullptr);
  EXPECT_FALSE(::IsWindowVisible(owner));

  // A resize attempt leaves the size as it was.
  RECT before, after;
  ::GetWindowRect(session_.form(), &before);
  for (WPARAM command : {SC_MAXIMIZE, SC_MINIMIZE, SC_SIZE}) {
    ::SendMessageW(session_.form(), WM_SYSCOMMAND, command, 0);
  }
  ::GetWindowRect(session_.form(), &after);
  EXPECT_EQ(after.right - after.left, before.right - before.left);
  EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
  EXPECT_FALSE(::IsZoomed(session_.form()));
  EXPECT_FALSE(::IsIconic(session_.form()));
}

TEST_F(Form1Test, TabVisitsDialTextCheckIntervalAndBackInBothDirections) {
  const HWND order[] = {session_.control(kCommand1), session_.control(kText1),
                        session_.control(kCheck1), session_.control(kText2)};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(::GetNextDlgTabItem(session_.form(), order[i], FALSE), order[(i + 1) % 4]) << i;
    EXPECT_EQ(::GetNextDlgTabItem(session_.form(), order[(i + 1) % 4], TRUE), order[i]) << i;
  }
  // And with real keystrokes.
  for (size_t i = 1; i <= 4; ++i) {
    session_.PressKey(VK_TAB);
    EXPECT_EQ(session_.Focus(), order[i % 4]) << "after " << i << " Tab presses";
  }
  session_.PressKey(VK_TAB, /*with_shift=*/true);
  EXPECT_EQ(session_.Focus(), order[3]);
}

TEST_F(Form1Test, EnterAndEscapeInEveryControlDialNothingAndChangeNothing) {
  session_.SetText(kText1, L"123#");
  for (int step = 0; step < 4; ++step) {
    const HWND focus = session_.Focus();
    SCOPED_TRACE(::GetDlgCtrlID(focus));
    if (focus != session_.control(kCommand1)) session_.PressKey(VK_RETURN);
    session_.PressKey(VK_ESCAPE);
    EXPECT_EQ(session_.CountLog("call"), 0);
    EXPECT_TRUE(::IsWindowVisible(session_.form()));
    EXPECT_EQ(session_.CheckState(), BST_UNCHECKED);
    EXPECT_EQ(session_.Focus(), focus);
    session_.PressKey(VK_TAB);
  }
  EXPECT_EQ(session_.Text(kText1), L"123#");
  EXPECT_EQ(session_.Text(kText2), L"150");
}

TEST_F(Form1Test, EnterOrSpaceOnTheFocusedButtonDialsAtOnce) {
  ASSERT_EQ(session_.Focus(), session_.control(kCommand1));
  session_.PressKey(VK_RETURN);
  EXPECT_EQ(session_.CountLog("call"), 1);
  session_.PressKey(VK_SPACE);
  EXPECT_EQ(session_.CountLog("call"), 2);
  const auto log = session_.Log();
  EXPECT_EQ(log.back(), "call - 150 0");
}

TEST_F(Form1Test, TextFieldsHaveNoLengthLimitAndNoFilter) {
  for (int id : {kText1, kText2}) {
    EXPECT_GE(static_cast<unsigned>(::SendMessageW(session_.control(id), EM_GETLIMITTEXT, 0, 0)),
              0x7FFFFFFEu);
    const LONG style = ::GetWindowLongW(session_.control(id), GWL_STYLE);
    EXPECT_FALSE(style & (ES_MULTILINE | ES_PASSWORD | ES_NUMBER));
  }
  const std::wstring long_text(40000, L'7');  // past the default 32,767
  session_.SetText(kText1, long_text);
  EXPECT_EQ(session_.Text(kText1).size(), long_text.size());
  session_.SetText(kText1, L"ｘ?é☎ア");
  EXPECT_EQ(session_.Text(kText1), L"ｘ?é☎ア");
}

TEST_F(Form1Test, FocusReturnsToTheLastControlWhenReactivated) {
  session_.PressKey(VK_TAB);
  session_.PressKey(VK_TAB);
  ASSERT_EQ(session_.Focus(), session_.control(kCheck1));
  ::SendMessageW(session_.form(), WM_ACTIVATE, WA_INACTIVE, 0);
  ::SendMessageW(session_.form(), WM_ACTIVATE, WA_ACTIVE, 0);
  session_.WaitUntilIdle();
  EXPECT_EQ(session_.Focus(), session_.control(kCheck1));
}

TEST_F(Form1Test, ClosingEndsTheProgramWithExitCodeZero) { EXPECT_EQ(session_.Close(), 0u); }

TEST(Form1CloseTest, CloseFromTheSystemMenuAndAltF4AlsoEndWithZero) {
  DiallerSession by_menu;
  EXPECT_EQ(by_menu.Close(WM_SYSCOMMAND, SC_CLOSE), 0u);
  DiallerSession by_keys;
  by_keys.PressKey(VK_F4, false, /*with_alt=*/true);
  EXPECT_EQ(by_keys.WaitForExit(5000), 0u);
}

}  // namespace
