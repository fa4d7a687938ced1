// The read-me viewer: a text file, or pages painted by drawing commands.
#include "setup.h"

// Not built yet: the viewer closes as it opens.
INT_PTR CALLBACK ReadMeDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) EndDialog(dialog, 1);
  return 0;
}
