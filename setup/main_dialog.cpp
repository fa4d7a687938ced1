// The main dialog's presentation: a new install, a version-up of an
// installation found in the uninstall list, or the installed copy that
// offers the uninstall; the proposed folder, the option rows the
// description offers, and the gaps that hidden rows leave closed up.
#include "setup.h"

#include <shlobj.h>

#include "ini_file.h"
#include "paths.h"
#include "registry.h"
#include "setup/install_folder.h"
#include "setup/option_rows.h"
#include "setup/resolve_path.h"
#include "setup/uninstall_command.h"

namespace {

// The left column's rows, in their order, and their [Check] keys.
const int kLeftRowIds[setup::kLeftRows] = {IDC_MENU, IDC_DESKTOP, IDC_STARTUP, IDC_EXT, IDC_SEND};
const char* const kLeftRowKeys[setup::kLeftRows] = {ini::kMenu, ini::kDesktop, ini::kStartup, ini::kExt, ini::kSend};

// What the initialisation learns and the later steps use.
struct Presentation {
  char folder[MAX_PATH];        // proposed installation folder
  bool versionUp;               // an earlier installation is registered
  bool installedCopy;
  bool uninstallPosted;         // the 1009 command is posted at most once
};

// A control's rectangle in the dialog's client coordinates.
RECT ClientRect(HWND dialog, int id) {
  RECT rect;
  GetWindowRect(GetDlgItem(dialog, id), &rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// Moves a control up by `distance` pixels, keeping its left edge and size.
void MoveUp(HWND dialog, int id, int distance) {
  if (distance == 0) return;
  RECT rect = ClientRect(dialog, id);
  MoveWindow(GetDlgItem(dialog, id), rect.left, rect.top - distance, rect.right - rect.left, rect.bottom - rect.top,
             FALSE);
}

void TakeIcons(HWND dialog) {
  char file[MAX_PATH];
  ReadSetting(ini::kDesktop, ini::kIcon, file);
  if (!file[0]) return;
  HICON large = nullptr, small = nullptr;
  // Used as written: a relative name is relative to the current folder.
  if (ExtractIconExA(file, ReadNumber(ini::kCheck, ini::kIconNo), &large, &small, 1) == 0) return;
  g_setup.largeIcon = large;
  g_setup.smallIcon = small;
  if (large) SetClassLongA(dialog, GCL_HICON, reinterpret_cast<LONG>(large));
}

// The folder of an earlier installation of [Root] Name, from the uninstall
// entry named by the name's last part (`keyName`, which `name` holds). An
// entry is this product's only when its folder holds the record of an
// installation there: another program's entry of the same name would
// otherwise be taken for an earlier version, installed over and deleted.
// That record is read once, into g_setup.earlierRecord.
bool FindEarlierInstallation(char* folder, char* name, const char** keyName) {
  ReadSetting(ini::kRoot, ini::kName, name);
  const char* last = text::FindLast(name, '\\', platform::IsAnsiLeadByte);
  *keyName = last ? last + 1 : name;
  folder[0] = '\0';
  if (!name[0] || !platform::ReadUninstallString(*keyName, folder)) return false;
  // Setup writes its program unquoted; a quoted one is another program's.
  if (setup::CutToCommandProgram(folder, nullptr, platform::IsAnsiLeadByte)) {
    folder[0] = '\0';
    return false;
  }
  char* slash = const_cast<char*>(text::FindLast(folder, '\\', platform::IsAnsiLeadByte));
  char iniPath[MAX_PATH];
  if (slash) *slash = '\0';
  if (!slash || !platform::JoinChecked(iniPath, folder, "Setup.ini") ||
      !platform::LoadIniFile(iniPath, g_setup.earlierRecord) || !IsInstallationRecord(*g_setup.earlierRecord, folder)) {
    folder[0] = '\0';
    return false;
  }
  return true;
}

void ShowFolder(HWND dialog, Presentation* p) {
  // Room for the folder and "\Setup.ini" joined to it.
  SendDlgItemMessageA(dialog, IDC_FOLDER, EM_LIMITTEXT, MAX_PATH - 1 - 10, 0);
  SetDlgItemTextA(dialog, IDC_FOLDER, p->folder);
}

// The folder proposed from `name`, the [Root] Name (MAX_PATH bytes; empty
// when it would not fit).
void DefaultInstallFolder(char* folder, const char* name) {
  const setup::MachineFolders& machine = MachineFolders();
  char desktop[MAX_PATH];
  const char* base = "";
  setup::FolderMacro macro = setup::SplitFolderMacro(name, platform::IsAnsiLeadByte);
  switch (macro.base) {
    case setup::FolderBase::kNone:
      setup::ComposeSystemDriveFolder(folder, MAX_PATH, machine.system, name, platform::IsAnsiLeadByte);
      return;
    case setup::FolderBase::kSystem:
      base = machine.system;
      break;
    case setup::FolderBase::kWindows:
      base = machine.windows;
      break;
    case setup::FolderBase::kDesktop:
      desktop[0] = '\0';
      platform::ShellFolderPath(nullptr, CSIDL_DESKTOP, desktop);
      base = desktop;
      break;
    case setup::FolderBase::kPrograms:
      base = machine.programs;
      break;
  }
  setup::ComposeMacroFolder(folder, MAX_PATH, base, name + macro.rest, platform::IsAnsiLeadByte);
}

void ProposeFolder(HWND dialog, Presentation* p) {
  char rootName[MAX_PATH];
  const char* keyName;
  p->versionUp = FindEarlierInstallation(p->folder, rootName, &keyName);
  if (!p->versionUp) DefaultInstallFolder(p->folder, rootName);
  // An earlier installation keeps the name its entry was found by, though
  // its folder may be called otherwise: named after the folder, the next
  // registration would add a second entry and the uninstall remove the
  // wrong one, leaving the first behind.
  const char* name = p->versionUp ? keyName : setup::RootNameFromFolder(p->folder, platform::IsAnsiLeadByte);
  if (name) WriteSetting(ini::kRoot, ini::kName, name);
  ShowFolder(dialog, p);
}

// An installed copy shows the folder it lies in, whatever the uninstall
// list says now, and keeps the name it was registered by.
void ShowInstalledFolder(HWND dialog, Presentation* p) {
  ReadSetting(ini::kRoot, ini::kNamed, p->folder);
  ShowFolder(dialog, p);
}

void PresentInstalledCopy(HWND dialog, Presentation* p) {
  g_setup.runState = RunState::kInstalledCopy;
  g_setup.mode = SetupMode::kInstalledCopy;
  WriteSetting(ini::kCheck, ini::kCopy, "1");
  WriteSetting(ini::kCheck, ini::kDel, "0");
  ShowControl(dialog, IDC_BROWSE, false);
  SetDlgItemTextA(dialog, IDC_FOLDER_LABEL, "インストール済です．");
  // The copy box becomes the uninstall box, on the menu row.
  RECT copy = ClientRect(dialog, IDC_COPY), menu = ClientRect(dialog, IDC_MENU);
  MoveWindow(GetDlgItem(dialog, IDC_COPY), copy.left, menu.top, copy.right - copy.left, menu.bottom - menu.top,
             FALSE);
  ShowControl(dialog, IDC_FILE_GROUP, false);
  SetDlgItemTextA(dialog, IDC_COPY, "アンインストール");
  if (ReadNumber(ini::kDel, ini::kAuto) == 0 && ReadNumber(ini::kDel, ini::kChecked) != 0) {
    CheckDlgButton(dialog, IDC_COPY, BST_CHECKED);
    PostMessageA(dialog, WM_COMMAND, IDC_COPY, 0);
    p->uninstallPosted = true;
  }
  SendDlgItemMessageA(dialog, IDC_FOLDER, EM_SETREADONLY, TRUE, 0);
  WriteSetting(ini::kSetup, ini::kAuto, "0");
}

void PresentNewInstall(HWND dialog, const Presentation& p) {
  char self[MAX_PATH];
  ReadSetting(ini::kCopyFile, ini::kSelf, self);
  if (self[0]) {
    text::PathParts parts = text::SplitPath(self, platform::IsAnsiLeadByte);
    SetDlgItemTextA(dialog, IDC_FILE_GROUP, self + parts.name);
  } else {
    SetDlgItemTextA(dialog, IDC_FILE_GROUP, "インストーラー");
  }
  if (p.versionUp) {
    g_setup.mode = SetupMode::kVersionUp;
    SetDlgItemTextA(dialog, IDC_FOLDER_LABEL, "(&F)バージョンアップ先");
  }
}

void PresentReadMeButton(HWND dialog) {
  int done = ReadNumber(ini::kReadme, ini::kDone);
  if (done == 0) ShowControl(dialog, IDC_READ_ME, false);
  if (done == 2 && ReadNumber(ini::kSetup, ini::kAuto) == 0 && !g_setup.uninstallArgument)
    SendMessageA(dialog, WM_COMMAND, IDC_READ_ME, 0);
}

// Shows or hides a row by its option value and sets its box.
void PresentOption(HWND dialog, int id, int value) {
  setup::OptionShow show = setup::PresentOption(value);
  ShowControl(dialog, id, show.shown);
  CheckDlgButton(dialog, id, show.checked ? BST_CHECKED : BST_UNCHECKED);
}

// The left column's values, a version-up offering the earlier choices again.
void ReadLeftRows(const Presentation& p, int* values) {
  if (p.versionUp) {
    char named[MAX_PATH];
    g_setup.earlier->Read(ini::kMenu, ini::kNamed, named, sizeof named);
    if (named[0]) WriteSetting(ini::kMenu, ini::kChange, named);
  }
  for (int row = 0; row < setup::kLeftRows; ++row) {
    values[row] = ReadNumber(ini::kCheck, kLeftRowKeys[row]);
    if (p.versionUp) {
      int earlier = g_setup.earlier->Number(ini::kCheck, kLeftRowKeys[row], 0);
      values[row] = setup::MergeEarlierOption(values[row], earlier);
    }
  }
}

void PresentRows(HWND dialog, Presentation* p) {
  setup::LayoutInput input = {};
  ReadLeftRows(*p, input.left);
  for (int row = 0; row < setup::kLeftRows; ++row) PresentOption(dialog, kLeftRowIds[row], input.left[row]);
  ShowControl(dialog, IDC_MENU_PLACE,
       setup::MenuPlaceButtonShown(input.left[setup::kMenuRow], IsChecked(dialog, IDC_MENU)));
  input.copy = ReadNumber(ini::kCheck, ini::kCopy);
  input.del = ReadNumber(ini::kCheck, ini::kDel);
  input.installedCopy = p->installedCopy;
  input.automatic = ReadNumber(ini::kSetup, ini::kAuto) != 0;
  // An installed copy keeps its uninstall box as the initialisation left
  // it: [Check] Copy reads 1 there, which would clear a box that
  // [Del] Checked has just checked.
  if (!p->installedCopy) PresentOption(dialog, IDC_COPY, input.copy);
  if (g_setup.uninstallArgument && !p->uninstallPosted) {
    CheckDlgButton(dialog, IDC_COPY, BST_CHECKED);
    PostMessageA(dialog, WM_COMMAND, IDC_COPY, 0);
    p->uninstallPosted = true;
  }
  PresentOption(dialog, IDC_DELETE, input.del);

  setup::Layout layout = setup::PlanLayout(input);
  int pitch = ClientRect(dialog, IDC_DESKTOP).top - ClientRect(dialog, IDC_MENU).top;
  for (int row = 0; row < setup::kLeftRows; ++row) MoveUp(dialog, kLeftRowIds[row], layout.leftRowRise[row] * pitch);
  MoveUp(dialog, IDC_MENU_PLACE, layout.leftRowRise[setup::kMenuRow] * pitch);
  MoveUp(dialog, IDC_DELETE, layout.deleteRowRise * pitch);
  if (layout.groupHidden) {
    ShowControl(dialog, IDC_FILE_GROUP, false);
  } else if (layout.groupShrink) {
    RECT group = ClientRect(dialog, IDC_FILE_GROUP);
    MoveWindow(GetDlgItem(dialog, IDC_FILE_GROUP), group.left, group.top, group.right - group.left,
               group.bottom - group.top - layout.groupShrink * pitch, FALSE);
  }
  static const int kBottomRow[] = {IDC_RUN, IDC_CANCEL_RUN, IDC_READ_ME, IDC_ICON_PLACE};
  for (int id : kBottomRow) {
    if (layout.automatic) ShowControl(dialog, id, false);
    else MoveUp(dialog, id, layout.buttonRise * pitch);
  }
  if (layout.automatic) ShowControl(dialog, IDC_BROWSE, false);
  RECT window;
  GetWindowRect(dialog, &window);
  SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left,
               window.bottom - window.top - layout.dialogShrink * pitch, SWP_NOMOVE | SWP_NOZORDER);
  if (layout.automatic) PostMessageA(dialog, WM_COMMAND, IDC_RUN, 0);
}

void PaintIcon(HWND dialog) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(dialog, &paint);
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof placement;
  if (g_setup.largeIcon && GetWindowPlacement(GetDlgItem(dialog, IDC_ICON_PLACE), &placement))
    DrawIcon(dc, placement.rcNormalPosition.left, placement.rcNormalPosition.top, g_setup.largeIcon);
  EndPaint(dialog, &paint);
}

void InitMainDialog(HWND dialog) {
  SetWindowPos(dialog, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  char caption[MAX_PATH];
  ReadSetting(ini::kSetup, ini::kName, caption, "Install");
  SetWindowTextA(dialog, caption);
  TakeIcons(dialog);
  Presentation p = {};
  char own[MAX_PATH];
  OwnFolder(own);
  p.installedCopy = IsInstallationRecord(Settings(), own);
  if (p.installedCopy) {
    ShowInstalledFolder(dialog, &p);
    g_setup.earlier = g_setup.settings;
    PresentInstalledCopy(dialog, &p);
  } else {
    ProposeFolder(dialog, &p);
    if (p.versionUp) g_setup.earlier = g_setup.earlierRecord;
    PresentNewInstall(dialog, p);
  }
  PresentReadMeButton(dialog);
  PresentRows(dialog, &p);
  // What the dialog has written so far is on the disk while it waits.
  FlushSettings();
  SetFocus(GetDlgItem(dialog, IDC_RUN));
}

}  // namespace

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      InitMainDialog(dialog);
      break;
    case WM_PAINT:
      PaintIcon(dialog);
      break;
    case WM_COMMAND:
      HandleCommand(dialog, LOWORD(wParam));
      break;
    case WM_DESTROY:
      PostQuitMessage(0);
      break;
  }
  return 0;
}
