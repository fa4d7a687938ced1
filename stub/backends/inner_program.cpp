// stub-exe: the archive is itself a self-extracting program, run hidden in
// the workspace with -n. The stub cannot know what that program is, only
// that it shows a top-level window while it works; so it waits for one to
// appear and then for all of them to go.
#include "../stub.h"

const char kArchiveName[] = "\\$.exe";
const char kUnpackSuffix[] = "\n\nSelf-extracting program";
// The inner program is given a moment after its file has been written.
const DWORD kPauseBeforeUnpack = 2000;

bool BackendStartupCheck() { return true; }

namespace {

constexpr int kAppearancePolls = 52;  // about 10 s with the pauses
constexpr int kDeleteAttempts = 52;
constexpr DWORD kPollPauseMs = 200;
// The inner program runs at realtime priority (a process without that
// right is given high priority), in a VDM of its own should it be a
// 16-bit program, and shows the busy cursor while it starts.
constexpr DWORD kCreationFlags = REALTIME_PRIORITY_CLASS | CREATE_SEPARATE_WOW_VDM;
constexpr DWORD kStartFlags = STARTF_USESHOWWINDOW | STARTF_FORCEONFEEDBACK;

struct Poll {
  DWORD processId;
  bool seen;
};

BOOL CALLBACK CheckWindow(HWND window, LPARAM context) {
  Poll* poll = reinterpret_cast<Poll*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != poll->processId) return TRUE;
  poll->seen = true;
  return FALSE;
}

// Hidden windows count too: the program was started hidden.
bool HasTopLevelWindow(DWORD processId) {
  Poll poll = {processId, false};
  EnumWindows(CheckWindow, reinterpret_cast<LPARAM>(&poll));
  return poll.seen;
}

}  // namespace

void UnpackArchive(HWND, const char* workspace) {
  char program[MAX_PATH + 16];
  char command[MAX_PATH + 16];
  if (lstrlenA(workspace) + lstrlenA(kArchiveName) >= MAX_PATH) return;
  lstrcpyA(program, workspace);
  lstrcatA(program, kArchiveName);
  wsprintfA(command, "\"%s\" -n", program);

  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = kStartFlags;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION started;
  if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, kCreationFlags, nullptr, workspace, &startup,
                      &started))
    return;

  // A quick program may be done before the first poll finds its window;
  // once it has ended no window can come, and waiting on would cost ten
  // seconds for nothing.
  bool seen = false;
  for (int poll = 0; poll < kAppearancePolls && !seen; ++poll) {
    seen = HasTopLevelWindow(started.dwProcessId);
    if (!seen && WaitForSingleObject(started.hProcess, kPollPauseMs) != WAIT_TIMEOUT) break;
  }
  // Once seen, the windows decide. A program that ended has none left,
  // even when its id has been given to another process since.
  while (seen && WaitForSingleObject(started.hProcess, 0) == WAIT_TIMEOUT &&
         HasTopLevelWindow(started.dwProcessId))
    Sleep(kPollPauseMs);

  for (int attempt = 0; attempt < kDeleteAttempts && !DeleteFileA(program); ++attempt) Sleep(kPollPauseMs);
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
}
