// stub-cab: the archive is a cabinet, unpacked by cab32.dll.
#include "../stub.h"

const char kArchiveName[] = "\\$.cab";
const char kUnpackSuffix[] = "\nby CAB32.DLL";
const DWORD kPauseBeforeUnpack = 0;

namespace {
typedef int(WINAPI* CabEntry)(HWND owner, LPCSTR command, LPSTR output, DWORD outputSize);
}  // namespace

// The library stays loaded for the whole run, so that it cannot go missing
// between this check and the unpacking.
bool BackendStartupCheck() {
  if (LoadLibraryA("cab32.dll")) return true;
  MessageBoxA(nullptr, "このプログラムを実行するには\nCab32.dllが必要です．", nullptr, MB_ICONERROR);
  return false;
}

void UnpackArchive(HWND window, const char* workspace) {
  HMODULE library = LoadLibraryA("cab32.dll");
  if (!library) return;
  CabEntry cab = reinterpret_cast<CabEntry>(reinterpret_cast<void*>(GetProcAddress(library, "Cab")));
  if (cab) {
    char command[1040];
    wsprintfA(command, "-x \"%s\\$.cab\" \"%s\\\"", workspace, workspace);
    cab(window, command, nullptr, 0);
  }
  FreeLibrary(library);
}
