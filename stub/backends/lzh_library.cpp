// stub-lzh: the archive is LZH, unpacked by lzhdec32.dll.
#include "../stub.h"

const char kArchiveName[] = "\\$.lzh";
const char kUnpackSuffix[] = "\nby LZHDEC32.DLL";
const DWORD kPauseBeforeUnpack = 0;

namespace {

const char kLibrary[] = "lzhdec32.dll";
typedef int(WINAPI* LzhDecEntry)(HWND owner, LPCSTR command, LPSTR output, DWORD outputSize);

}  // namespace

// Without the library nothing could be unpacked, so the user hears of it
// before any window or workspace exists. The module found here stays loaded
// for the program's life: the unpacking step then gets this very module,
// whatever the current folder is by then.
bool BackendStartupCheck() {
  if (LoadLibraryA(kLibrary)) return true;
  MessageBoxA(nullptr, "You need \"LZHDEC32.DLL\" to do.", nullptr, MB_ICONERROR);
  return false;
}

// The run goes on whatever LzhDec answers: what reached the workspace is
// counted and handled by the steps after this one.
void UnpackArchive(HWND window, const char* workspace) {
  HMODULE library = LoadLibraryA(kLibrary);
  if (!library) return;
  LzhDecEntry entry = reinterpret_cast<LzhDecEntry>(reinterpret_cast<void*>(GetProcAddress(library, "LzhDec")));
  // Two workspace paths (each shorter than MAX_PATH) and the words around
  // them stay well within wsprintfA's 1024 characters.
  char command[1040];
  if (entry && lstrlenA(workspace) < MAX_PATH) {
    wsprintfA(command, "x \"%s\\$.lzh\" \"%s\\\"", workspace, workspace);
    entry(window, command, nullptr, 0);
  }
  FreeLibrary(library);
}
