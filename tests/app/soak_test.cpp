// Two thousand dials through the real zelnor.dll: synchronous, asynchronous,
// superseding and failing ones mixed, with handles and memory watched.

#include <gtest/gtest.h>

#include "tests/support/dialler_session_win.h"
#include "window/form_layout.h"

namespace {

void Dial(DiallerSession& session, int kind) {
  switch (kind) {
    case 0:  // synchronous, the shortest tone
      session.SetCheck(BST_UNCHECKED);
      session.SetText(kText2, L"0");
      EXPECT_EQ(session.Click(), L"");
      break;
    case 1:  // asynchronous, left playing
      session.SetCheck(BST_CHECKED);
      session.SetText(kText2, L"200");
      EXPECT_EQ(session.Click(), L"");
      break;
    case 2:  // asynchronous, superseding the one still playing
      session.SetCheck(BST_CHECKED);
      session.SetText(kText2, L"40");
      EXPECT_EQ(session.Click(), L"");
      break;
    case 3:  // failing before any call
      session.SetText(kText2, L"x");
      EXPECT_NE(session.Click(), L"");
      break;
  }
}

TEST(SoakTest, MixedDialsLeaveHandlesAndPrivateBytesFlat) {
  DiallerSession session(WithRealLibrary());
  session.SetText(kText1, L"1#");

  for (int i = 0; i < 100; ++i) Dial(session, i % 4);  // warm-up: device, heaps, caches
  const ProcessFigures before = session.Figures();
  for (int i = 0; i < 2000; ++i) Dial(session, i % 4);
  const ProcessFigures after = session.Figures();

  // A handle or one 20 ms audio block (~1.9 KB) kept per dial would add
  // 500+ handles or ~1 MB over 500 dials of a kind; the bounds sit below
  // that and above what heap growth and the audio driver's caches allow.
  EXPECT_LE(after.handles, before.handles + 10)
      << "handles " << before.handles << " -> " << after.handles;
  EXPECT_LE(after.private_bytes, before.private_bytes + 768 * 1024)
      << "private bytes " << before.private_bytes << " -> " << after.private_bytes;
  std::printf("soak: handles %lu -> %lu, private bytes %lu -> %lu\n",
              static_cast<unsigned long>(before.handles), static_cast<unsigned long>(after.handles),
              static_cast<unsigned long>(before.private_bytes),
              static_cast<unsigned long>(after.private_bytes));
  EXPECT_EQ(session.Close(), 0u);
}

}  // namespace
