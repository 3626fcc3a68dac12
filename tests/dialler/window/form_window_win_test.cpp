// Form1 built inside the test process, for what only its own process can
// see: the system menu, the fonts, and a DPI change.

#include "dialler/window/form_window_win.h"

#include <gtest/gtest.h>

#include <oleacc.h>

#include <string>
#include <vector>

#include "common/handles_win.h"
#include "dialler/window/form_layout.h"
#include "dialler/window/twips.h"
#include "tests/dialler/window/layout_lookup.h"

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

  SIZE TextExtent(int id) const {
    HWND control = ::GetDlgItem(form_.get(), id);
    const std::wstring text(FindControl(id).text);
    HDC dc = ::GetDC(control);
    HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    return extent;
  }

  static bool Overlap(const PixelRect& a, const PixelRect& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
  }

  // What oleacc tells a screen reader the control is called.
  std::wstring AccessibleName(int id) const {
    IAccessible* accessible = nullptr;
    if (FAILED(::AccessibleObjectFromWindow(::GetDlgItem(form_.get(), id), OBJID_CLIENT,
                                            IID_IAccessible,
                                            reinterpret_cast<void**>(&accessible)))) {
      return L"(no accessible object)";
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::wstring result;
    if (SUCCEEDED(accessible->get_accName(self, &name)) && name) result = name;
    ::SysFreeString(name);
    accessible->Release();
    return result;
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

// At each common DPI: the window's font at that size, every caption whole in
// it, no caption reaching into a field, and the aligned edges still aligned.
TEST_F(FormWindowTest, AtEveryCommonDpiCaptionsShowWholeBesideTheirFields) {
  const LONG font_at_96 = FontHeight(kText1);
  for (int dpi : {120, 144, 192, 96}) {
    SCOPED_TRACE(testing::Message() << dpi << " DPI");
    RECT suggested{10, 10, 500, 300};
    ::SendMessageW(form_.get(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                   reinterpret_cast<LPARAM>(&suggested));
    RECT client;
    ::GetClientRect(form_.get(), &client);
    EXPECT_EQ(client.right, TwipsToPixels(kForm1.client_width, dpi));
    EXPECT_EQ(client.bottom, TwipsToPixels(kForm1.client_height, dpi));
    EXPECT_NEAR(FontHeight(kText1), font_at_96 * dpi / 96, 1);

    for (const ControlRecord& record : kForm1Controls) {
      SCOPED_TRACE(record.id);
      const PixelRect rect = RectOf(record.id);
      if (record.kind == ControlKind::kCaption) {
        const SIZE text = TextExtent(record.id);
        EXPECT_LE(text.cx, rect.width);
        EXPECT_LE(text.cy, rect.height);
        for (const ControlRecord& field : kForm1Controls) {
          EXPECT_FALSE(field.kind != ControlKind::kCaption && Overlap(rect, RectOf(field.id)))
              << "reaches into " << field.id;
        }
      } else if (record.id != kText2) {
        EXPECT_EQ(rect, TableRect(record.id, dpi));
      }
    }
    const PixelRect check1 = RectOf(kCheck1);
    const PixelRect text2 = RectOf(kText2);
    EXPECT_EQ(RectOf(kLabel2).left, check1.left);
    EXPECT_EQ(text2.left + text2.width, check1.left + check1.width);
    EXPECT_GE(text2.left, TableRect(kText2, dpi).left);
  }
}

// Screen readers name a field after the caption just before it in z-order;
// the focus still moves in tab order.
TEST_F(FormWindowTest, EachCaptionComesJustBeforeItsFieldAndNamesIt) {
  std::vector<int> order;
  for (HWND child = ::GetWindow(form_.get(), GW_CHILD); child;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    order.push_back(::GetDlgCtrlID(child));
  }
  EXPECT_EQ(order, (std::vector<int>{kCommand1, kLabel1, kText1, kCheck1, kLabel2, kText2}));

  const int tab_order[] = {kCommand1, kText1, kCheck1, kText2};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(::GetNextDlgTabItem(form_.get(), ::GetDlgItem(form_.get(), tab_order[i]), FALSE),
              ::GetDlgItem(form_.get(), tab_order[(i + 1) % 4]));
  }

  EXPECT_EQ(AccessibleName(kText1), L"DialNo [0-9,A-D,*#]");
  EXPECT_EQ(AccessibleName(kText2), L"間隔:(ms)");
}

}  // namespace
