// Copying the application's files with the date check, and the records an
// installation leaves for its uninstall: the folders made, the files
// copied, and Setup.exe with the merged Setup.ini in the installation
// folder.
#include "setup.h"

#include "paths.h"
#include "ini/lists.h"
#include "ini_file.h"
#include "setup/copy_entry.h"

namespace {

// The kit's own files (the installed Setup.exe and Setup.ini) keep no
// read-only attribute carried from the archive: setup writes its records
// into them and removes them at the end.
void KeepWritable(const char* path) { platform::ClearReadOnly(path); }

// Copies `source` over `destination` through a temporary file beside it,
// which then replaces the destination: a copy cut short (the program
// killed, the disk full) leaves the temporary file, never a truncated
// destination, which would be newer than its source and so kept by every
// later date check. The temporary name is the destination's with ".$$$",
// so that a later run replaces what a killed one left.
bool CopyReplacing(const char* source, const char* destination) {
  char temporary[MAX_PATH];
  if (!platform::TemporaryBeside(destination, temporary)) return false;
  // A temporary file is asked about only when the copy fails: asking
  // about a missing name costs a search of its folder under Wine. (A
  // killed run may have left it read-only.)
  bool copied = CopyFileA(source, temporary, FALSE) ||
                (platform::ClearReadOnly(temporary) && CopyFileA(source, temporary, FALSE));
  if (!copied) {
    DeleteFileA(temporary);
    return false;
  }
  return platform::ReplaceWith(temporary, destination);
}

// What became of an entry of [CopyFile].
enum EntryState : int {
  kDone = 0,     // copied, kept, or its failure ignored
  kWaiting = 1,  // its destination is not older: the user is asked
  kFailed = 2,
};

// One [CopyFile] entry, read and taken apart.
struct CopyEntry {
  setup::CopyMarks marks;
  char destination[MAX_PATH];
  char source[MAX_PATH];
  char shown[MAX_PATH];  // the destination, or the entry when it could not be made
};

typedef BOOL(WINAPI* AttributesByName)(LPCSTR, GET_FILEEX_INFO_LEVELS, LPVOID);

// The per-entry states, and the lengths the message boxes will need.
struct CopyRun {
  char folder[MAX_PATH];   // the installation folder, as the field shows it
  char current[MAX_PATH];  // where the sources are
  int* states;
  int count;
  size_t waitingLength;  // each name with its line break
  size_t failedLength;
  // [CopiedFile] and [MakedDirectory], written in one go at the end.
  profile::ListText* copied;
  profile::ListText* made;
  AttributesByName attributesByName;  // GetFileAttributesExA where the system has it
};

bool ReadEntry(const CopyRun& run, int k, CopyEntry* entry) {
  char text[MAX_PATH];
  ReadSetting(ini::kCopyFile, k, text);
  if (!text[0]) return false;
  entry->marks = setup::ReadCopyMarks(text);
  const char* path = text + entry->marks.path;
  ResolvePath(path, run.folder, entry->destination, false);
  lstrcpyA(entry->source, run.current);
  JoinPath(entry->source, path);
  lstrcpyA(entry->shown, entry->destination[0] ? entry->destination : path);
  return true;
}

void Record(CopyRun* run, const char* destination) { run->copied->Add(destination, lstrlenA(destination)); }

// Copies an entry whose destination is older or missing (or that may
// overwrite a newer one). Only a file that was not there before is the
// installation's own, to be removed by its uninstall, unless the entry
// takes it over: a shared library it updates stays for the programs that
// had it.
void Copy(CopyRun* run, int k, const CopyEntry& entry, bool existed) {
  if (entry.destination[0] && CopyReplacing(entry.source, entry.destination)) {
    run->states[k] = kDone;
    if (!entry.marks.noRecord && (!existed || entry.marks.takeOver)) Record(run, entry.destination);
  } else if (entry.marks.ignoreFailure) {
    run->states[k] = kDone;
  } else {
    run->states[k] = kFailed;
    run->failedLength += lstrlenA(entry.shown) + 2;
  }
}

bool GrowStates(CopyRun* run, int count) {
  HANDLE heap = GetProcessHeap();
  size_t bytes = sizeof(int) * static_cast<size_t>(count);
  int* grown = static_cast<int*>(run->states ? HeapReAlloc(heap, HEAP_ZERO_MEMORY, run->states, bytes)
                                             : HeapAlloc(heap, HEAP_ZERO_MEMORY, bytes));
  if (!grown) return false;
  run->states = grown;
  run->count = count;
  return true;
}

// A file's last write time. Where the system gives it by name (all but the
// first Windows 95) the file is not opened: a version-up compares two
// times for every file, and under Wine each open costs more than the copy
// of a small file. A folder has no time to compare, as it cannot be opened.
bool LastWriteTime(AttributesByName byName, const char* path, FILETIME* time) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (byName) {
    if (!byName(path, GetFileExInfoStandard, &data) || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      return false;
    *time = data.ftLastWriteTime;
    return true;
  }
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool read = GetFileTime(file, nullptr, nullptr, time) != FALSE;
  CloseHandle(file);
  return read;
}

// Above zero when the source was written later than the destination, zero
// for the same time, below zero for an earlier one; 2, as a newer source,
// when either time cannot be read.
int CompareWriteTimes(const CopyRun& run, const char* destination, const char* source) {
  FILETIME destinationTime, sourceTime;
  if (!LastWriteTime(run.attributesByName, destination, &destinationTime)) return 2;
  if (!LastWriteTime(run.attributesByName, source, &sourceTime)) return 2;
  return CompareFileTime(&sourceTime, &destinationTime);
}

// Every [CopyFile] entry: copied when its destination is older or
// missing, else kept, asked about or overwritten by its marks.
bool CopyEntries(CopyRun* run) {
  CopyEntry entry;
  for (int k = 0; ReadEntry(*run, k, &entry); ++k) {
    if (!GrowStates(run, k + 1)) return false;
    // A missing destination is a newer source, without opening it.
    bool existed = PathExists(entry.destination);
    int newer = existed ? CompareWriteTimes(*run, entry.destination, entry.source) : 2;
    if (newer > 0 || entry.marks.overwrite) {
      if (newer <= 0 && entry.marks.keep) continue;  // the keep mark is tested first
      Copy(run, k, entry, existed);
    } else if (!entry.marks.keep) {
      run->states[k] = kWaiting;
      run->waitingLength += lstrlenA(entry.shown) + 2;
    }
  }
  return true;
}

// A message box stays readable with as many names as fit a screen; the
// rest are counted in one line, so that the question below the list is
// never pushed off the screen.
constexpr int kListedNames = 30;

// A message listing the entries in `state`, in entry order, between a
// heading and an ending; null when its memory cannot be had.
char* ListMessage(const CopyRun& run, int state, size_t length, const char* heading, const char* ending) {
  char* text = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, length + MAX_PATH));
  if (!text) return nullptr;
  lstrcpyA(text, heading);
  CopyEntry entry;
  int listed = 0, more = 0;
  for (int k = 0; k < run.count; ++k) {
    if (run.states[k] != state) continue;
    if (listed == kListedNames) {
      ++more;
    } else if (ReadEntry(run, k, &entry)) {
      lstrcatA(text, entry.shown);
      lstrcatA(text, "\r\n");
      ++listed;
    }
  }
  if (more) wsprintfA(text + lstrlenA(text), "ほか %d 個のファイル\r\n", more);
  lstrcatA(text, ending);
  return text;
}

int Ask(HWND dialog, const char* text, UINT style) {
  char caption[MAX_PATH];
  ReadSetting(ini::kSetup, ini::kName, caption);
  int answer = MessageBoxA(dialog, text, caption, style);
  RepaintOwner(dialog);
  return answer;
}

// One question for every destination that is not older than its source.
void AskAboutWaiting(HWND dialog, CopyRun* run) {
  char* text = ListMessage(*run, kWaiting, run->waitingLength, "以下のファイルは新しいものが存在します．\r\n\r\n",
                           "\r\n上書きしますか？");
  // Without the question's memory nothing is overwritten.
  if (!text) return;
  UINT style = MB_YESNO | MB_ICONQUESTION | (ReadNumber(ini::kCopyFile, ini::kDefaultNo) ? MB_DEFBUTTON2 : 0);
  bool overwrite = Ask(dialog, text, style) == IDYES;
  HeapFree(GetProcessHeap(), 0, text);
  if (!overwrite) return;
  CopyEntry entry;
  for (int k = 0; k < run->count; ++k)
    if (run->states[k] == kWaiting && ReadEntry(*run, k, &entry)) Copy(run, k, entry, PathExists(entry.destination));
}

void ReportLostRecords(HWND dialog) {
  Ask(dialog, "インストールの記録を残せませんでした．\r\nアンインストールで削除されないものがあります．", MB_ICONWARNING);
}

void ReportFailures(HWND dialog, const CopyRun& run) {
  char* text = ListMessage(run, kFailed, run.failedLength, "以下のファイルはコピーできませんでした\r\n\r\n",
                           "\r\n処理は継続します");
  if (!text) return;
  Ask(dialog, text, MB_ICONWARNING);
  HeapFree(GetProcessHeap(), 0, text);
}

// [CopyFile] Self, the installer itself, under its own name.
void CopySelf(CopyRun* run) {
  char self[MAX_PATH], destination[MAX_PATH];
  ReadSetting(ini::kCopyFile, ini::kSelf, self);
  if (ReadNumber(ini::kCheck, ini::kCopy) != 2 || !self[0]) return;
  text::PathParts parts = text::SplitPath(self, platform::IsAnsiLeadByte);
  lstrcpyA(destination, run->folder);
  JoinPath(destination, self + parts.name);
  if (!destination[0]) return;
  bool existed = PathExists(destination);
  if (CopyReplacing(self, destination) && !existed) Record(run, destination);
}

// Makes `path` and the folders above it that are missing, and lists the
// ones it made, outermost first.
void MakeFolderTree(char* path, profile::ListText* made) {
  if (!CreateDirectoryA(path, nullptr) && !PathExists(path)) {
    char* slash = const_cast<char*>(text::FindLast(path, '\\', platform::IsAnsiLeadByte));
    if (!slash) return;
    *slash = '\0';
    MakeFolderTree(path, made);
    *slash = '\\';
    if (!CreateDirectoryA(path, nullptr)) return;
  }
  made->Add(path, lstrlenA(path));
}

void MakeFolders(CopyRun* run) {
  char folder[MAX_PATH];
  lstrcpyA(folder, run->folder);
  if (folder[0]) MakeFolderTree(folder, run->made);
  for (int k = 1;; ++k) {
    char name[MAX_PATH];
    ReadSetting(ini::kMakeDirectory, k, name);
    if (!name[0]) break;
    lstrcpyA(folder, run->folder);
    JoinPath(folder, name);
    if (folder[0]) MakeFolderTree(folder, run->made);
  }
}

// The lists replace what the description held; false when one could not
// be had, which loses the records, so that the run says so.
bool WriteRecords(const CopyRun& run) {
  const char* made = run.made->Finish();
  const char* copied = run.copied->Finish();
  if (!made || !copied) return false;
  // Even with nothing recorded the count marks an installed copy.
  return Settings().ReplaceSection(ini::kMakedDirectory, made) &&
         (run.copied->count() ? Settings().ReplaceSection(ini::kCopiedFile, copied)
                              : Settings().Write(ini::kCopiedFile, ini::kCount, "1"));
}

}  // namespace

void CopyInstallFiles(HWND dialog) {
  WriteSetting(ini::kCheck, ini::kCopy, IsChecked(dialog, IDC_COPY) ? "2" : "0");
  WriteSetting(ini::kCheck, ini::kDel, IsChecked(dialog, IDC_DELETE) ? "2" : "0");
  profile::ListText copied(platform::ResizeOnHeap, Settings().LineEnd());
  profile::ListText made(platform::ResizeOnHeap, Settings().LineEnd());
  CopyRun run = {};
  run.copied = &copied;
  run.made = &made;
  run.attributesByName = reinterpret_cast<AttributesByName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFileAttributesExA")));
  GetDlgItemTextA(dialog, IDC_FOLDER, run.folder, sizeof run.folder);
  WriteSetting(ini::kRoot, ini::kNamed, run.folder);
  MakeFolders(&run);
  if (!GetCurrentDirectoryA(sizeof run.current, run.current)) run.current[0] = '\0';
  bool complete = CopyEntries(&run);
  if (complete) {
    if (run.waitingLength) AskAboutWaiting(dialog, &run);
    if (run.failedLength) ReportFailures(dialog, run);
    CopySelf(&run);
  }
  if (!WriteRecords(run)) ReportLostRecords(dialog);
  if (run.states) HeapFree(GetProcessHeap(), 0, run.states);
  InvalidateRect(dialog, nullptr, TRUE);
  UpdateWindow(dialog);
}

void InstallSetupFiles() {
  char folder[MAX_PATH], own[MAX_PATH], program[MAX_PATH], installed[MAX_PATH];
  ReadSetting(ini::kRoot, ini::kNamed, folder);
  if (!folder[0] || !platform::OwnPath(own)) return;
  lstrcpyA(program, folder);
  JoinPath(program, "Setup.exe");
  lstrcpyA(installed, folder);
  JoinPath(installed, "Setup.ini");
  if (!program[0] || !installed[0]) return;
  // The running program itself, whatever its name and wherever the
  // current folder is; an installed copy that runs again is that file.
  if (!platform::SamePath(own, program) && CopyReplacing(own, program)) KeepWritable(program);
  profile::Document earlier(platform::ResizeOnHeap);
  if (platform::LoadIniFile(installed, &earlier)) {
    profile::MergeList(earlier, &Settings(), ini::kMakedDirectory);
    profile::MergeList(earlier, &Settings(), ini::kCopiedFile);
  }
  // The copy takes the file as it lies on the disk.
  FlushSettings();
  if (!platform::SamePath(g_setup.ini, installed) && CopyReplacing(g_setup.ini, installed)) KeepWritable(installed);
}
