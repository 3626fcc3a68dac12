#include "dialler/window/form_layout.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "dialler/window/form_placement.h"
#include "tests/dialler/window/layout_lookup.h"

TEST(FormLayoutTest, IdentifiersFollowTheCreationOrder) {
  for (size_t i = 0; i < kForm1Controls.size(); ++i) {
    EXPECT_EQ(kForm1Controls[i].id, static_cast<int>(i + 1));
  }
}

TEST(FormLayoutTest, StacksEachCaptionJustBeforeItsFieldAndTheRestInTabOrder) {
  const auto order = ZOrder();
  EXPECT_EQ(std::vector<int>(order.begin(), order.end()),
            (std::vector<int>{kCommand1, kLabel1, kText1, kCheck1, kLabel2, kText2}));

  std::set<int> indices;
  for (const ControlRecord& record : kForm1Controls) indices.insert(record.tab_index);
  EXPECT_EQ(indices.size(), kForm1Controls.size()) << "tab indices must be distinct";
}

TEST(FormLayoutTest, EveryControlLiesInsideTheClientArea) {
  for (const ControlRecord& record : kForm1Controls) {
    SCOPED_TRACE(std::string(record.name.begin(), record.name.end()));
    EXPECT_GE(record.left, 0);
    EXPECT_GE(record.top, 0);
    EXPECT_LE(record.left + record.width, kForm1.client_width);
    EXPECT_LE(record.top + record.height, kForm1.client_height);
  }
}

// Label2 is measured in whatever font the system gives; Text2 makes room for
// a caption longer than the table allows and keeps its right edge.
TEST(FormPlacementTest, CaptionsNeverReachIntoTheirFieldsAndOtherControlsKeepTheTable) {
  for (int dpi : {96, 120, 144, 192}) {
    const PixelRect table_label2 = TableRect(kLabel2, dpi);
    const PixelRect table_text2 = TableRect(kText2, dpi);
    const int room = table_text2.left - table_label2.left;
    for (int caption_width : {room / 2, room, room + 10, 10 * room}) {
      SCOPED_TRACE(testing::Message() << dpi << " DPI, caption " << caption_width << " px");
      std::array<TextSize, kForm1Controls.size()> sizes{};
      sizes[PositionOf(kLabel2)] = {caption_width, table_label2.height - 1};
      const ControlRects rects = PlaceForm1Controls(dpi, sizes);
      const auto rect = [&rects](int id) { return rects[PositionOf(id)]; };

      for (int id : {kText1, kCheck1, kCommand1}) EXPECT_EQ(rect(id), TableRect(id, dpi)) << id;
      const PixelRect label1 = TableRect(kLabel1, dpi);
      EXPECT_EQ(rect(kLabel1),
                (PixelRect{label1.left, label1.top, label1.width, rect(kText1).top - label1.top}));

      EXPECT_EQ(rect(kLabel2), (PixelRect{table_label2.left, table_label2.top, caption_width,
                                          table_label2.height - 1}));
      const PixelRect text2 = rect(kText2);
      EXPECT_EQ(text2.left + text2.width, table_text2.left + table_text2.width);
      EXPECT_EQ(text2.top, table_text2.top);
      EXPECT_EQ(text2.height, table_text2.height);
      const int wanted_left = std::max(table_text2.left, table_label2.left + caption_width +
                                                             TwipsToPixels(kCaptionGapTwips, dpi));
      // Past half its width the field gives no more.
      const int right = table_text2.left + table_text2.width;
      EXPECT_EQ(text2.left, std::min(wanted_left, right - table_text2.width / 2));
    }
  }
}
