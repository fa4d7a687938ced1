#include "ini_file.h"

#include "paths.h"

namespace platform {
namespace {

void FlushProfileCache(const char* path) { WritePrivateProfileStringA(nullptr, nullptr, nullptr, path); }

}  // namespace

void* ResizeOnHeap(void* block, size_t bytes) {
  HANDLE heap = GetProcessHeap();
  if (bytes == 0) {
    HeapFree(heap, 0, block);
    return nullptr;
  }
  return block ? HeapReAlloc(heap, 0, block, bytes) : HeapAlloc(heap, 0, bytes);
}

bool LoadIniFile(const char* path, profile::Document* document) {
  FlushProfileCache(path);
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    return (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) && document->Load("", 0);
  }
  DWORD size = GetFileSize(file, nullptr), done = 0;
  profile::Resize resize = document->resizer();
  char* bytes = size != INVALID_FILE_SIZE ? static_cast<char*>(resize(nullptr, size + 1)) : nullptr;
  bool read = bytes && ReadFile(file, bytes, size, &done, nullptr) && done == size;
  CloseHandle(file);
  if (read) return document->Adopt(bytes, size);
  if (bytes) resize(bytes, 0);
  return false;
}

bool TemporaryBeside(const char* path, char* temporary) {
  if (lstrlenA(path) + 4 >= MAX_PATH) return false;
  wsprintfA(temporary, "%s.$$$", path);
  return true;
}

bool ReplaceWith(const char* temporary, const char* destination) {
  // The Windows 95 family has no MoveFileExA: there the destination goes
  // first (a read-only one stays, as CopyFileA would not replace it).
  bool replaced = MoveFileExA(temporary, destination, MOVEFILE_REPLACE_EXISTING) ||
                  (GetLastError() == ERROR_CALL_NOT_IMPLEMENTED &&
                   (DeleteFileA(destination) || GetLastError() == ERROR_FILE_NOT_FOUND) &&
                   MoveFileA(temporary, destination));
  if (!replaced) {
    ClearReadOnly(temporary);
    DeleteFileA(temporary);
  }
  return replaced;
}

bool SaveIniFile(const char* path, const profile::Document& document) {
  char temporary[MAX_PATH];
  if (!TemporaryBeside(path, temporary)) return false;
  FlushProfileCache(path);
  ClearReadOnly(temporary);
  HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD size = static_cast<DWORD>(document.size()), done = 0;
  bool written = WriteFile(file, document.bytes(), size, &done, nullptr) && done == size;
  if (!CloseHandle(file)) written = false;
  if (!written) {
    DeleteFileA(temporary);
    return false;
  }
  ClearReadOnly(path);
  return ReplaceWith(temporary, path);
}

}  // namespace platform
