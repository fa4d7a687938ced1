// Paths of Setup.ini turned into paths of this machine: folder macros,
// full paths marked "!", paths relative to the installation folder, and in
// program mode the program that opens a document.
#include "setup.h"

#include <shellapi.h>

#include "paths.h"
#include "registry.h"
#include "setup/resolve_path.h"

namespace {

// The program of a command as the registry holds it: a quoted program, or
// the longest start of the command that names an existing file. (A start
// that names a folder, down to the drive's root, is no program; blanks
// before an argument are no part of the name, though the file system
// would overlook them.)
bool ProgramOfCommand(char* command) {
  if (command[0] == '"') {
    char* end = const_cast<char*>(text::FindFirst(command + 1, '"', platform::IsAnsiLeadByte));
    if (end) *end = '\0';
    for (char* to = command; (*to = to[1]) != '\0'; ++to) {
    }
    return true;
  }
  for (int length = lstrlenA(command); length > 0; --length) {
    command[length] = '\0';
    if (command[length - 1] != ' ' && platform::KindOf(command) == platform::PathKind::kFile) return true;
  }
  return false;
}

// The program registered for the path's extension; `out` keeps what it
// held (the fallback) when none is.
void FindProgramForFile(const char* path, char* out) {
  text::PathParts parts = text::SplitPath(path, platform::IsAnsiLeadByte);
  if (parts.extension == parts.end) return;  // no extension: the classes root itself would open
  HKEY extension;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path + parts.extension, 0, KEY_QUERY_VALUE, &extension) != ERROR_SUCCESS)
    return;
  char kind[MAX_PATH], command[MAX_PATH];
  bool found = platform::ReadRegistryString(extension, nullptr, kind, sizeof kind);
  RegCloseKey(extension);
  if (found) {
    JoinPath(kind, "shell\\open\\command");
    found = kind[0] && platform::ReadRegistryString(HKEY_CLASSES_ROOT, kind, nullptr, command, sizeof command) &&
            ProgramOfCommand(command);
  }
  if (found) lstrcpyA(out, command);
}

}  // namespace

const setup::MachineFolders& MachineFolders() {
  static char system[MAX_PATH], windows[MAX_PATH], programs[MAX_PATH];
  static setup::MachineFolders folders;
  if (!folders.system) {
    if (!GetSystemDirectoryA(system, sizeof system)) system[0] = '\0';
    if (!GetWindowsDirectoryA(windows, sizeof windows)) windows[0] = '\0';
    // "Program Files", or the Windows folder when the system names none.
    if (!platform::ReadProgramFilesFolder(programs)) lstrcpyA(programs, windows);
    // Member by member: an aggregate would be copied from a template in a
    // data section of its own, 512 bytes more of file.
    folders.windows = windows;
    folders.programs = programs;
    folders.system = system;
  }
  return folders;
}

bool PathExists(const char* path) { return path[0] && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

void JoinPath(char* path, const char* name) {
  if (path) text::JoinPath(path, MAX_PATH, name, platform::IsAnsiLeadByte);
}

void ResolvePath(const char* path, const char* root, char* out, bool programMode) {
  // A document stands for the program that opens it: the system's own
  // lookup first, then the registry's, then the document's own path.
  bool lookUp = programMode && setup::SplitPathMacro(path).rest == 0;
  char document[MAX_PATH], found[MAX_PATH];
  if (lookUp) {
    lstrcpynA(document, path, sizeof document);
    if (reinterpret_cast<INT_PTR>(FindExecutableA(document, root, found)) > 32 && PathExists(found)) {
      lstrcpyA(out, found);
      return;
    }
  }
  setup::ResolvePath(found, sizeof found, path, root, MachineFolders(), programMode, platform::IsAnsiLeadByte);
  if (lookUp) FindProgramForFile(document, found);
  lstrcpyA(out, found);
}

void ShellDelete(const char* path) {
  // Never the current folder that an empty list would stand for.
  if (!path[0]) return;
  char list[MAX_PATH + 1] = {};  // the list ends with a second NUL
  lstrcpynA(list, path, MAX_PATH);
  SHFILEOPSTRUCTA operation = {};
  operation.wFunc = FO_DELETE;
  operation.pFrom = list;
  operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO;
  SHFileOperationA(&operation);
}

bool ReadShellFolder(const char* name, char* folder) {
  return platform::ReadRegistryString(HKEY_CURRENT_USER,
                                      "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", name,
                                      folder, MAX_PATH);
}
