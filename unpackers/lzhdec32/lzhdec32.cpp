// lzhdec32.dll: extracts, lists and tests LZH archives for a calling
// program. One call runs one command of core/lzh/command.h:
//
//   int WINAPI LzhDec(HWND owner, LPCSTR command, LPSTR output, DWORD outputSize)
//
// Returns 0 on success, otherwise the number of the first failure (see
// lzh.h). The report goes to `output`, cut to `outputSize` bytes with its
// NUL. Entry names are the archive's bytes (code page 932) and reach the
// ANSI file calls unchanged. The DLL never shows a window.
#include <windows.h>

#include "lzh/command.h"

namespace {

void* Allocate(void* heap, size_t size) { return HeapAlloc(static_cast<HANDLE>(heap), 0, size); }
void Release(void* heap, void* block) { HeapFree(static_cast<HANDLE>(heap), 0, block); }

// --- the archive ---

size_t ReadArchive(void* file, uint8_t* buffer, size_t size) {
  size_t done = 0;
  while (done < size) {
    DWORD got = 0;
    if (!ReadFile(static_cast<HANDLE>(file), buffer + done, static_cast<DWORD>(size - done), &got, nullptr))
      return io::Source::kError;
    if (got == 0) break;
    done += got;
  }
  return done;
}

// Refuses to move past the end, so that a lying packed size reads as a
// truncated archive instead of a file pointer beyond it.
bool SkipArchive(void* context, uint64_t size) {
  HANDLE file = static_cast<HANDLE>(context);
  LONG high = 0;
  SetLastError(NO_ERROR);
  DWORD low = SetFilePointer(file, 0, &high, FILE_CURRENT);
  if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) return false;
  uint64_t here = static_cast<uint64_t>(static_cast<DWORD>(high)) << 32 | low;
  DWORD endHigh = 0;
  DWORD endLow = GetFileSize(file, &endHigh);
  if (endLow == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return false;
  uint64_t end = static_cast<uint64_t>(endHigh) << 32 | endLow;
  if (here > end || size > end - here) return false;
  uint64_t to = here + size;
  high = static_cast<LONG>(to >> 32);
  SetLastError(NO_ERROR);
  low = SetFilePointer(file, static_cast<LONG>(static_cast<DWORD>(to)), &high, FILE_BEGIN);
  return !(low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
}

bool OpenArchive(void*, const char* path, io::Source* source) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  // Only files on disk: a console or a pipe named as the archive would
  // wait for input that never comes.
  if (GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    return false;
  }
  *source = io::Source{file, ReadArchive, SkipArchive};
  return true;
}

void CloseArchive(void*, io::Source* source) { CloseHandle(static_cast<HANDLE>(source->context)); }

// --- the extracted files ---

bool MakeFolder(void*, const char* path) {
  if (CreateDirectoryA(path, nullptr)) return true;
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The open file and its name, which a failed entry needs to remove it.
struct OutFile {
  HANDLE file;
  char path[1];  // as long as the name
};

bool WriteOut(void* context, const uint8_t* data, size_t size) {
  OutFile* out = static_cast<OutFile*>(context);
  while (size != 0) {
    DWORD wrote = 0;
    if (!WriteFile(out->file, data, static_cast<DWORD>(size), &wrote, nullptr) || wrote == 0) return false;
    data += wrote;
    size -= wrote;
  }
  return true;
}

HANDLE CreateOut(const char* path) {
  return CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool CreateOutFile(void* heap, const char* path, io::Sink* sink) {
  int length = lstrlenA(path);
  OutFile* out = static_cast<OutFile*>(Allocate(heap, sizeof(OutFile) + length));
  if (!out) return false;
  lstrcpyA(out->path, path);
  out->file = CreateOut(path);
  // Extraction overwrites: a read-only file of an earlier run is no reason
  // to stop.
  if (out->file == INVALID_HANDLE_VALUE && SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL))
    out->file = CreateOut(path);
  if (out->file == INVALID_HANDLE_VALUE) {
    Release(heap, out);
    return false;
  }
  *sink = io::Sink{out, WriteOut};
  return true;
}

bool CloseOutFile(void* heap, io::Sink* sink, bool keep, const lzh::EntryTime& time) {
  OutFile* out = static_cast<OutFile*>(sink->context);
  // A file about to be deleted needs no stamp.
  if (keep) {
    FILETIME local, utc;
    if (time.isUnix) {
      // 100-nanosecond steps since 1601.
      uint64_t steps = static_cast<uint64_t>(time.unixTime) * 10000000 + 116444736000000000ull;
      utc.dwLowDateTime = static_cast<DWORD>(steps);
      utc.dwHighDateTime = static_cast<DWORD>(steps >> 32);
    }
    bool stamped = time.isUnix || (DosDateTimeToFileTime(static_cast<WORD>(time.dosTime >> 16),
                                                         static_cast<WORD>(time.dosTime), &local) &&
                                   LocalFileTimeToFileTime(&local, &utc));
    if (stamped) SetFileTime(out->file, nullptr, nullptr, &utc);
  }
  bool ok = CloseHandle(out->file) != FALSE;
  if (!keep || !ok) DeleteFileA(out->path);
  Release(heap, out);
  return ok;
}

}  // namespace

extern "C" int WINAPI LzhDec(HWND, LPCSTR command, LPSTR output, DWORD outputSize) {
  HANDLE heap = GetProcessHeap();
  lzh::FileSystem fs{heap, '\\', OpenArchive, CloseArchive, MakeFolder, CreateOutFile, CloseOutFile};
  lzh::Allocator allocator{heap, Allocate, Release};
  // A missing disk or an unready drive fails the call instead of asking
  // the user through a system box.
  UINT errorMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  int code = lzh::RunCommand(command, fs, allocator, output, output ? outputSize : 0);
  SetErrorMode(errorMode);
  return code;
}

extern "C" BOOL WINAPI DllEntry(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
  return TRUE;
}
