// Paths of Setup.ini turned into paths of this machine: folder macros,
// full paths marked "!", paths relative to the installation folder, and in
// program mode the program that opens a document.
#include "setup.h"

#include <shellapi.h>

#include "paths.h"
#include "registry.h"
#include "setup/path_rules.h"

namespace {

// `base` followed directly by `rest` into `out` (MAX_PATH): such values
// carry their own separator. Empty when it would not fit, or when the
// system gave no folder: the rest alone would name the current drive's
// root.
void Concatenate(char* out, const char* base, const char* rest) {
  if (!base[0] || lstrlenA(base) + lstrlenA(rest) >= MAX_PATH) {
    out[0] = '\0';
    return;
  }
  lstrcpyA(out, base);
  lstrcatA(out, rest);
}

// `root` joined with `path` into `out` (MAX_PATH), as the fallback of
// every resolution. Empty unless the root is a full path: an empty or
// relative root would make the path one below the current folder or the
// current drive's root. A file to copy, delete or open (`below`) also
// stays below the root: a ".." part would reach what the description
// does not name.
void RootJoined(char* out, const char* root, const char* path, bool below) {
  if (!setup::IsFullPath(root, platform::IsAnsiLeadByte) || (below && !setup::StaysBelow(path, platform::IsAnsiLeadByte)) ||
      !text::CopyCut(out, MAX_PATH, root, platform::IsAnsiLeadByte))
    out[0] = '\0';
  else JoinPath(out, path);
}

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

}  // namespace

void ProgramFilesFolder(char* folder) {
  if (!platform::ReadProgramFilesFolder(folder) && !GetWindowsDirectoryA(folder, MAX_PATH)) folder[0] = '\0';
}

bool PathExists(const char* path) { return path[0] && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

void JoinPath(char* path, const char* name) {
  if (path) text::JoinPath(path, MAX_PATH, name, platform::IsAnsiLeadByte);
}

void ResolvePath(const char* path, const char* root, char* out, bool programMode) {
  char result[MAX_PATH], base[MAX_PATH];
  if (text::StartsWithNoCase(path, "%system%")) {
    if (!GetSystemDirectoryA(base, sizeof base)) base[0] = '\0';
    Concatenate(result, base, path + 8);
  } else if (text::StartsWithNoCase(path, "%windows%")) {
    if (!GetWindowsDirectoryA(base, sizeof base)) base[0] = '\0';
    Concatenate(result, base, path + 9);
  } else if (text::StartsWithNoCase(path, "%programs%")) {
    ProgramFilesFolder(base);
    Concatenate(result, base, path + 10);
  } else if (text::StartsWithNoCase(path, "%root%")) {
    RootJoined(result, root, path + 6, !programMode);
  } else if (path[0] == '!') {
    // A file is named by a full path; in program mode the rest is a
    // registry value's or a command's text, taken as written.
    lstrcpynA(result, path + 1, sizeof result);
    if (!programMode && !setup::FullPathRoot(result, platform::IsAnsiLeadByte)) result[0] = '\0';
  } else if (programMode) {
    char document[MAX_PATH], found[MAX_PATH];
    lstrcpynA(document, path, sizeof document);
    if (reinterpret_cast<INT_PTR>(FindExecutableA(document, root, found)) > 32 && PathExists(found)) {
      lstrcpyA(out, found);
      return;
    }
    // Neither found nor registered: the document's own path below the root.
    RootJoined(out, root, document, false);
    FindProgramForFile(document, root, out);
    return;
  } else {
    RootJoined(result, root, path, true);
  }
  lstrcpyA(out, result);
}

void FindProgramForFile(const char* path, const char* root, char* out) {
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
  else RootJoined(out, root, path, false);
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
