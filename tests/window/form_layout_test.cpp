#include "window/form_layout.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

TEST(FormLayoutTest, IdentifiersFollowTheCreationOrder) {
  for (size_t i = 0; i < kForm1Controls.size(); ++i) {
    EXPECT_EQ(kForm1Controls[i].id, static_cast<int>(i + 1));
  }
}

TEST(FormLayoutTest, TabOrderVisitsTheFocusableControlsInTabIndexOrder) {
  std::vector<int> focusable;
  for (int id : TabOrder()) {
    if (TakesFocus(FindControl(id).kind)) focusable.push_back(id);
  }
  EXPECT_EQ(focusable, (std::vector<int>{kCommand1, kText1, kCheck1, kText2}));

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
