// Form1 at 144 DPI: the same table, scaled.

#include <gtest/gtest.h>

#include "dialler/window/form_layout.h"
#include "dialler/window/twips.h"
#include "tests/support/dialler_session_win.h"

namespace {

// Sets the display's logical DPI for programs started from now on.
class ScopedLogPixels {
 public:
  explicit ScopedLogPixels(DWORD dpi) { Set(dpi); }
  ~ScopedLogPixels() { Set(96); }

 private:
  static void Set(DWORD dpi) {
    HKEY key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_SET_VALUE, &key) ==
        ERROR_SUCCESS) {
      ::RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                       sizeof(dpi));
      ::RegCloseKey(key);
    }
  }
};

TEST(Form1DpiTest, AtOneHundredFortyFourDpiEveryRectangleScalesFromTheTable) {
  constexpr int kDpi = 144;
  ScopedLogPixels dpi(kDpi);
  DiallerSession session;

  RECT client;
  ::GetClientRect(session.form(), &client);
  EXPECT_EQ(client.right, TwipsToPixels(kForm1.client_width, kDpi));    // 428
  EXPECT_EQ(client.bottom, TwipsToPixels(kForm1.client_height, kDpi));  // 158

  // Captions, and the field that may give way to one, are checked per DPI in
  // form_window_test.
  for (const ControlRecord& record : kForm1Controls) {
    if (record.kind == ControlKind::kCaption || record.id == kText2) continue;
    SCOPED_TRACE(record.id);
    RECT rect;
    ::GetWindowRect(session.control(record.id), &rect);
    ::MapWindowPoints(nullptr, session.form(), reinterpret_cast<POINT*>(&rect), 2);
    const PixelRect expected =
        TwipsRectToPixels(record.left, record.top, record.width, record.height, kDpi);
    EXPECT_EQ(rect.left, expected.left);
    EXPECT_EQ(rect.top, expected.top);
    EXPECT_EQ(rect.right - rect.left, expected.width);
    EXPECT_EQ(rect.bottom - rect.top, expected.height);
  }
}

}  // namespace
