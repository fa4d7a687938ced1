// The option rows of the main dialog: presentation, version-up merge and
// the layout that closes the gaps of hidden rows.
#include <gtest/gtest.h>

#include <string>

#include "setup/option_rows.h"

namespace {

TEST(OptionRows, ValuesMergeAndMenuPlaceButton) {
  // value, shown, checked, hidden; 7 and -1 are rows of the template
  const int shows[][4] = {{0, 0, 0, 1}, {1, 1, 0, 0}, {2, 1, 1, 0}, {3, 0, 1, 1}, {7, 1, 0, 0}, {-1, 1, 0, 0}};
  for (const auto& s : shows) {
    setup::OptionShow show = setup::PresentOption(s[0]);
    EXPECT_EQ(show.shown, s[1] != 0) << s[0];
    EXPECT_EQ(show.checked, s[2] != 0) << s[0];
    EXPECT_EQ(setup::OptionHidden(s[0]), s[3] != 0) << s[0];
  }
  // value, earlier, merged: only 1 and 2 take the earlier choice
  const int merges[][3] = {{1, 0, 1}, {1, 1, 1}, {1, 2, 2}, {2, 0, 1}, {2, 7, 2},
                           {1, -1, 1}, {0, 2, 0}, {3, 0, 3}, {7, 2, 7}};
  for (const auto& m : merges) EXPECT_EQ(setup::MergeEarlierOption(m[0], m[1]), m[2]) << m[0] << " after " << m[1];
  // menu value, box checked, button 1021 shown
  const int buttons[][3] = {{0, 1, 0}, {1, 0, 0}, {1, 1, 1}, {2, 1, 1}, {3, 1, 0}, {7, 1, 1}};
  for (const auto& b : buttons) EXPECT_EQ(setup::MenuPlaceButtonShown(b[0], b[1]), b[2] != 0) << b[0] << b[1];
}

// "L5 R5 01234 1 -2 hidden 5 5": L, R, the rise of each left row and of
// 1010, the group's change of height, whether it is hidden, whether the
// dialog runs by itself ("auto"), the rise of the buttons, the dialog's
// shrink.
std::string Describe(const setup::Layout& l) {
  std::string out = "L" + std::to_string(l.leftHidden) + " R" + std::to_string(l.rightFree) + " ";
  for (int rise : l.leftRowRise) out += std::to_string(rise);
  out += " " + std::to_string(l.deleteRowRise) + " -" + std::to_string(l.groupShrink);
  out += std::string(l.groupHidden ? " hidden" : "") + (l.automatic ? " auto" : "");
  return out + " " + std::to_string(l.buttonRise) + " " + std::to_string(l.dialogShrink);
}

TEST(OptionRows, LayoutClosesTheGaps) {
  struct {
    const char* breaks;
    setup::LayoutInput input;  // left rows, copy, del, installed copy, automatic
    const char* layout;
  } cases[] = {
      {"every row hidden", {{0, 0, 0, 0, 0}, 0, 0, false, false}, "L5 R5 01234 1 -2 hidden 5 5"},
      {"only Send hidden", {{1, 2, 1, 2, 0}, 1, 2, false, false}, "L1 R2 00000 0 -0 1 1"},
      {"Copy 3 and Del 0", {{1, 1, 1, 1, 1}, 3, 0, false, false}, "L0 R5 00000 1 -2 hidden 0 0"},
      {"left column limits", {{1, 0, 1, 3, 1}, 0, 1, false, false}, "L2 R3 00112 1 -1 2 2"},
      {"right column limits", {{0, 0, 0, 0, 0}, 1, 1, false, false}, "L5 R2 01234 0 -0 2 2"},
      {"other values are shown", {{7, 7, 7, 7, 0}, 7, 1, false, false}, "L1 R2 00000 0 -0 1 1"},
      {"automatic", {{0, 0, 0, 0, 0}, 0, 0, false, true}, "L5 R5 01234 1 -2 hidden auto 0 6"},
      {"installed copy", {{2, 0, 1, 0, 1}, 1, 0, true, false}, "L2 R4 00112 0 -0 hidden 2 2"},
      {"installed copy never alone", {{1, 1, 1, 1, 1}, 1, 0, true, true}, "L0 R4 00000 0 -0 hidden 0 0"},
  };
  for (const auto& c : cases) EXPECT_EQ(Describe(setup::PlanLayout(c.input)), c.layout) << c.breaks;
}

}  // namespace
