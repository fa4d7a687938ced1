// The option rows of the main dialog: presentation, version-up merge and
// the layout that closes the gaps of hidden rows.
#include <gtest/gtest.h>

#include "setup/option_rows.h"

namespace {

TEST(OptionRows, ValueTable) {
  struct Case {
    int value;
    bool shown, checked, hidden;
  } cases[] = {
      {0, false, false, true}, {1, true, false, false}, {2, true, true, false},
      {3, false, true, true},  {7, true, false, false}, {-1, true, false, false},
  };
  for (const Case& c : cases) {
    setup::OptionShow show = setup::PresentOption(c.value);
    EXPECT_EQ(show.shown, c.shown) << c.value;
    EXPECT_EQ(show.checked, c.checked) << c.value;
    EXPECT_EQ(setup::OptionHidden(c.value), c.hidden) << c.value;
  }
}

TEST(OptionRows, VersionUpMergeAndMenuPlaceButton) {
  struct Merge {
    int value, earlier, merged;
  } merges[] = {
      {1, 0, 1}, {1, 1, 1}, {1, 2, 2}, {2, 0, 1}, {2, 3, 2}, {2, 7, 2},
      {1, -1, 1}, {0, 2, 0}, {3, 0, 3}, {7, 2, 7},  // only 1 and 2 take the earlier choice
  };
  for (const Merge& m : merges)
    EXPECT_EQ(setup::MergeEarlierOption(m.value, m.earlier), m.merged) << m.value << " after " << m.earlier;
  struct Button {
    int value;
    bool checked, shown;
  } buttons[] = {
      {0, false, false}, {1, false, false}, {1, true, true}, {2, true, true}, {3, true, false}, {7, true, true},
  };
  for (const Button& b : buttons)
    EXPECT_EQ(setup::MenuPlaceButtonShown(b.value, b.checked), b.shown) << b.value << " " << b.checked;
}

TEST(OptionRows, LayoutClosesTheGaps) {
  struct Case {
    const char* breaks;
    setup::LayoutInput input;  // left rows, copy, del, installed copy, automatic
    int left, right;
    int rise[setup::kLeftRows];
    int deleteRise, groupShrink;
    bool groupHidden, automatic;
    int buttonRise, dialogShrink;
  } cases[] = {
      {"every row hidden", {{0, 0, 0, 0, 0}, 0, 0, false, false}, 5, 5, {0, 1, 2, 3, 4}, 1, 2, true, false, 5, 5},
      {"only Send hidden", {{1, 2, 1, 2, 0}, 1, 2, false, false}, 1, 2, {0, 0, 0, 0, 0}, 0, 0, false, false, 1, 1},
      {"Copy 3 and Del 0 hide the group", {{1, 1, 1, 1, 1}, 3, 0, false, false}, 0, 5, {0}, 1, 2, true, false, 0, 0},
      {"left column limits", {{1, 0, 1, 3, 1}, 0, 1, false, false}, 2, 3, {0, 0, 1, 1, 2}, 1, 1, false, false, 2, 2},
      {"right column limits", {{0, 0, 0, 0, 0}, 1, 1, false, false}, 5, 2, {0, 1, 2, 3, 4}, 0, 0, false, false, 2, 2},
      {"other values count as shown", {{7, 7, 7, 7, 0}, 7, 1, false, false}, 1, 2, {0}, 0, 0, false, false, 1, 1},
      {"automatic hides the buttons' row", {{0, 0, 0, 0, 0}, 0, 0, false, true}, 5, 5, {0, 1, 2, 3, 4}, 1, 2, true, true, 0, 6},
      {"installed copy moves no right row", {{2, 0, 1, 0, 1}, 1, 0, true, false}, 2, 4, {0, 0, 1, 1, 2}, 0, 0, true, false, 2, 2},
      {"installed copy never runs by itself", {{1, 1, 1, 1, 1}, 1, 0, true, true}, 0, 4, {0}, 0, 0, true, false, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.breaks);
    setup::Layout layout = setup::PlanLayout(c.input);
    EXPECT_EQ(layout.leftHidden, c.left);
    EXPECT_EQ(layout.rightFree, c.right);
    for (int row = 0; row < setup::kLeftRows; ++row) EXPECT_EQ(layout.leftRowRise[row], c.rise[row]) << row;
    EXPECT_EQ(layout.deleteRowRise, c.deleteRise);
    EXPECT_EQ(layout.groupShrink, c.groupShrink);
    EXPECT_EQ(layout.groupHidden, c.groupHidden);
    EXPECT_EQ(layout.automatic, c.automatic);
    EXPECT_EQ(layout.buttonRise, c.buttonRise);
    EXPECT_EQ(layout.dialogShrink, c.dialogShrink);
  }
}

}  // namespace
