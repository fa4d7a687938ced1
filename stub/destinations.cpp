// Where the token folders of the workspace go on this machine.
#include "stub.h"

#include <shlobj.h>

namespace {

// The folder the user picked for "[User]"; asked at most once per run.
char g_userFolder[MAX_PATH];

enum Source { kUser, kWindows, kSystem, kShellFolder, kProgramFiles, kTemporary };

struct Destination {
  const char* token;
  Source source;
  int shellFolder;  // CSIDL number for kShellFolder
  const char* title;
};

// Tested in this order, ignoring case.
const Destination kDestinations[] = {
    {"[User]", kUser, 0, "Copy to selected by user..."},
    {"[Windows]", kWindows, 0, "Copy to windows..."},
    {"[System]", kSystem, 0, "Copy to system..."},
    {"[Desktop]", kShellFolder, CSIDL_DESKTOP, "Copy to desktop..."},
    {"[Programs]", kProgramFiles, 0, "Copy to program files..."},
    {"[ProgramMenu]", kShellFolder, CSIDL_PROGRAMS, "Copy to program menu files..."},
    {"[Menu]", kShellFolder, CSIDL_STARTMENU, "Copy to menu..."},
    {"[Startup]", kShellFolder, CSIDL_STARTUP, "Copy to startup..."},
    {"[SendTo]", kShellFolder, CSIDL_SENDTO, "Copy to send to..."},
    {"[Recent]", kShellFolder, CSIDL_RECENT, "Copy to recent..."},
    {"[Temporary]", kTemporary, 0, "Copy to temporary..."},
};

bool ShellFolder(HWND owner, int number, char* folder) {
  LPITEMIDLIST item = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(owner, number, &item)) || !item) return false;
  bool ok = SHGetPathFromIDListA(item, folder) != FALSE;
  CoTaskMemFree(item);
  return ok;
}

bool ProgramFilesFolder(char* folder) {
  folder[0] = '\0';
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return false;
  DWORD type = 0, size = MAX_PATH - 1;  // room for a NUL the value may lack
  if (RegQueryValueExA(key, "ProgramFilesDir", nullptr, &type, reinterpret_cast<BYTE*>(folder), &size) !=
          ERROR_SUCCESS || type != REG_SZ)
    folder[0] = '\0';
  else
    folder[size] = '\0';
  RegCloseKey(key);
  return folder[0] != '\0';
}

// Preselects the current folder when the dialog opens.
int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM, LPARAM data) {
  if (message == BFFM_INITIALIZED) SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, data);
  return 0;
}

bool AskUserFolder(HWND owner, char* folder) {
  char current[MAX_PATH];
  if (!GetCurrentDirectoryA(sizeof current, current)) current[0] = '\0';
  BROWSEINFOA browse = {};
  browse.hwndOwner = owner;
  browse.lpszTitle = "コピー先を指定してください";
  browse.ulFlags = BIF_RETURNONLYFSDIRS;
  browse.lpfn = BrowseCallback;
  browse.lParam = reinterpret_cast<LPARAM>(current);
  LPITEMIDLIST item = SHBrowseForFolderA(&browse);
  if (!item) return false;
  bool ok = SHGetPathFromIDListA(item, folder) != FALSE && folder[0] != '\0';
  CoTaskMemFree(item);
  return ok;
}

// Cuts a file's path at its last '\\', leaving its folder. False when there
// is no folder part.
bool CutToFolder(char* path) {
  char* slash = nullptr;
  for (char* p = path; *p; p = CharNextA(p))
    if (*p == '\\') slash = p;
  if (!slash) return false;
  *slash = '\0';
  return true;
}

bool HasTemporaryVariable() {
  return GetEnvironmentVariableA("TMP", nullptr, 0) || GetEnvironmentVariableA("TEMP", nullptr, 0);
}

bool Resolve(HWND owner, const Destination& destination, char* folder) {
  switch (destination.source) {
    case kUser:
      if (!g_userFolder[0] && !AskUserFolder(owner, g_userFolder)) return false;
      lstrcpyA(folder, g_userFolder);
      return true;
    case kWindows: {
      UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
      return length != 0 && length < MAX_PATH;
    }
    case kSystem: {
      UINT length = GetSystemDirectoryA(folder, MAX_PATH);
      return length != 0 && length < MAX_PATH;
    }
    case kShellFolder:
      return ShellFolder(owner, destination.shellFolder, folder);
    case kProgramFiles:
      return ProgramFilesFolder(folder);
    case kTemporary: {
      if (!HasTemporaryVariable()) return false;
      DWORD length = GetTempPathA(MAX_PATH, folder);
      return length != 0 && length < MAX_PATH;
    }
  }
  return false;
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

int PathKind(const char* path) {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA(path, &entry);
  if (find == INVALID_HANDLE_VALUE) return 0;
  FindClose(find);
  return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 2;
}

int ResolveDestination(HWND owner, const char* token, char* folder, char* title) {
  for (const Destination& destination : kDestinations) {
    if (lstrcmpiA(token, destination.token) != 0) continue;
    char resolved[MAX_PATH];
    if (!Resolve(owner, destination, resolved)) return 0;
    lstrcpyA(folder, resolved);
    if (title) lstrcpyA(title, destination.title);
    return 1;
  }
  return 0;
}

int ResolveEnvironmentFolder(const char* variable, char* folder, char* title) {
  DWORD size = GetEnvironmentVariableA(variable, nullptr, 0);
  if (size == 0) return 0;
  char* value = static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size + 1));
  if (!value) return 0;
  int resolved = 0;
  if (GetEnvironmentVariableA(variable, value, size + 1) != 0) {
    // A list of folders stands for its first element.
    for (char* p = value; *p; p = CharNextA(p))
      if (*p == ';') {
        *p = '\0';
        break;
      }
    int kind = lstrlenA(value) < MAX_PATH ? PathKind(value) : 0;
    if (kind == 2 && !CutToFolder(value)) kind = 0;
    if (kind != 0 && value[0]) {
      lstrcpyA(folder, value);
      FormatTitle(title, "Copy to env=%s...", variable);
      resolved = 1;
    }
  }
  HeapFree(GetProcessHeap(), 0, value);
  return resolved;
}

int ResolveApplicationFolder(const char* name, char* folder, char* title) {
  HKEY uninstall, application;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0,
                    KEY_CREATE_SUB_KEY, &uninstall) != ERROR_SUCCESS)
    return 0;
  // Opens the application's key, or leaves an empty one behind when there
  // is none: an application that is not installed yet resolves nowhere.
  if (RegCreateKeyExA(uninstall, name, 0, nullptr, 0, KEY_READ, nullptr, &application, nullptr) !=
      ERROR_SUCCESS) {
    RegCloseKey(uninstall);
    return 0;
  }
  char text[MAX_PATH];
  DWORD type = 0, size = sizeof text - 1;
  int resolved = 0;
  if (RegQueryValueExA(application, "UninstallString", nullptr, &type, reinterpret_cast<BYTE*>(text), &size) ==
          ERROR_SUCCESS && type == REG_SZ) {
    text[size] = '\0';
    if (text[0] == '"') {
      // A quoted program path ends at its closing quote; whatever follows
      // are arguments. (Dropping words first would cut a quoted path that
      // holds blanks.)
      char* p = text + 1;
      while (*p && *p != '"') p = CharNextA(p);
      *p = '\0';
      for (char* to = text; (*to = to[1]) != '\0'; ++to) {
      }
    } else {
      // Drop trailing arguments one word at a time until a path remains.
      while (PathKind(text) == 0) {
        char* blank = nullptr;
        for (char* p = text; *p; p = CharNextA(p))
          if (*p == ' ') blank = p;
        if (!blank) break;
        *blank = '\0';
      }
    }
    int kind = PathKind(text);
    if (kind == 2 && !CutToFolder(text)) kind = 0;
    if (kind != 0 && text[0]) {
      lstrcpyA(folder, text);
      FormatTitle(title, "Copy to app=%s...", name);
      resolved = 1;
    }
  }
  RegFlushKey(application);
  RegCloseKey(application);
  RegFlushKey(uninstall);
  RegCloseKey(uninstall);
  return resolved;
}
