// The option rows of the main dialog: how an option value ([Check] Menu,
// Desktop, Startup, Ext, Send, Copy, Del) presents its row, how a
// version-up offers the earlier choice again, and how far the controls
// move to close the gaps that hidden rows leave.
//
//   value  row     box
//   0      hidden  unchecked   not offered
//   1      shown   unchecked
//   2      shown   checked
//   3      hidden  checked     always done
//   other  shown   unchecked   as in the template; neither hidden nor done
//
// Left column (one row pitch apart)      right column
//   1004 Menu   [1021 ...]                 group 1022
//   1006 Desktop                             1009 Copy
//   1005 Startup                             1010 Del
//   1011 Ext                               (two rows free below)
//   1012 Send
//   buttons 1, 2, 3 and the icon place 1018 below both
//
// Every hidden left row lifts the rows below it by a pitch. The buttons
// and the dialog's bottom can rise only as far as both columns allow.
#ifndef SFX_CORE_SETUP_OPTION_ROWS_H
#define SFX_CORE_SETUP_OPTION_ROWS_H

namespace setup {

struct OptionShow {
  bool shown;
  bool checked;
};

OptionShow PresentOption(int value);

// Whether `value` is one of the four above rather than an "other".
constexpr bool IsOptionValue(int value) { return value >= 0 && value <= 3; }

// 0 and 3: the row is hidden and its gap closed.
bool OptionHidden(int value);

// A version-up offers the earlier choice again: a row of value 1 or 2
// takes 1 when the earlier installation's value is 1 or less, 2 when it
// is above 1. Other values stay.
int MergeEarlierOption(int value, int earlier);

// Button 1021, where the menu is made, is visible while the menu row is
// shown and its box checked.
bool MenuPlaceButtonShown(int menuValue, bool menuChecked);

enum LeftRow { kMenuRow, kDesktopRow, kStartupRow, kExtRow, kSendRow, kLeftRows };

struct LayoutInput {
  int left[kLeftRows];  // option values, after a version-up's merge
  int copy;
  int del;
  bool installedCopy;
  bool automatic;  // [Setup] Auto nonzero
};

// Distances in row pitches (positive: up, or shorter).
struct Layout {
  int leftHidden;              // L
  int rightFree;               // R: 2 (4 in an installed copy) plus the hidden right rows, or 5
  int leftRowRise[kLeftRows];
  int deleteRowRise;           // 1010, when the copy row above it is hidden
  int groupShrink;             // group 1022 loses a pitch per hidden right row
  bool groupHidden;            // in an installed copy, or when neither box is offered
  // Runs by itself with buttons 1, 2, 3, 1018 and 1008 hidden. Never in
  // an installed copy, even when its [Setup] Auto could not be rewritten:
  // it would otherwise install again, or uninstall, unasked.
  bool automatic;
  int buttonRise;              // K = min(L, R); 0 when the buttons are hidden
  int dialogShrink;            // K, or K + 1 without the buttons' row
};

// An installed copy moves nothing in its right column: its uninstall box
// takes the top row and the group is hidden.
Layout PlanLayout(const LayoutInput& input);

}  // namespace setup

#endif  // SFX_CORE_SETUP_OPTION_ROWS_H
