#include "setup/option_rows.h"

namespace setup {
namespace {

bool MarksGroupUsed(int value) { return value == 1 || value == 2; }

}  // namespace

OptionShow PresentOption(int value) {
  switch (value) {
    case 0: return OptionShow{false, false};
    case 2: return OptionShow{true, true};
    case 3: return OptionShow{false, true};
    default: return OptionShow{true, false};
  }
}

bool OptionHidden(int value) { return value == 0 || value == 3; }

int MergeEarlierOption(int value, int earlier) {
  if (!MarksGroupUsed(value)) return value;
  return earlier > 1 ? 2 : 1;
}

bool MenuPlaceButtonShown(int menuValue, bool menuChecked) { return PresentOption(menuValue).shown && menuChecked; }

Layout PlanLayout(const LayoutInput& input) {
  Layout layout = {};
  for (int row = 0; row < kLeftRows; ++row) {
    layout.leftRowRise[row] = layout.leftHidden;
    if (OptionHidden(input.left[row])) ++layout.leftHidden;
  }
  layout.rightFree = input.installedCopy ? 4 : 2;
  if (!input.installedCopy) {
    if (OptionHidden(input.copy)) ++layout.rightFree, ++layout.groupShrink, layout.deleteRowRise = 1;
    if (OptionHidden(input.del)) ++layout.rightFree, ++layout.groupShrink;
  }
  bool used = MarksGroupUsed(input.copy) || MarksGroupUsed(input.del);
  if (!used) layout.rightFree = 5;
  layout.groupHidden = input.installedCopy || !used;
  layout.automatic = input.automatic && !input.installedCopy;
  int rise = layout.leftHidden < layout.rightFree ? layout.leftHidden : layout.rightFree;
  layout.buttonRise = layout.automatic ? 0 : rise;
  layout.dialogShrink = layout.automatic ? rise + 1 : rise;
  return layout;
}

}  // namespace setup
