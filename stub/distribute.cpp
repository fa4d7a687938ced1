// Moving the token folders of the workspace into the folders they name.
#include "stub.h"

#include <shellapi.h>

#include "folder_walk.h"
#include "setup/ini_names.h"
#include "setup/profile_limits.h"
#include "tokens.h"

namespace {

// A double-NUL-terminated list of paths with a fixed capacity. Without
// its text it only counts the bytes that it would take.
struct PathList {
  char* text;
  DWORD capacity;
  DWORD used;
  DWORD count;

  bool Append(const char* folder, const char* name) {
    char path[MAX_PATH];
    if (!platform::JoinChecked(path, folder, name)) return false;
    DWORD length = lstrlenA(path) + 1;
    if (text) {
      if (used + length + 1 > capacity) return false;  // keep room for the final NUL
      lstrcpyA(text + used, path);
    }
    used += length;
    ++count;
    return true;
  }
};

// Entries that move: files, and folders whose name does not start with
// '.'. Into an installed application (`record`), never a "Setup.ini" or
// "Setup.exe" at the top, which would replace the application's own.
template <typename Visit>
void ForEachMovingEntry(const char* folder, bool record, Visit visit) {
  platform::ForEachEntry(folder, [&](const WIN32_FIND_DATAA& entry, bool isFolder) {
    if ((!isFolder || entry.cFileName[0] != '.') && !(record && tokens::IsRefusedInApplication(entry.cFileName)))
      visit(entry.cFileName, isFolder);
  });
}

template <typename Visit>
void ForEachSubfolder(const char* folder, Visit visit) {
  ForEachMovingEntry(folder, false, [&](const char* name, bool isFolder) {
    char path[MAX_PATH];
    if (isFolder && platform::JoinChecked(path, folder, name)) visit(name, path);
  });
}

// One move of a folder's contents: the shell's pairs of source and
// destination paths, and the files to record, by their paths below both
// folders. Each list is collected twice: first without text, counting
// the bytes it takes, then into its share of one block.
struct Move {
  const char* from;
  const char* to;
  bool record;     // into an installed application: refuse its own files
  bool recording;  // and keep the list of arriving files
  PathList sources, destinations, arriving;

  void Collect() {
    ForEachMovingEntry(from, record, [&](const char* name, bool isFolder) {
      // The lists stay pairs: an entry whose either path would not fit,
      // or that appeared since the count, is left where it is. (A file
      // that appeared inside a moved folder since then moves unrecorded.)
      DWORD kept = sources.used;
      if (!sources.Append(from, name)) return;
      if (!destinations.Append(to, name)) {
        sources.used = kept;
        if (sources.text) sources.text[kept] = '\0';
      } else if (recording) {
        AddArriving(name, isFolder);
      }
    });
  }

  // The files of `relative`, a file or a folder with all below it, whose
  // place at the destination is free before the move: what arrives there
  // is this installation's, whatever stood there before is not.
  void AddArriving(const char* relative, bool isFolder) {
    char source[MAX_PATH], target[MAX_PATH];
    if (!Paths(relative, source, target)) return;
    if (isFolder) {
      platform::ForEachEntry(source, [&](const WIN32_FIND_DATAA& entry, bool isInnerFolder) {
        char child[MAX_PATH];
        if (platform::JoinChecked(child, relative, entry.cFileName)) AddArriving(child, isInnerFolder);
      });
    } else if (platform::KindOf(target) == platform::PathKind::kNothing) {
      arriving.Append("", relative);
    }
  }

  // Records each listed file that now lies at the destination and no
  // longer at the source.
  void Record(const char* ini) const {
    for (const char* relative = arriving.text; *relative; relative += lstrlenA(relative) + 1) {
      char source[MAX_PATH], target[MAX_PATH];
      if (Paths(relative, source, target) && platform::KindOf(target) == platform::PathKind::kFile &&
          platform::KindOf(source) == platform::PathKind::kNothing && RecordCopiedFile(ini, target))
        RecordMadeDirectory(ini, target);
    }
  }

  bool Paths(const char* relative, char* source, char* target) const {
    return platform::JoinChecked(source, from, relative) && platform::JoinChecked(target, to, relative);
  }
};

enum class Records { kNone, kReady, kUnwritable };

// Whether the records of `arriving` fit a Setup.ini of `size` bytes as the
// profile calls write them: on the Windows 95 family a file past their
// limits would be rewritten cut, its earlier records lost.
bool RecordsFit(DWORD size, const PathList& arriving, int folderLength) {
  if (!(GetVersion() & 0x80000000)) return true;  // the NT family has no such limits
  return size != INVALID_FILE_SIZE &&
         setup::WithinProfileCalls95(size, setup::RecordBytesBound(arriving.count, arriving.used,
                                                                    static_cast<uint32_t>(folderLength)));
}

// The Setup.ini of an installed application in `folder`, made writable;
// `size` receives its length.
Records PrepareRecords(const char* folder, char* ini, DWORD* size) {
  char named[MAX_PATH];
  // Only a folder that setup installed keeps such records.
  if (!platform::JoinChecked(ini, folder, "Setup.ini") ||
      !GetPrivateProfileStringA(setup::ini::kRoot, setup::ini::kNamed, "", named, sizeof named, ini))
    return Records::kNone;
  platform::ClearReadOnly(ini);
  HANDLE file = CreateFileA(ini, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Records::kUnwritable;
  *size = GetFileSize(file, nullptr);
  CloseHandle(file);
  return Records::kReady;
}

}  // namespace

void MoveFolderContents(HWND owner, const char* destination, const char* source, const char* title,
                        bool record) {
  char to[MAX_PATH], from[MAX_PATH], ini[MAX_PATH];
  lstrcpynA(to, destination, sizeof to);
  lstrcpynA(from, source, sizeof from);
  platform::DropTrailingSlash(to);
  platform::DropTrailingSlash(from);
  DWORD iniSize = 0;
  Records records = record ? PrepareRecords(to, ini, &iniSize) : Records::kNone;
  // What could not be recorded for the uninstall stays behind, and shows
  // in the leftover count.
  if (records == Records::kUnwritable) return;

  Move move = {from, to, record, records == Records::kReady, {}, {}, {}};
  move.Collect();
  if (move.sources.used == 0) return;
  if (move.recording && !RecordsFit(iniSize, move.arriving, lstrlenA(to))) {
    // Left in the workspace, the files go with it: the user hears why.
    char text[MAX_PATH + 160];
    wsprintfA(text, "Setup.ini of the application is too large\nfor this Windows to record more files in it.\n\n"
                    "Nothing is moved into\n%s", to);
    MessageBoxA(owner, text, title, MB_ICONWARNING);
    return;
  }
  PathList* lists[] = {&move.sources, &move.destinations, &move.arriving};
  DWORD size = 0;
  for (PathList* list : lists) size += list->used + 1;
  HANDLE heap = GetProcessHeap();
  char* block = static_cast<char*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, size));
  if (!block) return;
  for (PathList* list : lists) {
    *list = {block, list->used + 1, 0, 0};
    block += list->capacity;
  }
  move.Collect();
  if (move.sources.used != 0) {
    SHFILEOPSTRUCTA operation = {};
    operation.hwnd = owner;
    operation.wFunc = FO_MOVE;
    operation.pFrom = move.sources.text;
    operation.pTo = move.destinations.text;
    operation.fFlags = FOF_MULTIDESTFILES | FOF_ALLOWUNDO;
    operation.fAnyOperationsAborted = TRUE;
    operation.lpszProgressTitle = title;
    SHFileOperationA(&operation);
    // Listed before the move, recorded after it.
    if (move.recording) move.Record(ini);
  }
  HeapFree(heap, 0, move.sources.text);
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
