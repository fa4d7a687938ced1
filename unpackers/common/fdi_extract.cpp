// FDI does the decoding, so every compression the system knows works; this
// file only steers FDI and keeps what it writes inside the target folder.
#include "fdi_extract.h"

#include <fcntl.h>
#include <fdi.h>

#include "entry_name.h"

namespace {

// FDI's file callbacks carry no context; one extraction runs at a time per
// process, like the programs that use this code.
FdiJob* g_job;
const char* g_archive;

DWORD Position(HANDLE file) { return SetFilePointer(file, 0, nullptr, FILE_CURRENT); }

bool IsEmbeddedArchive(INT_PTR file) { return g_job && g_job->archiveLength && g_job->archiveHandle == file; }

// --- FDI's memory and file callbacks ---

void* DIAMONDAPI Alloc(ULONG size) { return HeapAlloc(GetProcessHeap(), 0, size); }
void DIAMONDAPI Free(void* block) { HeapFree(GetProcessHeap(), 0, block); }

// FDI opens only cabinets, to read them: the files it unpacks are opened
// by Notify. Any other wish is refused rather than half granted.
INT_PTR DIAMONDAPI Open(char* name, int flags, int) {
  if (flags & (_O_WRONLY | _O_RDWR | _O_CREAT | _O_TRUNC)) return -1;
  HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return -1;
  INT_PTR handle = reinterpret_cast<INT_PTR>(file);
  if (g_job && g_job->archiveLength && g_archive && lstrcmpiA(name, g_archive) == 0) {
    // Only one view of an embedded cabinet at a time: FDI reads one
    // cabinet, and a second handle could not be told apart by Seek.
    if (g_job->archiveHandle || SetFilePointer(file, static_cast<LONG>(g_job->archiveOffset), nullptr, FILE_BEGIN) ==
                                    INVALID_SET_FILE_POINTER) {
      CloseHandle(file);
      return -1;
    }
    g_job->archiveHandle = handle;
  }
  return handle;
}

UINT DIAMONDAPI Read(INT_PTR file, void* buffer, UINT size) {
  HANDLE handle = reinterpret_cast<HANDLE>(file);
  if (IsEmbeddedArchive(file)) {
    // Reads stop at the cabinet's end, as they would in a file of its own.
    DWORD end = g_job->archiveOffset + g_job->archiveLength, at = Position(handle);
    if (at == INVALID_SET_FILE_POINTER) return static_cast<UINT>(-1);
    DWORD left = at < end ? end - at : 0;
    if (size > left) size = left;
  }
  DWORD done;
  return ReadFile(handle, buffer, size, &done, nullptr) ? done : static_cast<UINT>(-1);
}

UINT DIAMONDAPI Write(INT_PTR file, void* buffer, UINT size) {
  DWORD done;
  if (!WriteFile(reinterpret_cast<HANDLE>(file), buffer, size, &done, nullptr)) return static_cast<UINT>(-1);
  if (g_job && g_job->currentHandle == file) g_job->currentWritten += done;
  return done;
}

int DIAMONDAPI Close(INT_PTR file) {
  if (g_job && g_job->currentHandle == file) g_job->currentHandle = 0;
  if (g_job && g_job->archiveHandle == file) g_job->archiveHandle = 0;
  return CloseHandle(reinterpret_cast<HANDLE>(file)) ? 0 : -1;
}

LONG DIAMONDAPI Seek(INT_PTR file, LONG distance, int origin) {
  HANDLE handle = reinterpret_cast<HANDLE>(file);
  if (IsEmbeddedArchive(file)) {
    // Positions are the cabinet's own: 0 is its first byte.
    LONG base = static_cast<LONG>(g_job->archiveOffset);
    if (origin == SEEK_SET) distance += base;
    if (origin == SEEK_END) distance += base + static_cast<LONG>(g_job->archiveLength);
    if (distance < base && origin != SEEK_CUR) return -1;
    DWORD at = SetFilePointer(handle, distance, nullptr, origin == SEEK_CUR ? FILE_CURRENT : FILE_BEGIN);
    if (at == INVALID_SET_FILE_POINTER || at < g_job->archiveOffset) return -1;
    return static_cast<LONG>(at - g_job->archiveOffset);
  }
  // SEEK_SET, SEEK_CUR and SEEK_END have the values of FILE_BEGIN and so on.
  DWORD at = SetFilePointer(handle, distance, nullptr, origin);
  return at == INVALID_SET_FILE_POINTER ? -1 : static_cast<LONG>(at);
}

INT_PTR OpenTarget(FdiJob* job, const char* name) {
  int folderLength = lstrlenA(job->folder);
  char clean[MAX_PATH];
  size_t cleanLength = 0;
  int nameLength = lstrlenA(name);
  if (nameLength >= MAX_PATH ||
      archive::CleanEntryName(name, nameLength, '\\', clean, &cleanLength) != core::Result::kOk) {
    ++job->refused;
    FdiReportName(job, "refused: ", name);
    return 0;
  }
  if (folderLength + static_cast<int>(cleanLength) >= MAX_PATH) {
    ++job->failed;
    FdiReportName(job, "path too long: ", name);
    return 0;
  }
  lstrcpyA(job->current, job->folder);
  lstrcpyA(job->current + folderLength, clean);
  HANDLE file = INVALID_HANDLE_VALUE;
  if (FdiMakeParentFolders(job->current, folderLength)) {
    // A read-only file of an earlier run is overwritten too.
    SetFileAttributesA(job->current, FILE_ATTRIBUTE_NORMAL);
    file = CreateFileA(job->current, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  if (file == INVALID_HANDLE_VALUE) {
    ++job->failed;
    FdiReportName(job, "cannot write ", name);
    return 0;
  }
  job->currentHandle = reinterpret_cast<INT_PTR>(file);
  job->currentUnfinished = true;
  job->currentWritten = 0;
  return job->currentHandle;
}

void FinishTarget(FdiJob* job, PFDINOTIFICATION info) {
  FILETIME local, utc;
  HANDLE file = reinterpret_cast<HANDLE>(info->hf);
  // Wine's FDI closes a file as finished even when its data did not
  // decode: such a piece is removed with the other unfinished ones.
  if (job->currentWritten != job->currentSize) {
    job->shortFile = true;
    Close(info->hf);
    return;
  }
  job->currentUnfinished = false;
  if (DosDateTimeToFileTime(info->date, info->time, &local) && LocalFileTimeToFileTime(&local, &utc))
    SetFileTime(file, nullptr, nullptr, &utc);
  Close(info->hf);
  SetFileAttributesA(job->current, info->attribs & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                                     FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));
  ++job->files;
}

INT_PTR DIAMONDAPI Notify(FDINOTIFICATIONTYPE type, PFDINOTIFICATION info) {
  FdiJob* job = static_cast<FdiJob*>(info->pv);
  switch (type) {
    case fdintCOPY_FILE:
      job->currentSize = info->cb;
      if (!job->list) return OpenTarget(job, info->psz1);
      {
        char line[32];
        wsprintfA(line, "%10lu  ", static_cast<unsigned long>(info->cb));
        FdiReport(job, line);
        FdiReportName(job, "", info->psz1);
        ++job->files;
        job->bytes += info->cb;
      }
      return 0;
    case fdintCLOSE_FILE_INFO:
      FinishTarget(job, info);
      if (job->currentUnfinished) {
        DeleteFileA(job->current);
        job->currentUnfinished = false;
        return FALSE;
      }
      job->bytes += job->currentSize;
      return TRUE;
    case fdintNEXT_CABINET:
      // Files that go on in a further cabinet are not taken.
      job->moreCabinets = true;
      return -1;
    default:
      return 0;
  }
}

}  // namespace

void FdiReport(FdiJob* job, const char* text) {
  if (!job->out || job->outSize == 0) return;
  while (*text && job->outLength + 1 < job->outSize) job->out[job->outLength++] = *text++;
  job->out[job->outLength] = '\0';
}

void FdiReportName(FdiJob* job, const char* what, const char* name) {
  FdiReport(job, what);
  FdiReport(job, name);
  FdiReport(job, "\r\n");
}

bool FdiMakeParentFolders(char* path, int from) {
  for (char* p = path + from; *p; p = CharNextA(p)) {
    if (*p != '\\') continue;
    *p = '\0';
    bool ok = CreateDirectoryA(path, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
    *p = '\\';
    if (!ok) return false;
  }
  return true;
}

int FdiExtract(FdiJob* job, const char* archive) {
  // FDI wants the archive's folder and name apart.
  char path[MAX_PATH];
  const char* name = archive;
  for (const char* q = archive; *q; q = CharNextA(q))
    if (*q == '\\' || *q == '/' || *q == ':') name = q + 1;
  if (name - archive >= MAX_PATH) return kFdiCannotOpen;
  lstrcpynA(path, archive, static_cast<int>(name - archive) + 1);

  HANDLE probe = CreateFileA(archive, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (probe == INVALID_HANDLE_VALUE) {
    FdiReportName(job, "cannot open ", archive);
    return kFdiCannotOpen;
  }
  CloseHandle(probe);

  ERF error;
  HFDI fdi = FDICreate(Alloc, Free, Open, Read, Write, Close, Seek, cpuUNKNOWN, &error);
  if (!fdi) return kFdiNoMemory;
  g_job = job;
  g_archive = archive;
  // FDICopy takes the name apart from its folder and writable.
  char cabinetName[MAX_PATH];
  lstrcpynA(cabinetName, name, MAX_PATH);
  BOOL copied = FDICopy(fdi, cabinetName, path, 0, Notify, nullptr, job);
  // A file that FDI stopped inside is of no use, whether FDI closed it
  // itself (Wine's does) or left it open.
  if (job->currentHandle) Close(job->currentHandle);
  if (job->currentUnfinished) DeleteFileA(job->current);
  if (job->archiveHandle) Close(job->archiveHandle);
  g_job = nullptr;
  g_archive = nullptr;
  FDIDestroy(fdi);

  int result = kFdiOk;
  if (!copied) {
    switch (error.erfOper) {
      case FDIERROR_CABINET_NOT_FOUND: result = kFdiCannotOpen; break;
      case FDIERROR_NOT_A_CABINET:
      case FDIERROR_UNKNOWN_CABINET_VERSION: result = kFdiNotCabinet; break;
      case FDIERROR_ALLOC_FAIL: result = kFdiNoMemory; break;
      case FDIERROR_TARGET_FILE: result = kFdiWriteFailed; break;
      default: result = kFdiDamaged; break;
    }
    if (job->moreCabinets) FdiReport(job, "the cabinet goes on in another file\r\n");
    FdiReport(job, result == kFdiNotCabinet ? "not a cabinet\r\n" : result == kFdiDamaged ? "damaged cabinet\r\n" : "");
  }
  if (result == kFdiOk && job->shortFile) result = kFdiDamaged;
  if (result == kFdiOk && job->failed) result = kFdiWriteFailed;
  if (result == kFdiOk && job->refused) result = kFdiRefused;
  return result;
}
