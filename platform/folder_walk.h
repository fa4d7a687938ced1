// Walking the entries of one folder.
#ifndef SFX_STUB_FIND_ENTRIES_H
#define SFX_STUB_FIND_ENTRIES_H

#include "stub.h"

// Calls `visit(entry, isFolder)` for every entry of `folder` but "." and
// "..". A folder whose pattern would not fit a path buffer has no entries.
template <typename Visit>
void ForEachEntry(const char* folder, Visit visit) {
  char pattern[MAX_PATH];
  if (!JoinChecked(pattern, folder, "*.*")) return;
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA(pattern, &entry);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (isFolder && (lstrcmpA(entry.cFileName, ".") == 0 || lstrcmpA(entry.cFileName, "..") == 0)) continue;
    visit(entry, isFolder);
  } while (FindNextFileA(find, &entry));
  FindClose(find);
}

#endif  // SFX_STUB_FIND_ENTRIES_H
