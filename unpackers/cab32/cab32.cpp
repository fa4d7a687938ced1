// cab32.dll: the cabinet is decoded by the system's FDI, so every
// compression the system knows works; this file only steers FDI and keeps
// what it writes inside the target folder.
#include <windows.h>
#include <fcntl.h>
#include <fdi.h>

#include "cab32.h"

namespace {

constexpr DWORD kCommandSize = 1040;

struct Job {
  bool list;
  char folder[MAX_PATH];  // ends with '\\'
  char current[MAX_PATH];  // the file being written
  INT_PTR currentHandle;
  DWORD currentSize;
  DWORD files, refused, failed;
  ULONGLONG bytes;
  bool moreCabinets;
  char* out;
  DWORD outSize, outLength;
};

// FDI's file callbacks carry no context; one extraction runs at a time per
// process, like the programs that call this DLL.
Job* g_job;

void Report(Job* job, const char* text) {
  if (!job->out || job->outSize == 0) return;
  while (*text && job->outLength + 1 < job->outSize) job->out[job->outLength++] = *text++;
  job->out[job->outLength] = '\0';
}

void ReportName(Job* job, const char* what, const char* name) {
  Report(job, what);
  Report(job, name);
  Report(job, "\r\n");
}

// --- FDI's memory and file callbacks ---

void* DIAMONDAPI Alloc(ULONG size) { return HeapAlloc(GetProcessHeap(), 0, size); }
void DIAMONDAPI Free(void* block) { HeapFree(GetProcessHeap(), 0, block); }

INT_PTR DIAMONDAPI Open(char* name, int flags, int) {
  DWORD access = (flags & _O_RDWR) ? GENERIC_READ | GENERIC_WRITE : (flags & _O_WRONLY) ? GENERIC_WRITE : GENERIC_READ;
  DWORD disposition;
  if (flags & _O_CREAT)
    disposition = (flags & _O_EXCL) ? CREATE_NEW : (flags & _O_TRUNC) ? CREATE_ALWAYS : OPEN_ALWAYS;
  else
    disposition = (flags & _O_TRUNC) ? TRUNCATE_EXISTING : OPEN_EXISTING;
  HANDLE file = CreateFileA(name, access, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  return file == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<INT_PTR>(file);
}

UINT DIAMONDAPI Read(INT_PTR file, void* buffer, UINT size) {
  DWORD done;
  return ReadFile(reinterpret_cast<HANDLE>(file), buffer, size, &done, nullptr) ? done : static_cast<UINT>(-1);
}

UINT DIAMONDAPI Write(INT_PTR file, void* buffer, UINT size) {
  DWORD done;
  return WriteFile(reinterpret_cast<HANDLE>(file), buffer, size, &done, nullptr) ? done : static_cast<UINT>(-1);
}

int DIAMONDAPI Close(INT_PTR file) {
  if (g_job && g_job->currentHandle == file) g_job->currentHandle = 0;
  return CloseHandle(reinterpret_cast<HANDLE>(file)) ? 0 : -1;
}

LONG DIAMONDAPI Seek(INT_PTR file, LONG distance, int origin) {
  // SEEK_SET, SEEK_CUR and SEEK_END have the values of FILE_BEGIN and so on.
  DWORD at = SetFilePointer(reinterpret_cast<HANDLE>(file), distance, nullptr, origin);
  return at == INVALID_SET_FILE_POINTER ? -1 : static_cast<LONG>(at);
}

// --- names ---

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Names that Windows takes for devices in any folder and with any extension.
bool IsDeviceName(const char* part, int length) {
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
  int base = 0;
  while (base < length && part[base] != '.') ++base;
  while (base > 0 && part[base - 1] == ' ') --base;
  for (const char* device : kDevices) {
    int i = 0;
    while (i < base && device[i] && Upper(part[i]) == device[i]) ++i;
    if (i == base && !device[i]) return true;
  }
  if (base == 4 && part[3] >= '1' && part[3] <= '9') {
    char a = Upper(part[0]), b = Upper(part[1]), c = Upper(part[2]);
    if ((a == 'C' && b == 'O' && c == 'M') || (a == 'L' && b == 'P' && c == 'T')) return true;
  }
  return false;
}

// A stored name is taken only when it stays below the target folder:
// relative, no drive, no stream, no part that is empty, made of dots and
// blanks only (Windows reads "..." and ".. " as ".."), or a device.
// Trail bytes of double-byte characters are never read as separators.
bool IsSafeName(const char* name) {
  if (!*name) return false;
  const char* part = name;
  for (const char* p = name;; p = CharNextA(p)) {
    unsigned char c = static_cast<unsigned char>(*p);
    if (c == 0 || IsSeparator(*p)) {
      int length = static_cast<int>(p - part);
      bool dotsAndBlanks = true;
      for (int i = 0; i < length; ++i)
        if (part[i] != '.' && part[i] != ' ') dotsAndBlanks = false;
      if (length == 0 || dotsAndBlanks || IsDeviceName(part, length)) return false;
      if (c == 0) return true;
      part = p + 1;
      continue;
    }
    if (c < 0x20 || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|') return false;
    if (IsDBCSLeadByte(c) && !p[1]) return false;
  }
}

// Makes every folder of `path` up to its last separator.
bool MakeParentFolders(char* path, int from) {
  for (char* p = path + from; *p; p = CharNextA(p)) {
    if (*p != '\\') continue;
    *p = '\0';
    bool ok = CreateDirectoryA(path, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
    *p = '\\';
    if (!ok) return false;
  }
  return true;
}

INT_PTR OpenTarget(Job* job, const char* name) {
  if (!IsSafeName(name)) {
    ++job->refused;
    ReportName(job, "refused: ", name);
    return 0;
  }
  int folderLength = lstrlenA(job->folder);
  if (folderLength + lstrlenA(name) >= MAX_PATH) {
    ++job->failed;
    ReportName(job, "path too long: ", name);
    return 0;
  }
  lstrcpyA(job->current, job->folder);
  lstrcpyA(job->current + folderLength, name);
  for (char* p = job->current + folderLength; *p; p = CharNextA(p))
    if (*p == '/') *p = '\\';
  HANDLE file = INVALID_HANDLE_VALUE;
  if (MakeParentFolders(job->current, folderLength)) {
    // A read-only file of an earlier run is overwritten too.
    SetFileAttributesA(job->current, FILE_ATTRIBUTE_NORMAL);
    file = CreateFileA(job->current, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  if (file == INVALID_HANDLE_VALUE) {
    ++job->failed;
    ReportName(job, "cannot write ", name);
    return 0;
  }
  job->currentHandle = reinterpret_cast<INT_PTR>(file);
  return job->currentHandle;
}

void FinishTarget(Job* job, PFDINOTIFICATION info) {
  FILETIME local, utc;
  HANDLE file = reinterpret_cast<HANDLE>(info->hf);
  if (DosDateTimeToFileTime(info->date, info->time, &local) && LocalFileTimeToFileTime(&local, &utc))
    SetFileTime(file, nullptr, nullptr, &utc);
  Close(info->hf);
  SetFileAttributesA(job->current, info->attribs & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                                     FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));
  ++job->files;
}

INT_PTR DIAMONDAPI Notify(FDINOTIFICATIONTYPE type, PFDINOTIFICATION info) {
  Job* job = static_cast<Job*>(info->pv);
  switch (type) {
    case fdintCOPY_FILE:
      job->currentSize = info->cb;
      if (!job->list) return OpenTarget(job, info->psz1);
      {
        char line[32];
        wsprintfA(line, "%10lu  ", static_cast<unsigned long>(info->cb));
        Report(job, line);
        ReportName(job, "", info->psz1);
        ++job->files;
        job->bytes += info->cb;
      }
      return 0;
    case fdintCLOSE_FILE_INFO:
      job->bytes += job->currentSize;
      FinishTarget(job, info);
      return TRUE;
    case fdintNEXT_CABINET:
      // Files that go on in a further cabinet are not taken.
      job->moreCabinets = true;
      return -1;
    default:
      return 0;
  }
}

// The next word of a command, quoted or not, into `word` (MAX_PATH).
const char* NextWord(const char* p, char* word) {
  while (*p == ' ' || *p == '\t') ++p;
  int length = 0;
  bool quoted = false;
  for (; *p && (quoted || (*p != ' ' && *p != '\t')); ++p) {
    if (*p == '"') {
      quoted = !quoted;
    } else if (length < MAX_PATH - 1) {
      word[length++] = *p;
    } else {
      word[0] = '\0';  // too long for a path: taken as missing
      return nullptr;
    }
  }
  word[length] = '\0';
  return p;
}

int Run(Job* job, const char* command) {
  char option[MAX_PATH], archive[MAX_PATH], folder[MAX_PATH];
  const char* p = NextWord(command, option);
  if (p) p = NextWord(p, archive);
  if (p) p = NextWord(p, folder);
  if (!p || (option[0] != '-' && option[0] != '/') || option[2] != '\0' || !archive[0]) {
    Report(job, "usage: -x \"archive\" \"folder\\\" | -l \"archive\"");
    return kCab32BadCommand;
  }
  char letter = Upper(option[1]);
  if (letter != 'X' && letter != 'L') {
    Report(job, "unknown command");
    return kCab32BadCommand;
  }
  job->list = letter == 'L';
  if (!job->list) {
    if (!folder[0] && !GetCurrentDirectoryA(MAX_PATH, folder)) return kCab32BadCommand;
    int length = lstrlenA(folder);
    char* last = CharPrevA(folder, folder + length);
    if (length && *last != '\\' && *last != '/') {
      if (length + 1 >= MAX_PATH) return kCab32BadCommand;
      lstrcatA(folder, "\\");
    }
    lstrcpyA(job->folder, folder);
    if (!MakeParentFolders(job->folder, 3)) {
      ReportName(job, "cannot make folder ", job->folder);
      return kCab32WriteFailed;
    }
  }

  // FDI wants the archive's folder and name apart.
  char path[MAX_PATH];
  char* name = archive;
  for (char* q = archive; *q; q = CharNextA(q))
    if (*q == '\\' || *q == '/' || *q == ':') name = q + 1;
  lstrcpynA(path, archive, static_cast<int>(name - archive) + 1);

  HANDLE probe = CreateFileA(archive, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (probe == INVALID_HANDLE_VALUE) {
    ReportName(job, "cannot open ", archive);
    return kCab32CannotOpen;
  }
  CloseHandle(probe);

  ERF error;
  HFDI fdi = FDICreate(Alloc, Free, Open, Read, Write, Close, Seek, cpuUNKNOWN, &error);
  if (!fdi) return kCab32NoMemory;
  g_job = job;
  BOOL copied = FDICopy(fdi, name, path, 0, Notify, nullptr, job);
  // FDI leaves the file open when it stops inside it: the piece is of no use.
  if (job->currentHandle) {
    Close(job->currentHandle);
    DeleteFileA(job->current);
  }
  g_job = nullptr;
  FDIDestroy(fdi);

  int result = kCab32Ok;
  if (!copied) {
    switch (error.erfOper) {
      case FDIERROR_CABINET_NOT_FOUND: result = kCab32CannotOpen; break;
      case FDIERROR_NOT_A_CABINET:
      case FDIERROR_UNKNOWN_CABINET_VERSION: result = kCab32NotCabinet; break;
      case FDIERROR_ALLOC_FAIL: result = kCab32NoMemory; break;
      case FDIERROR_TARGET_FILE: result = kCab32WriteFailed; break;
      default: result = kCab32Damaged; break;
    }
    if (job->moreCabinets) Report(job, "the cabinet goes on in another file\r\n");
    Report(job, result == kCab32NotCabinet ? "not a cabinet\r\n" : result == kCab32Damaged ? "damaged cabinet\r\n" : "");
  }
  char summary[96];
  wsprintfA(summary, "%lu files, %lu bytes%s", job->files, static_cast<unsigned long>(job->bytes),
            job->list ? "" : " extracted");
  Report(job, summary);
  if (result == kCab32Ok && job->failed) result = kCab32WriteFailed;
  if (result == kCab32Ok && job->refused) result = kCab32Refused;
  return result;
}

}  // namespace

extern "C" __declspec(dllexport) int WINAPI Cab(HWND, LPCSTR command, LPSTR output, DWORD outputSize) {
  Job job;
  ZeroMemory(&job, sizeof job);
  job.out = output;
  job.outSize = outputSize;
  if (output && outputSize) output[0] = '\0';
  if (!command || lstrlenA(command) >= static_cast<int>(kCommandSize)) {
    Report(&job, "no command");
    return kCab32BadCommand;
  }
  return Run(&job, command);
}

extern "C" BOOL WINAPI DllEntry(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
  return TRUE;
}
