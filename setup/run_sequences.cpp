// The install and the uninstall, step by step inside the run button's
// handling. Each step reports its own failures and the sequence goes on;
// the label shows where the run is, and a control is hidden (with a short
// pause) as the work it stands for is done.
#include "setup.h"

#include "ini/lists.h"
#include "paths.h"

namespace {

constexpr DWORD kHidePauseMs = 500;
constexpr DWORD kEndPauseMs = 1000;

// The run processes no messages between its steps: what it changes is
// painted at once, so that the user sees where it is.
void Refresh(HWND dialog) { RedrawWindow(dialog, nullptr, nullptr, RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN); }

void Label(HWND dialog, UINT text) {
  char label[MAX_PATH];
  if (!LoadStringA(g_setup.instance, text, label, sizeof label)) label[0] = '\0';
  SetDlgItemTextA(dialog, IDC_FOLDER_LABEL, label);
  Refresh(dialog);
}

void Hide(HWND dialog, int id) {
  ShowWindow(GetDlgItem(dialog, id), SW_HIDE);
  Refresh(dialog);
}

void HideAndPause(HWND dialog, int id) {
  Hide(dialog, id);
  Sleep(kHidePauseMs);
}

// "What was not removed", shown when [Del] ShowError asks for it and the
// list is not empty.
void ReportRemainingItems(HWND dialog) {
  static const char kHeading[] = "次のものは削除されませんでした．\n\n";
  size_t total = ListRemainingItems(nullptr);
  if (total == 0) return;
  HANDLE heap = GetProcessHeap();
  char* text = static_cast<char*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, total + 128));
  if (!text) return;
  lstrcpyA(text, kHeading);
  // Bounded: a file may appear between the count and the listing.
  ListRemainingItems(text, total + 128);
  MessageBoxA(dialog, text, "ファイル・フォルダの削除", MB_ICONWARNING);
  HeapFree(heap, 0, text);
  RepaintOwner(dialog);
}

Apply Chosen(HWND dialog, int box) { return IsChecked(dialog, box) ? Apply::kMake : Apply::kRemove; }

// A description that is no installation's record starts with none: one
// that an author shipped after a test install lists the author's files,
// folders and keys, which an uninstall would take for the application's.
// A version-up takes over the keys its earlier installation made, so that
// the associations know them as the product's own (its files and folders
// are merged at the end, after the new ones).
void PrepareRecords() {
  if (g_setup.mode == SetupMode::kInstalledCopy) return;
  static const char* const kRecords[] = {ini::kCopiedFile, ini::kMakedDirectory, ini::kMadeKey};
  for (const char* section : kRecords) WriteSetting(section, nullptr, nullptr);
  WriteSetting(ini::kMenu, ini::kMade, nullptr);
  if (g_setup.earlier) profile::MergeList(*g_setup.earlier, &Settings(), ini::kMadeKey);
}

}  // namespace

void RunInstall(HWND dialog) {
  PrepareRecords();
  RemoveOldMenus();
  char change[MAX_PATH];
  ReadSetting(ini::kMenu, ini::kChange, change);
  WriteSetting(ini::kMenu, ini::kNamed, change);
  WriteSetting(ini::kMenu, ini::kChange, "");
  static const int kInputs[] = {IDC_FOLDER, IDC_MENU,       IDC_DESKTOP, IDC_STARTUP, IDC_EXT,
                                IDC_SEND,   IDC_FILE_GROUP, IDC_COPY,    IDC_DELETE};
  for (int id : kInputs) EnableWindow(GetDlgItem(dialog, id), FALSE);
  // An installed copy has its files; it applies its settings again.
  if (g_setup.mode != SetupMode::kInstalledCopy) {
    Label(dialog, IDS_COPYING);
    CopyInstallFiles(dialog);
  }
  HideAndPause(dialog, IDC_FOLDER);
  Label(dialog, IDS_SETTING);
  ApplyMenuShortcuts(Settings(), Chosen(dialog, IDC_MENU));
  HideAndPause(dialog, IDC_MENU);
  ApplyFolderShortcut(Settings(), Chosen(dialog, IDC_DESKTOP), ini::kDesktop);
  HideAndPause(dialog, IDC_DESKTOP);
  ApplyFolderShortcut(Settings(), Chosen(dialog, IDC_STARTUP), ini::kStartup);
  HideAndPause(dialog, IDC_STARTUP);
  ApplyAssociations(Chosen(dialog, IDC_EXT));
  HideAndPause(dialog, IDC_EXT);
  ApplySendToShortcuts(Settings(), Chosen(dialog, IDC_SEND));
  HideAndPause(dialog, IDC_SEND);
  RegisterUninstall();
  ApplyRegistryList(Settings(), Apply::kMake);
  InstallSetupFiles();
  Hide(dialog, IDC_COPY);
  Hide(dialog, IDC_DELETE);
  Hide(dialog, IDC_FILE_GROUP);
  Sleep(kHidePauseMs);
  LaunchAfterInstall();
  Label(dialog, IDS_INSTALLED);
  Sleep(kEndPauseMs);
}

void RunUninstall(HWND dialog) {
  Label(dialog, IDS_REMOVING_SETTINGS);
  RemoveOldMenus();
  HideAndPause(dialog, IDC_MENU);
  ApplyFolderShortcut(Settings(), Apply::kRemove, ini::kDesktop);
  HideAndPause(dialog, IDC_STARTUP);
  ApplyFolderShortcut(Settings(), Apply::kRemove, ini::kStartup);
  Hide(dialog, IDC_DESKTOP);
  ApplyAssociations(Apply::kRemove);
  RemoveRegistration();
  HideAndPause(dialog, IDC_EXT);
  ApplySendToShortcuts(Settings(), Apply::kRemove);
  HideAndPause(dialog, IDC_SEND);
  ApplyRegistryList(Settings(), Apply::kRemove);
  Label(dialog, IDS_REMOVING_FILES);
  RemoveInstalledFiles();
  HideAndPause(dialog, IDC_FOLDER);
  if (ReadNumber(ini::kDel, ini::kShowError) != 0) ReportRemainingItems(dialog);
  RemoveUninstallEntry();
  // The description goes last, its cache written first.
  FlushSettings();
  ShellDelete(g_setup.ini);
  Label(dialog, IDS_UNINSTALLED);
  Sleep(kEndPauseMs);
  g_setup.runState = RunState::kUninstalled;
}
