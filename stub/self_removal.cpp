// Deleting the built file after its run. A running program cannot delete
// its own file, so the first instance starts a second one and ends; the
// second waits for the first to end and removes the file.
#include "stub.h"

#include <stddef.h>

namespace {

const char kBatchName[] = "\\delus.bat";

// What the in-memory routine needs, read by it at fixed offsets.
struct RemovalRecord {
  HMODULE module;
  FARPROC freeLibrary;
  FARPROC deleteFile;
  char path[MAX_PATH];
  FARPROC exitProcess;
  DWORD exitCode;
};
static_assert(offsetof(RemovalRecord, freeLibrary) == 4, "routine reads FreeLibrary at +4");
static_assert(offsetof(RemovalRecord, deleteFile) == 8, "routine reads DeleteFileA at +8");
static_assert(offsetof(RemovalRecord, path) == 12, "routine passes the path at +12");
static_assert(offsetof(RemovalRecord, exitProcess) == 272, "routine reads ExitProcess at +272");
static_assert(offsetof(RemovalRecord, exitCode) == 276, "routine reads the exit code at +276");

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
    0xFF, 0xB3, 0x14, 0x01, 0x00, 0x00,  // push dword [ebx+276]    ; exit code
    0xFF, 0x93, 0x10, 0x01, 0x00, 0x00,  // call [ebx+272]          ; ExitProcess(code)
    0xCC,                                // int3: never reached
};

// Windows NT: a hidden batch file deletes the program in a loop until the
// program has ended, then deletes itself.
void RemoveByBatch() {
  char own[MAX_PATH];
  if (!GetModuleFileNameA(nullptr, own, sizeof own)) return;
  HANDLE file = CreateFileA(kBatchName, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  char text[3 * MAX_PATH + 64];
  wsprintfA(text, ":Repeat\r\ndel \"%s\"\r\nif exist \"%s\" goto Repeat\r\ndel \"%s\"\r\n", own, own, kBatchName);
  DWORD written = 0;
  WriteFile(file, text, lstrlenA(text), &written, nullptr);
  CloseHandle(file);

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION batch = {};
  char commandLine[sizeof kBatchName];
  lstrcpyA(commandLine, kBatchName);
  if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, CREATE_SUSPENDED | IDLE_PRIORITY_CLASS,
                      nullptr, "\\", &startup, &batch))
    return;
  // The program must be gone before the batch gets the processor.
  SetThreadPriority(batch.hThread, THREAD_PRIORITY_IDLE);
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
  CloseHandle(batch.hProcess);
  ResumeThread(batch.hThread);
  CloseHandle(batch.hThread);
}

// Windows 95 family: releasing the program's own module unmaps its file,
// which can then be deleted by code running outside the image.
void RemoveInMemory() {
  HMODULE kernel = GetModuleHandleA("KERNEL32");
  if (!kernel) return;
  // Executable memory: a copy in plain heap memory would fault wherever
  // the processor enforces no-execute.
  void* routine = VirtualAlloc(nullptr, sizeof kRemovalRoutine, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE);
  if (!routine) return;
  CopyMemory(routine, kRemovalRoutine, sizeof kRemovalRoutine);
  FlushInstructionCache(GetCurrentProcess(), routine, sizeof kRemovalRoutine);

  RemovalRecord record;
  record.module = GetModuleHandleA(nullptr);
  record.freeLibrary = GetProcAddress(kernel, "FreeLibrary");
  record.deleteFile = GetProcAddress(kernel, "DeleteFileA");
  record.exitProcess = GetProcAddress(kernel, "ExitProcess");
  record.exitCode = 0;
  if (!GetModuleFileNameA(record.module, record.path, sizeof record.path) || !record.freeLibrary ||
      !record.deleteFile || !record.exitProcess) {
    VirtualFree(routine, 0, MEM_RELEASE);
    return;
  }
  reinterpret_cast<void(WINAPI*)(RemovalRecord*)>(routine)(&record);
}

// The number after the first '+': blanks and a sign may lead, the first
// non-digit ends it.
long HandleNumber(const char* arguments) {
  const char* p = arguments;
  while (*p && *p != '+') ++p;
  if (*p) ++p;
  while (*p == ' ' || *p == '\t') ++p;
  bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  unsigned long value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) value = value * 10 + static_cast<unsigned long>(*p - '0');
  return negative ? -static_cast<long>(value) : static_cast<long>(value);
}

}  // namespace

void RemoveSelf() {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExA(&version)) return;
  if (version.dwPlatformId == VER_PLATFORM_WIN32_NT) RemoveByBatch();
  else RemoveInMemory();
}

void RelaunchForRemoval() {
  HANDLE self = OpenProcess(SYNCHRONIZE, TRUE, GetCurrentProcessId());
  char own[MAX_PATH], commandLine[MAX_PATH + 32];
  if (!GetModuleFileNameA(nullptr, own, sizeof own)) own[0] = '\0';
  // The handle is inherited under the same number, which the second
  // instance finds after the '+'.
  wsprintfA(commandLine, "\"%s\" +%d", own, reinterpret_cast<INT_PTR>(self));
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child = {};
  if (self && own[0] &&
      CreateProcessA(nullptr, commandLine, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child)) {
    // End only once the second instance is really running.
    HANDLE seen;
    do {
      Sleep(500);
    } while ((seen = OpenProcess(SYNCHRONIZE, TRUE, child.dwProcessId)) == nullptr);
    CloseHandle(seen);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
  }
  if (self) CloseHandle(self);
}

void RunSecondInstance(const char* arguments) {
  // Negative numbers are the pseudo-handles of this very process and
  // thread: waiting on them would never end.
  long number = HandleNumber(arguments);
  if (number > 0) {
    HANDLE first = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(number));
    WaitForSingleObject(first, INFINITE);
    CloseHandle(first);
  }
  RemoveSelf();
}
