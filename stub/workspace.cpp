// The workspace folder: its name, its counts and its removal.
#include "find_entries.h"

namespace {

// True when the last character (not a trail byte of a double-byte one) is '\\'.
bool EndsWithSlash(const char* path) {
  int length = lstrlenA(path);
  return length != 0 && *CharPrevA(path, path + length) == '\\';
}

}  // namespace

bool JoinChecked(char* out, const char* folder, const char* name) {
  int folderLength = lstrlenA(folder), nameLength = lstrlenA(name);
  int slash = folderLength != 0 && !EndsWithSlash(folder) ? 1 : 0;
  if (folderLength + slash + nameLength >= MAX_PATH) return false;
  lstrcpyA(out, folder);
  if (slash) out[folderLength] = '\\';
  lstrcpyA(out + folderLength + slash, name);
  return true;
}

void FolderPart(char* out, const char* path) {
  const char* end = path;  // just past the last separator
  for (const char* p = path; *p; p = CharNextA(p))
    if (*p == '\\' || *p == ':') end = p + 1;
  int length = static_cast<int>(end - path);
  if (length >= MAX_PATH) length = 0;
  lstrcpynA(out, path, length + 1);
}

void DropTrailingSlash(char* path) {
  if (EndsWithSlash(path)) path[lstrlenA(path) - 1] = '\0';
}

bool MakeWorkspaceName(char* buffer, DWORD size) {
  char folder[MAX_PATH];
  DWORD length;
  if (GetEnvironmentVariableA("TMP", nullptr, 0) || GetEnvironmentVariableA("TEMP", nullptr, 0))
    length = GetTempPathA(sizeof folder, folder);
  else
    length = GetWindowsDirectoryA(folder, sizeof folder);
  buffer[0] = '\0';
  if (length == 0 || length >= sizeof folder || size < MAX_PATH) return false;
  // GetTempFileNameA creates the file to reserve the name; only the name
  // (without its extension) is kept, the folder is made later.
  if (!GetTempFileNameA(folder, "$JPK", 0, buffer)) {
    buffer[0] = '\0';
    return false;
  }
  DeleteFileA(buffer);
  char* extension = nullptr;
  for (char* p = buffer; *p; p = CharNextA(p)) {
    if (*p == '\\') extension = nullptr;
    else if (*p == '.') extension = p;
  }
  if (extension) *extension = '\0';
  return true;
}


void CountTree(const char* folder, int depth, DWORD* fileCount, DWORD* byteCount) {
  ForEachEntry(folder, [&](const WIN32_FIND_DATAA& entry, bool isFolder) {
    if (isFolder) {
      char child[MAX_PATH];
      if (entry.cFileName[0] == '.' || !JoinChecked(child, folder, entry.cFileName)) return;
      DWORD files = 0, bytes = 0;
      CountTree(child, depth + 1, &files, &bytes);
      *fileCount += files;
      *byteCount += bytes;
    } else if (depth != 0) {
      *fileCount += 1;
      *byteCount += entry.nFileSizeLow;
    }
  });
}

void DeleteTree(const char* folder) {
  if (!folder[0]) return;  // never the root of the current drive
  ForEachEntry(folder, [&](const WIN32_FIND_DATAA& entry, bool isFolder) {
    char child[MAX_PATH];
    if (!JoinChecked(child, folder, entry.cFileName)) return;
    if (!isFolder) DeleteFileA(child);
    else if (entry.cFileName[0] != '.') DeleteTree(child);
  });
  RemoveDirectoryA(folder);
}
