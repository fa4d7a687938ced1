// The progress window and the timer-driven run: one state per tick.
#include "stub.h"

#include <shellapi.h>

#include "progress_text.h"

Stub g_stub;

namespace {

constexpr UINT_PTR kTimer = 1;
constexpr UINT kTickMs = 500;

void SetText(HWND window, const char* text) { SetDlgItemTextA(window, IDC_PROGRESS_TEXT, text); }

void ShowButtons(HWND window, int show) {
  ShowWindow(GetDlgItem(window, IDC_OK), show);
  ShowWindow(GetDlgItem(window, IDC_CANCEL), show);
}

// The file name without folder and extension.
void BaseName(char* out, const char* path) {
  text::PathParts parts = text::SplitPath(path, platform::IsAnsiLeadByte);
  size_t length = parts.extension - parts.name;
  lstrcpynA(out, path + parts.name, static_cast<int>(length < MAX_PATH ? length : MAX_PATH - 1) + 1);
}

void SetUpWindow(HWND window) {
  RECT own, desktop;
  GetWindowRect(window, &own);
  GetWindowRect(GetDesktopWindow(), &desktop);
  int width = own.right - own.left, height = own.bottom - own.top;
  MoveWindow(window, (desktop.right - width) / 2, (desktop.bottom - height) / 2, width, height, FALSE);
  ShowWindow(window, SW_SHOW);

  GetModuleFileNameA(nullptr, g_stub.ownPath, sizeof g_stub.ownPath);
  char title[MAX_PATH];
  BaseName(title, g_stub.ownPath);
  SetWindowTextA(window, title);

  // A built file shows the icon of its own first icon group.
  HICON icon = nullptr;
  if (ExtractIconExA(g_stub.ownPath, 0, &icon, nullptr, 1) != 0 && icon)
    SetClassLongA(window, GCL_HICON, reinterpret_cast<LONG>(icon));

  g_stub.state = kMakeWorkspace;
  g_stub.selfRemoval = 0;
  g_stub.finalCommand[0] = '\0';
  ForgetUserFolder();
}

// A folder of that name may be left from an earlier run, whose content
// would then be distributed with this one's: the workspace must be new.
// After the name, "<name>-1" to "<name>-9" are tried.
constexpr int kWorkspaceTries = 10;

// "Making folder\n\"<workspace>\"\nas workspace..."
void MakeWorkspace(HWND window) {
  char name[MAX_PATH];
  lstrcpyA(name, g_stub.workspace);
  bool made = false;
  for (int i = 0; i < kWorkspaceTries && !made && name[0] && lstrlenA(name) + 3 < MAX_PATH; ++i) {
    if (i) wsprintfA(g_stub.workspace, "%s-%d", name, i);
    made = CreateDirectoryA(g_stub.workspace, nullptr) != FALSE;
  }
  char text[MAX_PATH + 64];
  wsprintfA(text, "Making folder\n\"%s\"\nas workspace...", made ? g_stub.workspace : name);
  SetText(window, text);
  // Without a workspace of its own the run stops in the next step.
  if (!made) g_stub.workspace[0] = '\0';
  g_stub.state = kSplitArchive;
}

void SplitArchive(HWND window) {
  SetText(window, "Dividing data...\nfrom me.");
  char archive[MAX_PATH];
  // Without a workspace (no name, or no new folder of that name) the
  // archive would land in the root of the drive or among old files: such
  // a run stops here.
  bool ok = g_stub.workspace[0] && lstrlenA(g_stub.workspace) + lstrlenA(kArchiveName) < MAX_PATH;
  if (ok) {
    lstrcpyA(archive, g_stub.workspace);
    lstrcatA(archive, kArchiveName);
    ok = SplitPayload(archive, g_stub.ownPath, &g_stub.selfRemoval, g_stub.finalCommand) != 0;
  }
  g_stub.state = ok ? kUnpack : kFinish;
}

void Unpack(HWND window) {
  char text[64];
  lstrcpyA(text, "Extracting...");
  lstrcatA(text, kUnpackSuffix);
  SetText(window, text);
  if (kPauseBeforeUnpack) Sleep(kPauseBeforeUnpack);
  UnpackArchive(window, g_stub.workspace);
  g_stub.state = kRunShell;
}

// Returns false when the run waits for OK or Cancel.
bool RunShell(HWND window) {
  g_stub.state = kDistribute;
  if (!RunShellItems(window, g_stub.workspace)) return true;
  SetText(window, "Push \"OK\".\nIf you are all set...\n\nor \"Cancel\" to run away.");
  ShowButtons(window, SW_SHOW);
  SetFocus(GetDlgItem(window, IDC_OK));
  return false;
}

// OK or Cancel while a program started from "[shell]" still runs: its
// folder, which both delete, must stay until it has ended (setup records
// into its Setup.ini there). The timer keeps ticking meanwhile.
bool WaitingForShellPrograms(HWND window) {
  const char* running = RunningShellProgram();
  if (!running) return false;
  char text[MAX_PATH + 32];
  wsprintfA(text, "Waiting for\n%s\nto end...", running);
  SetText(window, text);
  return true;
}

void Distribute(HWND window) {
  DWORD files = 0, bytes = 0;
  CountTree(g_stub.workspace, 0, &files, &bytes);
  char text[progress::kCountTextSize];
  progress::TransportText(text, files, bytes);
  SetText(window, text);
  DistributeWorkspace(window, g_stub.workspace);
  g_stub.state = kDeleteWorkspace;
}

void DeleteWorkspace(HWND window) {
  DWORD files = 0, bytes = 0;
  CountTree(g_stub.workspace, 0, &files, &bytes);
  char text[progress::kCountTextSize];
  progress::LeftoverText(text, files, bytes);
  SetText(window, text);
  if (files != 0 || bytes != 0) Sleep(3000);
  DeleteTree(g_stub.workspace);
  g_stub.state = kFinish;
}

void Finish(HWND window) {
  RunFinalCommand(window, g_stub.finalCommand);
  PostQuitMessage(0);
}

}  // namespace

void Tick(HWND window) {
  KillTimer(window, kTimer);
  switch (g_stub.state) {
    case kMakeWorkspace: MakeWorkspace(window); break;
    case kSplitArchive: SplitArchive(window); break;
    case kUnpack: Unpack(window); break;
    case kRunShell:
      if (!RunShell(window)) return;  // waits for a button
      break;
    case kDistribute:
      if (!WaitingForShellPrograms(window)) Distribute(window);
      break;
    case kDeleteWorkspace:
      if (!WaitingForShellPrograms(window)) DeleteWorkspace(window);
      break;
    default: Finish(window); return;
  }
  SetTimer(window, kTimer, kTickMs, nullptr);
}

INT_PTR CALLBACK ProgressDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SetUpWindow(window);
      SetTimer(window, kTimer, 0, nullptr);
      break;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_CANCEL) {
        // Nothing is distributed and nothing runs at the end, but the
        // workspace still goes.
        g_stub.state = kDeleteWorkspace;
        g_stub.finalCommand[0] = '\0';
      } else if (LOWORD(wParam) != IDC_OK) {
        break;
      }
      ShowButtons(window, SW_HIDE);
      SetTimer(window, kTimer, 0, nullptr);
      break;
    case WM_TIMER:
      if (wParam == kTimer) Tick(window);
      break;
    case WM_CLOSE:
      PostQuitMessage(0);
      break;
  }
  return 0;
}
