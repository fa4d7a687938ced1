// Program entry of setup.exe: the removal copy, or the backdrop window and
// its message loop, then the removal copy after an uninstall.
#include "setup.h"

#include "command_line.h"
#include "ini_file.h"
#include "paths.h"
#include "process.h"
#include "self_removal.h"
#include "setup/uninstall_command.h"

namespace {

// The running Setup.ini: the program's own drive and folder, then
// "Setup.ini". False when the program's name cannot be had, or when the
// description's path would not fit a path buffer: a profile path without
// its folder would read and write the one in the Windows folder.
bool FindOwnSetupIni(char* iniPath) {
  char own[MAX_PATH];
  if (!platform::OwnPath(own)) return false;
  platform::FolderPart(iniPath, own);
  return iniPath[0] && text::JoinPath(iniPath, MAX_PATH, "Setup.ini", platform::IsAnsiLeadByte);
}

void RunMessageLoop(HWND backdrop) {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageA(backdrop, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

// Starts this program again with the tail "remove", to run after this
// process has ended.
void StartRemovalCopy() {
  char own[MAX_PATH];
  if (!platform::OwnPath(own)) return;
  // Quoted, so that the copy sees exactly "remove" as its tail whatever
  // blanks the path holds. Its current folder is the drive's root: it
  // must not hold the installation folder it is about to remove.
  char commandLine[MAX_PATH + 16];
  wsprintfA(commandLine, "\"%s\" remove", own);
  platform::StartAfterThisProcess(commandLine, "\\", false);
}

int SetupMain(HINSTANCE instance, const char* tail) {
  if (lstrcmpA(tail, "remove") == 0) {
    // By now the uninstalling instance has ended and let go of the file.
    Sleep(5000);
    platform::RemoveSelf(platform::Removal::kFileAndFolder);
    return 0;
  }
  g_setup.instance = instance;
  if (!FindOwnSetupIni(g_setup.ini)) return 1;
  // Unpacked from an archive, the description may carry a read-only
  // attribute; setup writes its choices and records into it.
  platform::ClearReadOnly(g_setup.ini);
  profile::Document settings(platform::ResizeOnHeap), earlierRecord(platform::ResizeOnHeap);
  g_setup.settings = &settings;
  g_setup.earlierRecord = &earlierRecord;
  if (!LoadSettings()) return 1;
  GetWindowRect(GetDesktopWindow(), &g_setup.desktop);
  g_setup.mode = SetupMode::kInstall;
  g_setup.runState = RunState::kFresh;
  g_setup.uninstallArgument = lstrcmpA(tail, setup::kUninstallArgument) == 0;
  if (ReadNumber(ini::kBack, ini::kDo) != 0) PaintBackdrop();

  HWND backdrop = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_BACKDROP), nullptr, BackdropWindowProc, 0);
  if (backdrop) RunMessageLoop(backdrop);

  // What the run wrote reaches the disk; an uninstalled description is
  // gone and stays gone.
  if (g_setup.runState != RunState::kUninstalled) FlushSettings();
  ReleaseBackdrop();
  if (g_setup.largeIcon) DestroyIcon(g_setup.largeIcon);
  if (g_setup.smallIcon) DestroyIcon(g_setup.smallIcon);
  if (g_setup.runState == RunState::kUninstalled) StartRemovalCopy();
  return 0;
}

}  // namespace

// setup brings its own process entry instead of the C runtime's start-up,
// which would add more than it uses (argv, static constructors).
extern "C" void WinMainCRTStartup() {
  // The tail: what follows the program's own path and the blanks after
  // it. The system's list of installed programs starts setup from its
  // entry's unquoted command, blanks in the folder and all.
  char own[MAX_PATH];
  if (!platform::OwnPath(own)) own[0] = '\0';
  const char* tail = SkipOwnPath(GetCommandLineA(), own, platform::IsAnsiLeadByte);
  while (*tail == ' ' || *tail == '\t') ++tail;
  ExitProcess(static_cast<UINT>(SetupMain(GetModuleHandleA(nullptr), tail)));
}
