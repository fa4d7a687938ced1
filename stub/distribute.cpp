// Moving the token folders of the workspace into the folders they name.
#include "stub.h"

#include <shellapi.h>

#include "folder_walk.h"
#include "tokens.h"

namespace {

// A double-NUL-terminated list of paths with a fixed capacity.
struct PathList {
  char* text;
  DWORD capacity;
  DWORD used;

  bool Append(const char* folder, const char* name) {
    char path[MAX_PATH];
    if (!platform::JoinChecked(path, folder, name)) return false;
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
  platform::ForEachEntry(folder, [&](const WIN32_FIND_DATAA& entry, bool isFolder) {
    if (!isFolder || entry.cFileName[0] != '.') visit(entry);
  });
}

template <typename Visit>
void ForEachSubfolder(const char* folder, Visit visit) {
  ForEachMovingEntry(folder, [&](const WIN32_FIND_DATAA& entry) {
    char path[MAX_PATH];
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && platform::JoinChecked(path, folder, entry.cFileName))
      visit(entry.cFileName, path);
  });
}

void RecordMoves(const char* destination, const PathList& destinations) {
  char ini[MAX_PATH], named[MAX_PATH];
  if (!platform::JoinChecked(ini, destination, "Setup.ini")) return;
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
  platform::DropTrailingSlash(to);
  platform::DropTrailingSlash(from);

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

namespace {

// Moves each subfolder of "[Application]" or "[Environment]" into the
// folder its name resolves to.
void MoveNamedFolders(HWND window, const char* path, int (*resolve)(const char*, char*, char*), bool record) {
  ForEachSubfolder(path, [&](const char* name, const char* source) {
    char folder[MAX_PATH], title[kTitleSize];
    if (resolve(name, folder, title)) MoveFolderContents(window, folder, source, title, record);
  });
}

}  // namespace

void DistributeWorkspace(HWND window, const char* workspace) {
  char shell[MAX_PATH];
  if (platform::JoinChecked(shell, workspace, tokens::kShell)) DeleteTree(shell);

  ForEachSubfolder(workspace, [&](const char* name, const char* path) {
    char folder[MAX_PATH], title[kTitleSize];
    if (lstrcmpiA(name, tokens::kApplication) == 0)
      MoveNamedFolders(window, path, ResolveApplicationFolder, true);
    else if (lstrcmpiA(name, tokens::kEnvironment) == 0)
      MoveNamedFolders(window, path, ResolveEnvironmentFolder, false);
    else if (ResolveDestination(window, name, folder, title))
      MoveFolderContents(window, folder, path, title, false);
  });
}
