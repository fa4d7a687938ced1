#include "folder_walk.h"

#include "paths.h"

namespace platform {

void ForEachEntry(const char* folder, EntryVisitor visit, void* context) {
  char pattern[MAX_PATH];
  if (!JoinChecked(pattern, folder, "*.*")) return;
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA(pattern, &entry);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (isFolder && (lstrcmpA(entry.cFileName, ".") == 0 || lstrcmpA(entry.cFileName, "..") == 0)) continue;
    visit(context, entry, isFolder);
  } while (FindNextFileA(find, &entry));
  FindClose(find);
}

}  // namespace platform
