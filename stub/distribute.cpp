// Moving the token folders of the workspace into the folders they name.
#include "find_entries.h"

#include <shellapi.h>

namespace {

// A double-NUL-terminated list of paths with a fixed capacity.
struct PathList {
  char* text;
  DWORD capacity;
  DWORD used;

  bool Append(const char* folder, const char* name) {
    char path[MAX_PATH];
    if (!JoinChecked(path, folder, name)) return false;
    DWORD length = lstrlenA(path) + 1;
    if (used + length + 1 > capacity) return false;  // keep room for the final NUL
    lstrcpyA(text + used, path);
    used += length;
    return true;
  }
};

// Entries that move: files, and folders whose name does not start with '.'.
template <typename Visit>
void ForEachMovingEntry(const char* folder, Visit visit) {
  ForEachEntry(folder, [&](const WIN32_FIND_DATAA& entry, bool isFolder) {
    if (!isFolder || entry.cFileName[0] != '.') visit(entry);
  });
}

template <typename Visit>
void ForEachSubfolder(const char* folder, Visit visit) {
  ForEachMovingEntry(folder, [&](const WIN32_FIND_DATAA& entry) {
    char path[MAX_PATH];
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && JoinChecked(path, folder, entry.cFileName))
      visit(entry.cFileName, path);
  });
}

void RecordMoves(const char* destination, const PathList& destinations) {
  char ini[MAX_PATH], named[MAX_PATH];
  if (!JoinChecked(ini, destination, "Setup.ini")) return;
  // Only a folder that setup installed keeps such records.
  if (!GetPrivateProfileStringA("Root", "Named", "", named, sizeof named, ini)) return;
  for (const char* entry = destinations.text; *entry; entry += lstrlenA(entry) + 1)
    if (RecordCopiedFile(ini, entry)) RecordMadeDirectory(ini, entry);
}

}  // namespace

void MoveFolderContents(HWND owner, const char* destination, const char* source, const char* title,
                        bool record) {
  char to[MAX_PATH], from[MAX_PATH];
  lstrcpynA(to, destination, sizeof to);
  lstrcpynA(from, source, sizeof from);
  DropTrailingSlash(to);
  DropTrailingSlash(from);

  DWORD count = 0, names = 0;
  ForEachMovingEntry(from, [&](const WIN32_FIND_DATAA& entry) {
    ++count;
    names += lstrlenA(entry.cFileName);
  });
  if (count == 0) return;
  PathList sources = {nullptr, (lstrlenA(from) + 2) * count + names + 1, 0};
  PathList destinations = {nullptr, (lstrlenA(to) + 2) * count + names + 1, 0};
  HANDLE heap = GetProcessHeap();
  sources.text = static_cast<char*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, sources.capacity));
  destinations.text = static_cast<char*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, destinations.capacity));
  if (sources.text && destinations.text) {
    // The lists stay pairs: an entry whose either path would not fit, or
    // that appeared since the count, is left where it is.
    ForEachMovingEntry(from, [&](const WIN32_FIND_DATAA& entry) {
      DWORD sourcesUsed = sources.used;
      if (sources.Append(from, entry.cFileName) && !destinations.Append(to, entry.cFileName)) {
        sources.used = sourcesUsed;
        sources.text[sourcesUsed] = '\0';
      }
    });
    if (sources.used != 0) {
      if (record) RecordMoves(to, destinations);
      SHFILEOPSTRUCTA operation = {};
      operation.hwnd = owner;
      operation.wFunc = FO_MOVE;
      operation.pFrom = sources.text;
      operation.pTo = destinations.text;
      operation.fFlags = FOF_MULTIDESTFILES | FOF_ALLOWUNDO;
      operation.fAnyOperationsAborted = TRUE;
      operation.lpszProgressTitle = title;
      SHFileOperationA(&operation);
    }
  }
  if (sources.text) HeapFree(heap, 0, sources.text);
  if (destinations.text) HeapFree(heap, 0, destinations.text);
}

void DistributeWorkspace(HWND window, const char* workspace) {
  char shell[MAX_PATH];
  if (JoinChecked(shell, workspace, "[shell]")) DeleteTree(shell);

  ForEachSubfolder(workspace, [&](const char* name, const char* path) {
    char folder[MAX_PATH], title[kTitleSize];
    if (lstrcmpiA(name, "[Application]") == 0) {
      ForEachSubfolder(path, [&](const char* application, const char* source) {
        if (ResolveApplicationFolder(application, folder, title))
          MoveFolderContents(window, folder, source, title, true);
      });
    } else if (lstrcmpiA(name, "[Environment]") == 0) {
      ForEachSubfolder(path, [&](const char* variable, const char* source) {
        if (ResolveEnvironmentFolder(variable, folder, title))
          MoveFolderContents(window, folder, source, title, false);
      });
    } else if (ResolveDestination(window, name, folder, title)) {
      MoveFolderContents(window, folder, path, title, false);
    }
  });
}
