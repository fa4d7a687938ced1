// Deleting the built file after its run. A running program cannot delete
// its own file, so the first instance starts a second one and ends; the
// second waits for the first to end and removes the file.
#include "stub.h"

#include "self_removal.h"
#include "text.h"

namespace {

// The number after the first '+': blanks and a sign may lead, the first
// non-digit ends it.
int HandleNumber(const char* arguments) {
  const char* plus = arguments;
  while (*plus && *plus != '+') ++plus;
  return *plus ? text::ReadInt(plus + 1) : 0;
}

}  // namespace

void RemoveSelf() { platform::RemoveSelf(platform::Removal::kFile); }

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
  int number = HandleNumber(arguments);
  if (number > 0) {
    HANDLE first = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(number));
    WaitForSingleObject(first, INFINITE);
    CloseHandle(first);
  }
  RemoveSelf();
}
