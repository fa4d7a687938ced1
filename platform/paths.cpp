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

bool ClearReadOnly(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY)) return true;
  return SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY) != FALSE;
}

PathKind KindOf(const char* path) {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA(path, &entry);
  if (find == INVALID_HANDLE_VALUE) return PathKind::kNothing;
  FindClose(find);
  return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::kFolder : PathKind::kFile;
}

bool CanonicalPath(const char* path, char* out) {
  out[0] = '\0';
  if (!path[0] || text::FindFirst(path, '*', IsAnsiLeadByte) || text::FindFirst(path, '?', IsAnsiLeadByte)) return false;
  char full[MAX_PATH], *name;
  DWORD length = GetFullPathNameA(path, MAX_PATH, full, &name);
  if (length == 0 || length >= MAX_PATH) return false;
  // Part by part, each one that exists under its long name; the rest as
  // it stands once a part is missing.
  size_t root = text::SplitPath(full, IsAnsiLeadByte).folder;  // the drive, "C:"
  if (full[0] == '\\' && full[1] == '\\') {
    // "\\server\share": the server and the share are no folders.
    const char* share = text::FindFirst(full + 2, '\\', IsAnsiLeadByte);
    const char* end = share ? text::FindFirst(share + 1, '\\', IsAnsiLeadByte) : nullptr;
    root = end ? static_cast<size_t>(end - full) : static_cast<size_t>(lstrlenA(full));
  }
  lstrcpynA(out, full, static_cast<int>(root) + 1);
  bool found = true;
  for (const char* p = full + root; *p;) {
    while (*p == '\\') ++p;
    if (!*p) break;
    const char* end = text::FindFirst(p, '\\', IsAnsiLeadByte);
    size_t partLength = end ? static_cast<size_t>(end - p) : static_cast<size_t>(lstrlenA(p));
    size_t at = static_cast<size_t>(lstrlenA(out));
    if (at + 1 + partLength >= MAX_PATH) {
      out[0] = '\0';
      return false;
    }
    out[at] = '\\';
    lstrcpynA(out + at + 1, p, static_cast<int>(partLength) + 1);
    WIN32_FIND_DATAA entry;
    HANDLE find = found ? FindFirstFileA(out, &entry) : INVALID_HANDLE_VALUE;
    if (find != INVALID_HANDLE_VALUE) {
      FindClose(find);
      out[at + 1] = '\0';
      if (!text::JoinPath(out, MAX_PATH, entry.cFileName, IsAnsiLeadByte)) return false;
    } else {
      found = false;
    }
    p += partLength;
  }
  if (!out[root]) lstrcatA(out, "\\");  // a drive's root keeps its backslash
  return true;
}

namespace {

// Whether canonical `path` starts with canonical `folder` and goes on with
// a separator or ends there.
bool StartsWithFolder(const char* path, const char* folder) {
  int length = lstrlenA(folder);
  if (lstrlenA(path) < length ||
      CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, path, length, folder, length) != CSTR_EQUAL)
    return false;
  return path[length] == '\0' || path[length] == '\\' || text::EndsWith(folder, '\\', IsAnsiLeadByte);
}

}  // namespace

bool IsSameOrBelow(const char* path, const char* folder) {
  char a[MAX_PATH], b[MAX_PATH];
  return CanonicalPath(path, a) && CanonicalPath(folder, b) && StartsWithFolder(a, b);
}

bool SamePath(const char* a, const char* b) {
  char x[MAX_PATH], y[MAX_PATH];
  return CanonicalPath(a, x) && CanonicalPath(b, y) &&
         CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, x, -1, y, -1) == CSTR_EQUAL;
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
