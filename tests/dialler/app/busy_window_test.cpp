// The window while a dial holds it, and ending it mid-playback.

#include <gtest/gtest.h>

#include <thread>

#include "dialler/window/form_layout.h"
#include "tests/support/dialler_session_win.h"

namespace {

void MouseClickAt(POINT point) {
  const int screen_width = ::GetSystemMetrics(SM_CXSCREEN);
  const int screen_height = ::GetSystemMetrics(SM_CYSCREEN);
  INPUT inputs[3] = {};
  for (INPUT& input : inputs) input.type = INPUT_MOUSE;
  inputs[0].mi.dx = point.x * 65535 / (screen_width - 1);
  inputs[0].mi.dy = point.y * 65535 / (screen_height - 1);
  inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(3, inputs, sizeof(INPUT));
}

void MouseClickAt(HWND control) {
  RECT rect;
  ::GetWindowRect(control, &rect);
  MouseClickAt(POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}

// Where the title bar's close box is, asked of the window while it listens.
POINT CloseBoxOf(HWND form) {
  RECT rect;
  ::GetWindowRect(form, &rect);
  for (int y = rect.top; y < rect.top + 40; ++y) {
    for (int x = rect.right - 1; x > rect.right - 80; --x) {
      if (::SendMessageW(form, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) return {x - 3, y + 3};
    }
  }
  ADD_FAILURE() << "no close box found";
  return {rect.right - 10, rect.top + 10};
}

TEST(BusyWindowTest, ClicksDuringASynchronousDialDoNotQueueMoreDials) {
  ::SetEnvironmentVariableW(L"DIALLER_FAKE_BLOCK_MS", L"1500");
  DiallerSession session;
  ::SetEnvironmentVariableW(L"DIALLER_FAKE_BLOCK_MS", nullptr);
  ::SetForegroundWindow(session.form());

  // A real mouse click that is sure to arrive: the first dial.
  MouseClickAt(session.control(kCommand1));
  for (int i = 0; i < 100 && session.CountLog("call") == 0; ++i) ::Sleep(10);
  ASSERT_EQ(session.CountLog("call"), 1);
  // Three impatient clicks and an Enter while it plays.
  for (int i = 0; i < 3; ++i) {
    MouseClickAt(session.control(kCommand1));
    ::Sleep(50);
  }
  session.PressKey(VK_RETURN);
  ::Sleep(2000);
  session.WaitUntilIdle();
  EXPECT_EQ(session.CountLog("call"), 1);

  // Afterwards the window answers the next click as usual.
  MouseClickAt(session.control(kCommand1));
  for (int i = 0; i < 300 && session.CountLog("call") < 2; ++i) ::Sleep(10);
  EXPECT_EQ(session.CountLog("call"), 2);
}

// Clicks and keys during a dial are dropped, but a request to close is the
// user wanting out: every way of asking closes the window once the dial
// returns, and dials nothing more.
TEST(BusyWindowTest, EveryWayOfClosingDuringASynchronousDialClosesWhenItReturns) {
  enum class How { kCloseBox, kAltF4, kSystemMenuClose, kPostedClose, kSentClose };
  for (How how :
       {How::kCloseBox, How::kAltF4, How::kSystemMenuClose, How::kPostedClose, How::kSentClose}) {
    SCOPED_TRACE(static_cast<int>(how));
    ::SetEnvironmentVariableW(L"DIALLER_FAKE_BLOCK_MS", L"1500");
    DiallerSession session;
    ::SetEnvironmentVariableW(L"DIALLER_FAKE_BLOCK_MS", nullptr);
    const POINT close_box = CloseBoxOf(session.form());
    ::SetForegroundWindow(session.form());
    MouseClickAt(session.control(kCommand1));
    for (int i = 0; i < 100 && session.CountLog("call") == 0; ++i) ::Sleep(10);
    ASSERT_EQ(session.CountLog("call"), 1);

    std::thread sender;
    switch (how) {
      case How::kCloseBox:
        MouseClickAt(close_box);
        break;
      case How::kAltF4:
        session.PressKey(VK_F4, false, /*with_alt=*/true);
        break;
      case How::kSystemMenuClose:
        ::PostMessageW(session.form(), WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
      case How::kPostedClose:
        ::PostMessageW(session.form(), WM_CLOSE, 0, 0);
        break;
      case How::kSentClose:
        sender = std::thread([form = session.form()] {
          DWORD_PTR result = 0;
          ::SendMessageTimeoutW(form, WM_CLOSE, 0, 0, SMTO_NORMAL, 10000, &result);
        });
        break;
    }
    MouseClickAt(session.control(kCommand1));  // and one more impatient click
    EXPECT_EQ(session.WaitForExit(8000), 0u);
    if (sender.joinable()) sender.join();
    EXPECT_EQ(session.CountLog("call"), 1);
  }
}

TEST(BusyWindowTest, ClosingDuringAsynchronousPlaybackEndsCleanlyWithinTwoSeconds) {
  DiallerSession session(WithRealLibrary());
  session.SetText(kText1, L"0123456789ABCD*#0123456789ABCD*#");
  session.SetText(kText2, L"1000");
  session.SetCheck(BST_CHECKED);
  EXPECT_EQ(session.Click(), L"");
  ::Sleep(300);  // well into the first tone
  const DWORD start = ::GetTickCount();
  EXPECT_EQ(session.Close(WM_CLOSE, 0, 2000), 0u);
  EXPECT_LE(::GetTickCount() - start, 2000u);
}

}  // namespace

namespace {

TEST(NoAudioDeviceTest, DialsWithoutADeviceChangeNothingAndTheWindowCarriesOn) {
  // Wine without its ALSA driver has no waveOut device at all.
  ::SetEnvironmentVariableW(L"WINEDLLOVERRIDES", L"mscoree,mshtml=;winealsa.drv=d");
  DiallerSession session(WithRealLibrary());
  ::SetEnvironmentVariableW(L"WINEDLLOVERRIDES", L"mscoree,mshtml=");

  session.SetText(kText1, L"123#");
  for (int check : {BST_UNCHECKED, BST_CHECKED}) {
    session.SetCheck(check);
    const DWORD start = ::GetTickCount();
    EXPECT_EQ(session.Click(), L"") << "the library's result is not the window's to report";
    EXPECT_LT(::GetTickCount() - start, 2000u) << "no device must fail promptly";
  }
  EXPECT_EQ(session.Text(kText1), L"123#");
  EXPECT_EQ(session.Text(kText2), L"150");
  EXPECT_EQ(session.Close(), 0u);
}

}  // namespace
