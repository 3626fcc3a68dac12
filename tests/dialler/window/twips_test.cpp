#include "dialler/window/twips.h"

#include <gtest/gtest.h>

#include "dialler/window/form_layout.h"
#include "tests/dialler/window/layout_lookup.h"

TEST(TwipsTest, RoundsToTheNearestPixelWithHalvesAwayFromZero) {
  EXPECT_EQ(TwipsToPixels(15, 96), 1);
  EXPECT_EQ(TwipsToPixels(7, 96), 0);    // 0.47 px
  EXPECT_EQ(TwipsToPixels(8, 96), 1);    // 0.53 px
  EXPECT_EQ(TwipsToPixels(-8, 96), -1);  // mirrored layouts round alike
  EXPECT_EQ(TwipsToPixels(5, 144), 1);   // exactly one half at 144 DPI
  EXPECT_EQ(TwipsToPixels(0, 288), 0);
  EXPECT_EQ(TwipsToPixels(1440, 96), 96);
  EXPECT_EQ(TwipsToPixels(1'000'000'000, 480), 333'333'333);  // no int overflow
}

TEST(TwipsTest, Form1AtNinetySixDpiHasItsPixelLayout) {
  EXPECT_EQ(TwipsToPixels(kForm1.client_width, 96), 285);
  EXPECT_EQ(TwipsToPixels(kForm1.client_height, 96), 105);

  const ControlRecord& text1 = FindControl(kText1);
  EXPECT_EQ(TwipsRectToPixels(text1.left, text1.top, text1.width, text1.height, 96),
            (PixelRect{18, 29, 249, 18}));

  // Label1's bottom reaches one pixel into Text1.
  const ControlRecord& label1 = FindControl(kLabel1);
  const PixelRect label =
      TwipsRectToPixels(label1.left, label1.top, label1.width, label1.height, 96);
  EXPECT_EQ(label.top + label.height - TwipsToPixels(text1.top, 96), 1);
}

TEST(TwipsTest, Form1EdgesStayFlushAtEveryCommonDpi) {
  // Command1's right edge meets Text1's; Text2's meets Check1's.
  for (int dpi : {96, 120, 144, 168, 192, 288}) {
    SCOPED_TRACE(dpi);
    auto right = [dpi](int id) {
      const ControlRecord& r = FindControl(id);
      return TwipsToPixels(r.left + r.width, dpi);
    };
    EXPECT_NEAR(right(kCommand1), right(kText1), 1);
    EXPECT_NEAR(right(kText2), right(kCheck1), 1);
  }
}
