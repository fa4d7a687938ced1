#include "self_removal.h"

#include <windows.h>

#include <stddef.h>

#include "paths.h"
#include "process.h"
#include "removal_batch.h"

namespace platform {
namespace {

const char kBatchName[] = "\\delus.bat";

// What the in-memory routine needs, read by it at fixed offsets.
struct RemovalRecord {
  HMODULE module;
  FARPROC freeLibrary;
  FARPROC deleteFile;
  char path[MAX_PATH];
  FARPROC removeFolder;  // null: the folder stays
  char folder[MAX_PATH];
  FARPROC exitProcess;
  DWORD exitCode;
};
static_assert(offsetof(RemovalRecord, freeLibrary) == 4, "routine reads FreeLibrary at +4");
static_assert(offsetof(RemovalRecord, deleteFile) == 8, "routine reads DeleteFileA at +8");
static_assert(offsetof(RemovalRecord, path) == 12, "routine passes the path at +12");
static_assert(offsetof(RemovalRecord, removeFolder) == 272, "routine reads RemoveDirectoryA at +272");
static_assert(offsetof(RemovalRecord, folder) == 276, "routine passes the folder at +276");
static_assert(offsetof(RemovalRecord, exitProcess) == 536, "routine reads ExitProcess at +536");
static_assert(offsetof(RemovalRecord, exitCode) == 540, "routine reads the exit code at +540");

// The routine that runs after the program's image is gone: it must not
// touch the image, so it is i386 machine code written out by hand,
// position-independent, reaching everything through the record whose
// address is its only (stdcall) argument. It never returns. Its size is
// the size of this array.
const unsigned char kRemovalRoutine[] = {
    0x8B, 0x5C, 0x24, 0x04,              // mov  ebx, [esp+4]       ; the record
    0xFF, 0x33,                          // push dword [ebx]        ; module
    0xFF, 0x53, 0x04,                    // call [ebx+4]            ; FreeLibrary(module)
    0x8D, 0x43, 0x0C,                    // lea  eax, [ebx+12]      ; path
    0x50,                                // push eax
    0xFF, 0x53, 0x08,                    // call [ebx+8]            ; DeleteFileA(path)
    0x8B, 0x83, 0x10, 0x01, 0x00, 0x00,  // mov  eax, [ebx+272]     ; RemoveDirectoryA or null
    0x85, 0xC0,                          // test eax, eax
    0x74, 0x09,                          // jz   +9                 ; no folder to remove
    0x8D, 0x8B, 0x14, 0x01, 0x00, 0x00,  // lea  ecx, [ebx+276]     ; folder
    0x51,                                // push ecx
    0xFF, 0xD0,                          // call eax                ; RemoveDirectoryA(folder)
    0xFF, 0xB3, 0x1C, 0x02, 0x00, 0x00,  // push dword [ebx+540]    ; exit code
    0xFF, 0x93, 0x18, 0x02, 0x00, 0x00,  // call [ebx+536]          ; ExitProcess(code)
    0xCC,                                // int3: never reached
};

// The program's path and, cut at its last '\\', its folder.
bool OwnPathAndFolder(char* path, char* folder) {
  if (!OwnPath(path)) return false;
  FolderPart(folder, path);
  DropTrailingSlash(folder);
  return true;
}

}  // namespace

void RemoveSelf(Removal what) {
  // The program asked to go: a read-only file would make every try of
  // either method fail.
  char own[MAX_PATH];
  if (OwnPath(own)) ClearReadOnly(own);
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExA(&version)) return;
  if (version.dwPlatformId == VER_PLATFORM_WIN32_NT) RemoveSelfByBatch(what);
  else RemoveSelfInMemory(what);
}

void RemoveSelfByBatch(Removal what) {
  char own[MAX_PATH], folder[MAX_PATH];
  if (!OwnPathAndFolder(own, folder)) return;
  char text[removal::kBatchTextSize];
  DWORD length = static_cast<DWORD>(
      removal::BatchText(text, sizeof text, own, what == Removal::kFileAndFolder ? folder : nullptr, kBatchName));
  if (length == 0) return;
  HANDLE file = CreateFileA(kBatchName, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, text, length, &written, nullptr);
  CloseHandle(file);

  char commandLine[sizeof kBatchName];
  lstrcpyA(commandLine, kBatchName);
  StartAfterThisProcess(commandLine, "\\", true);
}

void RemoveSelfInMemory(Removal what) {
  HMODULE kernel = GetModuleHandleA("KERNEL32");
  if (!kernel) return;
  RemovalRecord record;
  if (!OwnPathAndFolder(record.path, record.folder)) return;
  record.module = GetModuleHandleA(nullptr);
  record.freeLibrary = GetProcAddress(kernel, "FreeLibrary");
  record.deleteFile = GetProcAddress(kernel, "DeleteFileA");
  record.removeFolder = what == Removal::kFileAndFolder ? GetProcAddress(kernel, "RemoveDirectoryA") : nullptr;
  record.exitProcess = GetProcAddress(kernel, "ExitProcess");
  record.exitCode = 0;
  if (!record.freeLibrary || !record.deleteFile || !record.exitProcess) return;
  // Executable memory: a copy in plain heap memory would fault wherever
  // the processor enforces no-execute.
  void* routine = VirtualAlloc(nullptr, sizeof kRemovalRoutine, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE);
  if (!routine) return;
  CopyMemory(routine, kRemovalRoutine, sizeof kRemovalRoutine);
  FlushInstructionCache(GetCurrentProcess(), routine, sizeof kRemovalRoutine);
  reinterpret_cast<void(WINAPI*)(RemovalRecord*)>(routine)(&record);
}

}  // namespace platform
