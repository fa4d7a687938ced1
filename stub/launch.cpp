// Opening the "[shell]" items and the final command through the shell.
#include "stub.h"

#include <shellapi.h>

namespace {

// Opens `file` with its default verb. The process handle is not needed and
// is closed at once.
bool ShellOpen(HWND window, const char* file, const char* folder) {
  SHELLEXECUTEINFOA execute = {};
  execute.cbSize = sizeof execute;
  execute.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_CONNECTNETDRV | SEE_MASK_FLAG_DDEWAIT |
                  SEE_MASK_DOENVSUBST | SEE_MASK_FLAG_NO_UI;
  execute.hwnd = window;
  execute.lpFile = file;
  execute.lpDirectory = folder;
  execute.nShow = SW_SHOW;
  bool ok = ShellExecuteExA(&execute) != FALSE;
  if (execute.hProcess) CloseHandle(execute.hProcess);
  return ok;
}

// Splits `text` at its first '\\': `text` keeps what is before it, the
// result points after it (null when there is none).
char* SplitAtSlash(char* text) {
  for (char* p = text; *p; p = CharNextA(p))
    if (*p == '\\') {
      *p = '\0';
      return p + 1;
    }
  return nullptr;
}

// Turns a command that starts with a token into a path. False when the
// token does not resolve.
bool ResolveCommand(HWND window, char* command) {
  char token[MAX_PATH];
  lstrcpynA(token, command, sizeof token);
  char* rest = SplitAtSlash(token);
  char folder[MAX_PATH];
  const char* remaining = rest;
  int resolved;
  if (rest && lstrcmpiA(token, "[Application]") == 0) {
    remaining = SplitAtSlash(rest);
    resolved = ResolveApplicationFolder(rest, folder, nullptr);
  } else if (rest && lstrcmpiA(token, "[Environment]") == 0) {
    remaining = SplitAtSlash(rest);
    resolved = ResolveEnvironmentFolder(rest, folder, nullptr);
  } else {
    resolved = ResolveDestination(window, token, folder, nullptr);
  }
  if (!resolved) return false;
  if (!remaining || !*remaining) {
    lstrcpyA(command, folder);
    return true;
  }
  return JoinChecked(command, folder, remaining);
}

}  // namespace

int RunShellItems(HWND window, const char* workspace) {
  char folder[MAX_PATH], pattern[MAX_PATH];
  if (!JoinChecked(folder, workspace, "[shell]\\") || !JoinChecked(pattern, folder, "*.*")) return 0;
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA(pattern, &entry);
  if (find == INVALID_HANDLE_VALUE) return 0;
  int started = 0;
  do {
    char file[MAX_PATH];
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    if (JoinChecked(file, folder, entry.cFileName) && ShellOpen(window, file, folder)) started = 1;
  } while (FindNextFileA(find, &entry));
  FindClose(find);
  return started;
}

void RunFinalCommand(HWND window, char* command) {
  if (!command[0]) return;
  if (command[0] == '[' && !ResolveCommand(window, command)) return;
  // The command names one file or folder that must exist; anything with
  // arguments is no such path and opens nothing.
  if (PathKind(command) == 0) return;
  char folder[MAX_PATH];
  FolderPart(folder, command);
  DropTrailingSlash(folder);
  ShellOpen(window, command, folder);
}
