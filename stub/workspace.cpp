// The workspace folder: its name, its counts and its removal.
#include "stub.h"

#include "folder_walk.h"

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
  buffer[text::SplitPath(buffer, platform::IsAnsiLeadByte).extension] = '\0';
  return true;
}

void CountTree(const char* folder, int depth, DWORD* fileCount, DWORD* byteCount) {
  platform::ForEachEntry(folder, [&](const WIN32_FIND_DATAA& entry, bool isFolder) {
    if (isFolder) {
      char child[MAX_PATH];
      if (entry.cFileName[0] == '.' || !platform::JoinChecked(child, folder, entry.cFileName)) return;
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
  platform::ForEachEntry(folder, [&](const WIN32_FIND_DATAA& entry, bool isFolder) {
    char child[MAX_PATH];
    if (!platform::JoinChecked(child, folder, entry.cFileName)) return;
    if (!isFolder) DeleteFileA(child);
    else if (entry.cFileName[0] != '.') DeleteTree(child);
  });
  RemoveDirectoryA(folder);
}
