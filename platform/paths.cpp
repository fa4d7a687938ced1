#include "paths.h"

#include <shlobj.h>

namespace platform {

bool IsAnsiLeadByte(uint8_t byte) { return IsDBCSLeadByte(byte) != FALSE; }

bool JoinChecked(char* out, const char* folder, const char* name) {
  if (out != folder) {
    if (lstrlenA(folder) >= MAX_PATH) {
      out[0] = '\0';
      return false;
    }
    lstrcpyA(out, folder);
  }
  return text::JoinPath(out, MAX_PATH, name, IsAnsiLeadByte);
}

void FolderPart(char* out, const char* path) {
  text::PathParts parts = text::SplitPath(path, IsAnsiLeadByte);
  size_t length = parts.name < MAX_PATH ? parts.name : 0;
  lstrcpynA(out, path, static_cast<int>(length) + 1);
}

void DropTrailingSlash(char* path) {
  if (text::EndsWith(path, '\\', IsAnsiLeadByte)) path[lstrlenA(path) - 1] = '\0';
}

PathKind KindOf(const char* path) {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA(path, &entry);
  if (find == INVALID_HANDLE_VALUE) return PathKind::kNothing;
  FindClose(find);
  return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::kFolder : PathKind::kFile;
}

void ClearReadOnly(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY);
}

bool OwnPath(char* path) {
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return length != 0 && length < MAX_PATH;
}

bool ShellFolderPath(HWND owner, int csidl, char* folder) {
  LPITEMIDLIST item = nullptr;
  bool found = SUCCEEDED(SHGetSpecialFolderLocation(owner, csidl, &item)) && item && SHGetPathFromIDListA(item, folder);
  if (item) CoTaskMemFree(item);
  if (!found) folder[0] = '\0';
  return found;
}

}  // namespace platform
