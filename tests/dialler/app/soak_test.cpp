// Two thousand dials through the real zelnor.dll: synchronous, asynchronous,
// superseding and failing ones mixed, with handles and memory watched.

#include <gtest/gtest.h>

#include <algorithm>

#include "dialler/window/form_layout.h"
#include "tests/support/dialler_session_win.h"

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

// Figures taken with no playback alive: a synchronous dial of no symbols
// stops any playback and waits for it, then the worker and the device's own
// thread get time to go (under Wine each thread is ~1 MB of private bytes),
// up to 5 s for the thread count to come down to `thread_goal` if given.
ProcessFigures QuietFigures(DiallerSession& session, DWORD thread_goal = 0) {
  session.SetCheck(BST_UNCHECKED);
  session.SetText(kText1, L"");
  session.SetText(kText2, L"40");
  EXPECT_EQ(session.Click(), L"");
  session.SetText(kText1, L"1#");
  ProcessFigures lowest{~DWORD{0}, ~SIZE_T{0}, ~DWORD{0}};
  for (int i = 0; i < 25; ++i) {
    ::Sleep(200);
    const ProcessFigures now = session.Figures();
    lowest.handles = std::min(lowest.handles, now.handles);
    lowest.private_bytes = std::min(lowest.private_bytes, now.private_bytes);
    lowest.threads = std::min(lowest.threads, now.threads);
    if (i >= 4 && (thread_goal == 0 || now.threads <= thread_goal)) break;
  }
  return lowest;
}

TEST(SoakTest, MixedDialsLeaveHandlesAndPrivateBytesFlat) {
  DiallerSession session(WithRealLibrary());
  session.SetText(kText1, L"1#");

  for (int i = 0; i < 100; ++i) Dial(session, i % 4);  // warm-up: device, heaps, caches
  const ProcessFigures before = QuietFigures(session);
  for (int i = 0; i < 2000; ++i) Dial(session, i % 4);
  const ProcessFigures after = QuietFigures(session, before.threads);

  // Measured with no playback alive, the figures stay within a few KB. A
  // handle, a thread or one 20 ms audio block (~1.9 KB) kept per dial would
  // add 500 of them, or ~1 MB, over the 500 dials of a kind: far above
  // these bounds, which leave room only for the heap's own bookkeeping.
  EXPECT_LE(after.threads, before.threads);
  EXPECT_LE(after.handles, before.handles + 5)
      << "handles " << before.handles << " -> " << after.handles;
  EXPECT_LE(after.private_bytes, before.private_bytes + 256 * 1024)
      << "private bytes " << before.private_bytes << " -> " << after.private_bytes;
  std::printf("soak: threads %lu -> %lu, handles %lu -> %lu, private bytes %lu -> %lu\n",
              static_cast<unsigned long>(before.threads), static_cast<unsigned long>(after.threads),
              static_cast<unsigned long>(before.handles), static_cast<unsigned long>(after.handles),
              static_cast<unsigned long>(before.private_bytes),
              static_cast<unsigned long>(after.private_bytes));
  EXPECT_EQ(session.Close(), 0u);
}

}  // namespace
