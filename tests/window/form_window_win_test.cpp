// Form1 built inside the test process, for what only its own process can
// see: the system menu, the fonts, and a DPI change.

#include "window/form_window_win.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/handles_win.h"
#include "tests/window/layout_lookup.h"
#include "window/form_layout.h"
#include "window/twips.h"

namespace {

int g_clicks = 0;
void CountClick(HWND) { ++g_clicks; }

class FormWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    owner_.reset(CreateHiddenOwner(::GetModuleHandleW(nullptr)));
    form_.reset(CreateForm1(::GetModuleHandleW(nullptr), owner_.get(), CountClick));
    g_clicks = 0;
  }

  PixelRect RectOf(int id) const {
    RECT rect;
    ::GetWindowRect(::GetDlgItem(form_.get(), id), &rect);
    ::MapWindowPoints(nullptr, form_.get(), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
  }

  LONG FontHeight(int id) const {
    HFONT font = reinterpret_cast<HFONT>(::SendDlgItemMessageW(form_.get(), id, WM_GETFONT, 0, 0));
    LOGFONTW logfont{};
    ::GetObjectW(font, sizeof(logfont), &logfont);
    return logfont.lfHeight < 0 ? -logfont.lfHeight : logfont.lfHeight;
  }

  // Destroyed in this order: Form1 first, then its owner.
  UniqueWindow owner_;
  UniqueWindow form_;
};

TEST_F(FormWindowTest, SystemMenuOffersOnlyMoveAndClose) {
  HMENU menu = ::GetSystemMenu(form_.get(), FALSE);
  std::vector<UINT> commands;
  for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
    const UINT id = ::GetMenuItemID(menu, i);
    if (id == 0) continue;  // a separator
    commands.push_back(id);
    EXPECT_FALSE(::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_GRAYED) << id;
  }
  EXPECT_EQ(commands, (std::vector<UINT>{SC_MOVE, SC_CLOSE}));
}

TEST_F(FormWindowTest, WearsTheExecutablesIconInBothSizes) {
  const auto icon_size = [this](WPARAM which) {
    HICON icon = reinterpret_cast<HICON>(::SendMessageW(form_.get(), WM_GETICON, which, 0));
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info)) return 0L;
    BITMAP bitmap{};
    ::GetObjectW(info.hbmMask, sizeof(bitmap), &bitmap);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
  };
  EXPECT_EQ(icon_size(ICON_BIG), ::GetSystemMetrics(SM_CXICON));
  EXPECT_EQ(icon_size(ICON_SMALL), ::GetSystemMetrics(SM_CXSMICON));
}

TEST_F(FormWindowTest, OnlyTheButtonsOwnClickReachesTheHandler) {
  HWND text2 = ::GetDlgItem(form_.get(), kText2);
  HWND check1 = ::GetDlgItem(form_.get(), kCheck1);
  // What the dialog manager sends for Enter, Escape: ids 1 and 2.
  ::SendMessageW(form_.get(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(text2));
  ::SendMessageW(form_.get(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(check1));
  ::SendMessageW(form_.get(), WM_COMMAND, MAKEWPARAM(kCommand1, BN_CLICKED),
                 0);  // forged, no sender
  EXPECT_EQ(g_clicks, 0);
  EXPECT_EQ(::SendMessageW(check1, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_TRUE(::IsWindow(form_.get()));

  ::SendDlgItemMessageW(form_.get(), kCommand1, BM_CLICK, 0, 0);
  EXPECT_EQ(g_clicks, 1);
}

TEST_F(FormWindowTest, EveryControlHasTheMessageFontAndCaptionsFitIt) {
  for (const ControlRecord& record : kForm1Controls) {
    EXPECT_GT(FontHeight(record.id), 0) << record.id;
  }
  // Label2 is sized to its caption with that very font.
  HWND label2 = ::GetDlgItem(form_.get(), kLabel2);
  HDC dc = ::GetDC(label2);
  HGDIOBJ old =
      ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(label2, WM_GETFONT, 0, 0)));
  const std::wstring caption(FindControl(kLabel2).text);
  SIZE extent{};
  ::GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
  ::SelectObject(dc, old);
  ::ReleaseDC(label2, dc);
  EXPECT_EQ(RectOf(kLabel2).width, extent.cx);
  EXPECT_LE(RectOf(kLabel2).left + RectOf(kLabel2).width, RectOf(kText2).left);
}

TEST_F(FormWindowTest, ADpiChangeRescalesWindowControlsAndFontFromTheTable) {
  const LONG font_at_96 = FontHeight(kText1);
  RECT suggested{10, 10, 500, 300};
  ::SendMessageW(form_.get(), WM_DPICHANGED, MAKEWPARAM(192, 192),
                 reinterpret_cast<LPARAM>(&suggested));

  RECT client;
  ::GetClientRect(form_.get(), &client);
  EXPECT_EQ(client.right, 570);
  EXPECT_EQ(client.bottom, 210);

  for (const ControlRecord& record : kForm1Controls) {
    if (record.fit_to_text) continue;
    EXPECT_EQ(RectOf(record.id),
              TwipsRectToPixels(record.left, record.top, record.width, record.height, 192))
        << record.id;
  }
  EXPECT_NEAR(FontHeight(kText1), 2 * font_at_96, 1);
}

}  // namespace
