// Times one Cab() call of cab32.dll from inside the process, so that Wine's
// start-up and the DLL load stay out of the figure.
//
//   cab32run.exe ARCHIVE FOLDER
//
// Prints "rc N", "seconds S" and cab32's own report.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

using CabFunction = int(WINAPI*)(HWND, LPCSTR, LPSTR, DWORD);

// cab32.dll from this program's folder, never one found along the search path.
HMODULE LoadBeside(const char* name) {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  char* slash = std::strrchr(path, '\\');
  size_t folder = slash ? static_cast<size_t>(slash - path + 1) : 0;
  if (folder + std::strlen(name) >= MAX_PATH) return nullptr;
  std::strcpy(path + folder, name);
  return LoadLibraryA(path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: cab32run ARCHIVE FOLDER\n");
    return 2;
  }
  HMODULE dll = LoadBeside("cab32.dll");
  if (!dll) {
    std::fprintf(stderr, "cannot load cab32.dll (error %lu)\n", GetLastError());
    return 2;
  }
  auto cab = reinterpret_cast<CabFunction>(reinterpret_cast<void*>(GetProcAddress(dll, "Cab")));
  if (!cab) {
    std::fprintf(stderr, "cab32.dll exports no Cab\n");
    return 2;
  }

  // cab32 takes the folder with its trailing separator.
  const char* folder = argv[2];
  size_t folderLength = std::strlen(folder);
  bool separated = folderLength && (folder[folderLength - 1] == '\\' || folder[folderLength - 1] == '/');
  static char command[2048];
  int written = std::snprintf(command, sizeof command, "-x \"%s\" \"%s%s\"", argv[1], folder,
                              separated ? "" : "\\");
  if (written < 0 || written >= static_cast<int>(sizeof command)) {
    std::fprintf(stderr, "paths too long\n");
    return 2;
  }

  static char report[4096];
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  int rc = cab(nullptr, command, report, sizeof report);
  QueryPerformanceCounter(&end);

  double seconds = static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
  std::printf("rc %d\nseconds %.3f\n%s\n", rc, seconds, report);
  FreeLibrary(dll);
  return rc == 0 ? 0 : 1;
}
