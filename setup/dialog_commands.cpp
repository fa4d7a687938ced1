// The main dialog's buttons and boxes, and how it ends.
#include "setup.h"

#include "folder_dialog.h"
#include "paths.h"
#include "setup/install_folder.h"
#include "setup/path_rules.h"

namespace {

// The option rows that the uninstall box disables, the menu place with them.
const int kOptionIds[] = {IDC_MENU, IDC_DESKTOP, IDC_STARTUP, IDC_EXT, IDC_SEND, IDC_MENU_PLACE};

// Ends the program's windows: the destroy message's handling posts the
// quit that ends this dialog's modal loop and then the program's own.
void End(HWND dialog) { PostMessageA(dialog, WM_DESTROY, 0, 0); }

void BrowseInstallFolder(HWND dialog) {
  char current[MAX_PATH], chosen[MAX_PATH], name[MAX_PATH];
  GetDlgItemTextA(dialog, IDC_FOLDER, current, sizeof current);
  if (!platform::BrowseForFolder(dialog, "ｲﾝｽﾄｰﾙ先の指定", nullptr, current, chosen)) return;
  ReadSetting(ini::kRoot, ini::kName, name);
  // A choice whose joined name would not fit the field changes nothing.
  if (name[0] && !setup::JoinNameUnlessPresent(chosen, MAX_PATH - 10, name, platform::IsAnsiLeadByte)) {
    MessageBeep(MB_ICONWARNING);
    return;
  }
  SetDlgItemTextA(dialog, IDC_FOLDER, chosen);
}

void SetUninstallBox(HWND dialog) {
  if (g_setup.runState == RunState::kFresh) return;
  bool uninstall = IsChecked(dialog, IDC_COPY);
  for (int id : kOptionIds) EnableWindow(GetDlgItem(dialog, id), !uninstall);
  if (uninstall && g_setup.uninstallArgument) PostMessageA(dialog, WM_COMMAND, IDC_RUN, 0);
}

void ReadMe(HWND dialog) {
  SetClassLongA(dialog, GCL_HICON, reinterpret_cast<LONG>(g_setup.smallIcon));
  DialogBoxParamA(g_setup.instance, MAKEINTRESOURCEA(IDD_README), dialog, ReadMeDialogProc, 0);
  SetClassLongA(dialog, GCL_HICON, reinterpret_cast<LONG>(g_setup.largeIcon));
}

// An install needs a full folder to install into: a relative or
// drive-relative one ("App", "\App", "C:App") would depend on the current
// folder, and so would everything resolved against it, the uninstall's
// patterns included. Refused in the dialog's language: an empty field
// (cleared by the user, or a proposal too long to be made), or one that is
// not full.
bool HasFolder(HWND dialog) {
  if (g_setup.runState != RunState::kFresh) return true;
  char folder[MAX_PATH];
  GetDlgItemTextA(dialog, IDC_FOLDER, folder, sizeof folder);
  if (setup::IsFullPath(folder, platform::IsAnsiLeadByte)) return true;
  char caption[MAX_PATH];
  ReadSetting(ini::kSetup, ini::kName, caption, "Install");
  MessageBoxA(dialog,
              folder[0] ? "インストール先には，ドライブ名（C:\\ など）から始まるフォルダを指定してください．"
                        : "インストール先のフォルダを指定してください．",
              caption, MB_ICONWARNING);
  RepaintOwner(dialog);
  return false;
}

// The install keeps its records in the running Setup.ini: one that cannot
// be written (a read-only medium, a file nobody may change) would lose
// them all while the install reported success, and nothing it made could
// be uninstalled. The test writes the file as it stands.
bool CanRecord(HWND dialog) {
  if (SaveSettings()) return true;
  char caption[MAX_PATH], text[MAX_PATH + 96];
  ReadSetting(ini::kSetup, ini::kName, caption, "Install");
  wsprintfA(text, "%s\n\nに書き込めないため，インストールを中止します．", g_setup.ini);
  MessageBoxA(dialog, text, caption, MB_ICONWARNING);
  RepaintOwner(dialog);
  return false;
}

void Run(HWND dialog) {
  // Once: a run command still queued (a second click, a box ticked again
  // with the uninstall argument) reaches the dialog inside a message box
  // of the run, or after it.
  if (g_setup.ran) return;
  g_setup.ran = true;
  static const int kButtons[] = {IDC_RUN, IDC_CANCEL_RUN, IDC_READ_ME, IDC_MENU_PLACE, IDC_BROWSE};
  bool shown[sizeof kButtons / sizeof kButtons[0]];
  for (size_t i = 0; i < sizeof kButtons / sizeof kButtons[0]; ++i) {
    shown[i] = IsWindowVisible(GetDlgItem(dialog, kButtons[i])) != FALSE;
    ShowControl(dialog, kButtons[i], false);
  }
  if (!HasFolder(dialog)) {
    // The dialog stays for another try; in automatic mode, which has no
    // buttons to try with, the run ends as a cancel would.
    if (!shown[0]) HandleCommand(dialog, IDC_CANCEL_RUN);
    for (size_t i = 0; i < sizeof kButtons / sizeof kButtons[0]; ++i)
      if (shown[i]) ShowControl(dialog, kButtons[i], true);
    g_setup.ran = false;
    return;
  }
  bool uninstall = g_setup.runState == RunState::kInstalledCopy && IsChecked(dialog, IDC_COPY);
  if (uninstall) RunUninstall(dialog);
  else if (CanRecord(dialog)) RunInstall(dialog);
  End(dialog);
}

}  // namespace

void HandleCommand(HWND dialog, int id) {
  switch (id) {
    case IDC_MENU:
      ShowControl(dialog, IDC_MENU_PLACE, IsChecked(dialog, IDC_MENU));
      break;
    case IDC_BROWSE:
      BrowseInstallFolder(dialog);
      break;
    case IDC_MENU_PLACE:
      ChooseMenuFolder(dialog);
      break;
    case IDC_COPY:
      SetUninstallBox(dialog);
      break;
    case IDC_READ_ME:
      ReadMe(dialog);
      break;
    case IDC_CANCEL_RUN:
      WriteSetting(ini::kMenu, ini::kChange, "");
      End(dialog);
      break;
    case IDC_RUN:
      Run(dialog);
      break;
  }
}
