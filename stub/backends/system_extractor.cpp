// stub-extract: the archive is a cabinet, unpacked by the system's
// extrac32.exe or extract.exe.
#include "../stub.h"

#include <shellapi.h>

const char kArchiveName[] = "\\$.cab";
const char kUnpackSuffix[] = "by EXTRAC*.EXE";
const DWORD kPauseBeforeUnpack = 0;

bool BackendStartupCheck() { return true; }

namespace {

constexpr DWORD kCommandSize = 1040;
constexpr int kOpenAttempts = 51;

bool Append(char* buffer, const char* text) {
  if (lstrlenA(buffer) + lstrlenA(text) >= static_cast<int>(kCommandSize)) return false;
  lstrcatA(buffer, text);
  return true;
}

// Starts the old extract.exe of the Windows 95 family. It may stay behind
// after its work, so its process handle is kept for the end.
HANDLE StartExtract(const char* program, const char* parameters, const char* workspace) {
  char commandLine[kCommandSize];
  lstrcpyA(commandLine, program);
  if (!Append(commandLine, parameters)) return nullptr;
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_FORCEONFEEDBACK;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process;
  // A separate VDM keeps a 16-bit extract.exe apart from other DOS
  // programs; without the right to realtime, Windows grants high priority.
  if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE,
                      CREATE_SEPARATE_WOW_VDM | REALTIME_PRIORITY_CLASS, nullptr, workspace, &startup, &process))
    return nullptr;
  CloseHandle(process.hThread);
  return process.hProcess;
}

}  // namespace

void UnpackArchive(HWND, const char* workspace) {
  char program[kCommandSize];
  bool useExtract = false;
  if (!SearchPathA(nullptr, "extrac32.exe", nullptr, kCommandSize, program, nullptr)) {
    if (!SearchPathA(nullptr, "extract.exe", nullptr, kCommandSize, program, nullptr)) return;
    useExtract = true;
  }

  char parameters[kCommandSize];
  char archive[MAX_PATH];
  if (!platform::JoinChecked(archive, workspace, kArchiveName + 1)) return;
  wsprintfA(parameters, " /Y /E /L \"%s\" \"%s\"", workspace, archive);

  HANDLE extract = nullptr;
  if (useExtract) {
    extract = StartExtract(program, parameters, workspace);
  } else {
    ShellExecuteA(nullptr, nullptr, program, parameters, workspace, SW_HIDE);
  }
  Sleep(2000);

  // The extractor is done once it lets go of the archive.
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 1;; ++attempt) {
    file = CreateFileA(archive, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE || attempt == kOpenAttempts) break;
    Sleep(200);
  }
  if (file == INVALID_HANDLE_VALUE) {
    // A started extract.exe is left to run on.
    if (extract) CloseHandle(extract);
    return;
  }
  CloseHandle(file);
  Sleep(1000);
  if (extract) {
    TerminateProcess(extract, 0);
    CloseHandle(extract);
  }
}
