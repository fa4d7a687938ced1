#include "process.h"

namespace platform {

bool StartAfterThisProcess(char* commandLine, const char* folder, bool hidden) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  if (hidden) {
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
  }
  PROCESS_INFORMATION started = {};
  if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, CREATE_SUSPENDED | IDLE_PRIORITY_CLASS, nullptr,
                      folder, &startup, &started))
    return false;
  SetThreadPriority(started.hThread, THREAD_PRIORITY_IDLE);
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
  CloseHandle(started.hProcess);
  ResumeThread(started.hThread);
  CloseHandle(started.hThread);
  return true;
}

}  // namespace platform
