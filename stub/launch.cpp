// Opening the "[shell]" items and the final command through the shell.
#include "stub.h"

#include <shellapi.h>

#include "folder_walk.h"
#include "tokens.h"

namespace {

// The programs started from "[shell]" (setup, typically): the run waits
// for their end before it deletes their folder. More than this many, and
// the rest is not waited for.
constexpr int kMaxShellPrograms = 32;
struct ShellProgram {
  HANDLE process;  // null once ended
  char name[MAX_PATH];
};
ShellProgram g_programs[kMaxShellPrograms];
int g_programCount;

// Opens `file` with its default verb. The process handle goes to
// `process` when asked for, and is closed otherwise.
bool ShellOpen(HWND window, const char* file, const char* folder, HANDLE* process = nullptr) {
  SHELLEXECUTEINFOA execute = {};
  execute.cbSize = sizeof execute;
  execute.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_CONNECTNETDRV | SEE_MASK_FLAG_DDEWAIT |
                  SEE_MASK_DOENVSUBST | SEE_MASK_FLAG_NO_UI;
  execute.hwnd = window;
  execute.lpFile = file;
  execute.lpDirectory = folder;
  execute.nShow = SW_SHOW;
  bool ok = ShellExecuteExA(&execute) != FALSE;
  if (process) *process = execute.hProcess;
  else if (execute.hProcess) CloseHandle(execute.hProcess);
  return ok;
}

// Splits `text` at its first '\\': `text` keeps what is before it, the
// result points after it (null when there is none).
char* SplitAtSlash(char* path) {
  char* slash = const_cast<char*>(text::FindFirst(path, '\\', platform::IsAnsiLeadByte));
  if (!slash) return nullptr;
  *slash = '\0';
  return slash + 1;
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
  return platform::JoinChecked(command, folder, remaining);
}

}  // namespace

bool RunShellItems(HWND window, const char* workspace) {
  char folder[MAX_PATH];
  if (!platform::JoinChecked(folder, workspace, tokens::kShell)) return false;
  bool started = false;
  platform::ForEachEntry(folder, [&](const WIN32_FIND_DATAA& entry, bool isFolder) {
    char file[MAX_PATH];
    HANDLE process = nullptr;
    if (isFolder || !platform::JoinChecked(file, folder, entry.cFileName) ||
        !ShellOpen(window, file, folder, &process))
      return;
    started = true;
    if (!process) return;
    // A document's viewer may be some long-running program that has
    // nothing to do with the run: only programs are waited for.
    if (tokens::IsShellProgram(entry.cFileName) && g_programCount < kMaxShellPrograms) {
      ShellProgram& program = g_programs[g_programCount++];
      program.process = process;
      lstrcpyA(program.name, entry.cFileName);
    } else {
      CloseHandle(process);
    }
  });
  return started;
}

const char* RunningShellProgram() {
  const char* running = nullptr;
  for (int i = 0; i < g_programCount; ++i) {
    ShellProgram& program = g_programs[i];
    if (program.process && WaitForSingleObject(program.process, 0) != WAIT_TIMEOUT) {
      CloseHandle(program.process);
      program.process = nullptr;
    }
    if (program.process && !running) running = program.name;
  }
  return running;
}

void ForgetShellPrograms() {
  for (int i = 0; i < g_programCount; ++i)
    if (g_programs[i].process) CloseHandle(g_programs[i].process);
  g_programCount = 0;
}

void RunFinalCommand(HWND window, char* command) {
  if (!command[0]) return;
  if (command[0] == '[' && !ResolveCommand(window, command)) return;
  // The command names one file or folder that must exist; anything with
  // arguments is no such path and opens nothing.
  if (platform::KindOf(command) == platform::PathKind::kNothing) return;
  char folder[MAX_PATH];
  platform::FolderPart(folder, command);
  platform::DropTrailingSlash(folder);
  ShellOpen(window, command, folder);
}
