// Where the token folders of the workspace go on this machine.
#include "stub.h"

#include <shlobj.h>

#include "folder_dialog.h"
#include "registry.h"
#include "setup/uninstall_command.h"
#include "tokens.h"

namespace {

// The folder the user picked for "[User]"; asked at most once per run.
char g_userFolder[MAX_PATH];

bool AskUserFolder(HWND owner, char* folder) {
  char current[MAX_PATH];
  if (!GetCurrentDirectoryA(sizeof current, current)) current[0] = '\0';
  return platform::BrowseForFolder(owner, "コピー先を指定してください", nullptr, current, folder);
}

// Cuts a file's path at its last '\\', leaving its folder. False when there
// is no folder part.
bool CutToFolder(char* path) {
  char* slash = const_cast<char*>(text::FindLast(path, '\\', platform::IsAnsiLeadByte));
  if (!slash) return false;
  *slash = '\0';
  return true;
}

// Cuts `text` at the first `c`, when there is one.
void CutAt(char* text, char c) {
  if (char* at = const_cast<char*>(text::FindFirst(text, c, platform::IsAnsiLeadByte))) *at = '\0';
}

bool HasTemporaryVariable() {
  return GetEnvironmentVariableA("TMP", nullptr, 0) || GetEnvironmentVariableA("TEMP", nullptr, 0);
}

// The shell folder (CSIDL) of each place, in the order of tokens::Place;
// -1 for the places found otherwise.
const signed char kShellFolders[] = {
    -1, -1, -1, CSIDL_DESKTOP, -1, CSIDL_PROGRAMS, CSIDL_STARTMENU, CSIDL_STARTUP, CSIDL_SENDTO, CSIDL_RECENT, -1,
};
static_assert(sizeof kShellFolders == static_cast<size_t>(tokens::Place::kTemporary) + 1, "one entry per place");

bool Resolve(HWND owner, tokens::Place place, char* folder) {
  int shellFolder = kShellFolders[static_cast<int>(place)];
  if (shellFolder >= 0) return platform::ShellFolderPath(owner, shellFolder, folder);
  UINT length;
  if (place == tokens::Place::kUser) {
    if (!g_userFolder[0] && !AskUserFolder(owner, g_userFolder)) return false;
    lstrcpyA(folder, g_userFolder);
    return true;
  }
  if (place == tokens::Place::kProgramFiles) return platform::ReadProgramFilesFolder(folder);
  if (place == tokens::Place::kTemporary) {
    if (!HasTemporaryVariable()) return false;
    length = GetTempPathA(MAX_PATH, folder);
  } else {
    length = (place == tokens::Place::kWindows ? GetWindowsDirectoryA : GetSystemDirectoryA)(folder, MAX_PATH);
  }
  return length != 0 && length < MAX_PATH;
}

// "Copy to app=<name>..." and the like, cut to the title buffer.
void FormatTitle(char* title, const char* format, const char* name) {
  if (!title) return;
  char cut[MAX_PATH];
  lstrcpynA(cut, name, sizeof cut);
  wsprintfA(title, format, cut);
}

}  // namespace

void ForgetUserFolder() { g_userFolder[0] = '\0'; }

int ResolveDestination(HWND owner, const char* token, char* folder, char* title) {
  const tokens::Destination* destination = tokens::FindDestination(token);
  char resolved[MAX_PATH];
  if (!destination || !Resolve(owner, destination->place, resolved)) return 0;
  lstrcpyA(folder, resolved);
  if (title) lstrcpyA(title, destination->title);
  return 1;
}

int ResolveEnvironmentFolder(const char* variable, char* folder, char* title) {
  DWORD size = GetEnvironmentVariableA(variable, nullptr, 0);
  if (size == 0) return 0;
  char* value = static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size + 1));
  if (!value) return 0;
  int resolved = 0;
  if (GetEnvironmentVariableA(variable, value, size + 1) != 0) {
    // A list of folders stands for its first element.
    CutAt(value, ';');
    platform::PathKind kind = lstrlenA(value) < MAX_PATH ? platform::KindOf(value) : platform::PathKind::kNothing;
    if (kind == platform::PathKind::kFile && !CutToFolder(value)) kind = platform::PathKind::kNothing;
    if (kind != platform::PathKind::kNothing && value[0]) {
      lstrcpyA(folder, value);
      FormatTitle(title, "Copy to env=%s...", variable);
      resolved = 1;
    }
  }
  HeapFree(GetProcessHeap(), 0, value);
  return resolved;
}

int ResolveApplicationFolder(const char* name, char* folder, char* title) {
  char command[MAX_PATH];
  int resolved = 0;
  if (platform::ReadUninstallString(name, command)) {
    setup::CutToCommandProgram(
        command, [](const char* path) { return platform::KindOf(path) != platform::PathKind::kNothing; },
        platform::IsAnsiLeadByte);
    platform::PathKind kind = platform::KindOf(command);
    if (kind == platform::PathKind::kFile && !CutToFolder(command)) kind = platform::PathKind::kNothing;
    if (kind != platform::PathKind::kNothing && command[0]) {
      lstrcpyA(folder, command);
      FormatTitle(title, "Copy to app=%s...", name);
      resolved = 1;
    }
  }
  return resolved;
}
