// Small helpers on the controls of setup's dialogs, shared by the
// presentation, the commands and the run sequences.
#include "setup.h"

bool IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void ShowControl(HWND dialog, int id, bool show) { ShowWindow(GetDlgItem(dialog, id), show ? SW_SHOW : SW_HIDE); }

void RepaintOwner(HWND dialog) {
  HWND owner = GetParent(dialog);
  InvalidateRect(owner, nullptr, FALSE);
  UpdateWindow(owner);
}
