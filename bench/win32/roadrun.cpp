// Plays the user through the whole road of an installer under Wine and
// writes down when each thing happened, for bench/whole_road.sh.
//
//   roadrun install BUILT.exe FOLDER   a built file started in FOLDER: its
//                                      "[shell]" programs are left to run to
//                                      their end, then OK is pressed
//   roadrun run FOLDER COMMAND...      one program (a silent installer) to its end
//   roadrun uninstall NAME FOLDER      the unattended uninstall that the system's
//                                      list holds for NAME, until FOLDER is gone
//   roadrun copy FROM TO               every file below FROM copied by CopyFileA
//                                      into a new tree TO: the plain copy that
//                                      setup's copy of the same files is held against
//
// Each event is printed as "NAME TICKS", in the milliseconds of
// GetTickCount: the clock of Wine's +timestamp trace, so that the script can
// set these events against the pauses the programs spend in Sleep and
// timers. Processes are printed as "NAME-pid HEX", as the trace names them.
// Exit code 0 when the road ran to its end, 3 when NAME has no uninstall
// entry, 1 on anything else (with a line on stderr).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "window_driver.h"

namespace {

constexpr DWORD kLongMs = 10 * 60 * 1000;  // unpacking or copying 60 MB under Wine
constexpr DWORD kPollMs = 10;
constexpr int kOkButton = 1002;  // the stub's OK, shown while it waits for its "[shell]" programs
constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

void Event(const char* name) { std::printf("%s %lu\n", name, GetTickCount()); }
void ProcessId(const char* name, DWORD id) { std::printf("%s-pid %04lx\n", name, id); }

int Fail(const char* what) {
  std::fflush(stdout);
  std::fprintf(stderr, "roadrun: %s\n", what);
  return 1;
}

// The first child of `parent` named `name`, opened for waiting; null when
// none came within the time.
HANDLE WaitForChild(DWORD parent, const char* name, DWORD timeoutMs, DWORD* id) {
  DWORD start = GetTickCount();
  do {
    for (const driver::ChildProcess& child : driver::ChildrenOf(parent)) {
      if (lstrcmpiA(child.name.c_str(), name) != 0) continue;
      HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, child.id);
      if (process) {
        *id = child.id;
        return process;
      }
    }
    Sleep(kPollMs);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

bool WaitForExit(HANDLE process, DWORD timeoutMs, DWORD* code) {
  if (WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0) return false;
  GetExitCodeProcess(process, code);
  return true;
}

// What a user does with the other windows a built file opened from its
// "[shell]" folder (a text editor showing Setup.ini): closes them.
void CloseOthers(DWORD stub, const char* keep) {
  for (const driver::ChildProcess& child : driver::ChildrenOf(stub)) {
    if (lstrcmpiA(child.name.c_str(), keep) == 0) continue;
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, child.id);
    if (!process) continue;
    for (HWND window : driver::TopLevelWindows(child.id))
      if (IsWindowVisible(window)) PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process, 5000) != WAIT_OBJECT_0) TerminateProcess(process, 1);
    CloseHandle(process);
  }
}

int Install(const char* built, const char* folder) {
  Event("start");
  driver::Process stub = driver::Start("\"" + std::string(built) + "\"", folder);
  if (!stub.started()) return Fail("cannot start the built file");
  ProcessId("stub", stub.id());
  HWND dialog = driver::WaitForWindow(stub.id(), "#32770", nullptr, kLongMs);
  if (!dialog) return Fail("the built file showed no window");
  // The stub shows OK once it has started its "[shell]" programs.
  while (!driver::IsControlVisible(dialog, kOkButton)) {
    if (stub.Wait(0)) return Fail("the built file ended without asking for OK");
    Sleep(kPollMs);
  }
  Event("shown");
  DWORD setupId = 0, code = 0;
  HANDLE setup = WaitForChild(stub.id(), "setup.exe", 10000, &setupId);
  if (!setup) return Fail("the built file started no setup.exe");
  ProcessId("setup", setupId);
  bool ended = WaitForExit(setup, kLongMs, &code);
  CloseHandle(setup);
  if (!ended) return Fail("setup.exe did not end");
  Event("setup-end");
  if (code != 0) return Fail("setup.exe failed");
  CloseOthers(stub.id(), "setup.exe");
  Event("ok");
  driver::PressButton(dialog, kOkButton);
  if (!stub.Wait(kLongMs, &code)) return Fail("the built file did not end after OK");
  Event("end");
  return code == 0 ? 0 : Fail("the built file failed");
}

int Run(const char* folder, int argc, char** argv) {
  std::string line;
  for (int i = 0; i < argc; ++i) line += (i ? " " : "") + std::string(argv[i]);
  Event("start");
  driver::Process program = driver::Start(line, folder);
  if (!program.started()) return Fail("cannot start the program");
  DWORD code = 0;
  if (!program.Wait(kLongMs, &code)) return Fail("the program did not end");
  Event("end");
  return code == 0 ? 0 : Fail("the program failed");
}

bool WaitUntilGone(const char* path, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(kPollMs);
  }
  return true;
}

// The entry's quiet command when it has one (a peer's), else its command:
// ours carries "uninstall" there when the description asks for an
// unattended uninstall.
bool UninstallCommand(const char* name, std::string* command) {
  std::string key = std::string(kUninstallKey) + name;
  for (const char* value : {"QuietUninstallString", "UninstallString"}) {
    char text[1024];
    DWORD size = sizeof text;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), value, RRF_RT_REG_SZ, nullptr, text, &size) == ERROR_SUCCESS &&
        text[0]) {
      *command = text;
      return true;
    }
  }
  return false;
}

int Uninstall(const char* name, const char* folder) {
  std::string command;
  if (!UninstallCommand(name, &command)) {
    std::printf("uninstall not-available\n");
    return 3;
  }
  Event("start");
  driver::Process program = driver::Start(command, "C:\\");
  if (!program.started()) return Fail("cannot start the uninstall command");
  ProcessId("uninstall", program.id());
  DWORD code = 0;
  if (!program.Wait(kLongMs, &code)) return Fail("the uninstall did not end");
  Event("uninstall-end");
  // What the uninstall left to a copy of itself, which removes the program
  // and its folder once the uninstall has ended.
  for (const driver::ChildProcess& child : driver::ChildrenOf(program.id())) ProcessId("removal", child.id);
  if (!WaitUntilGone(folder, 120000)) return Fail("the installation folder stayed");
  Event("gone");
  return code == 0 ? 0 : Fail("the uninstall failed");
}

bool CopyTree(const std::string& from, const std::string& to) {
  if (!CreateDirectoryA(to.c_str(), nullptr)) return false;
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((from + "\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return true;
  bool copied = true;
  do {
    std::string name = entry.cFileName;
    if (name == "." || name == "..") continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) copied = CopyTree(from + "\\" + name, to + "\\" + name) && copied;
    else copied = CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), TRUE) && copied;
  } while (FindNextFileA(find, &entry));
  FindClose(find);
  return copied;
}

int Copy(const char* from, const char* to) {
  Event("start");
  bool copied = CopyTree(from, to);
  Event("end");
  return copied ? 0 : Fail("the copy failed");
}

}  // namespace

int main(int argc, char** argv) {
  int result = 2;
  if (argc == 4 && !std::strcmp(argv[1], "install")) result = Install(argv[2], argv[3]);
  else if (argc >= 4 && !std::strcmp(argv[1], "run")) result = Run(argv[2], argc - 3, argv + 3);
  else if (argc == 4 && !std::strcmp(argv[1], "uninstall")) result = Uninstall(argv[2], argv[3]);
  else if (argc == 4 && !std::strcmp(argv[1], "copy")) result = Copy(argv[2], argv[3]);
  else std::fprintf(stderr, "usage: roadrun install BUILT.exe FOLDER | run FOLDER COMMAND... | uninstall NAME FOLDER | copy FROM TO\n");
  std::fflush(stdout);
  return result;
}
