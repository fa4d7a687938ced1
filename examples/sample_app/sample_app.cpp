// The sample application that make demo installs: it only says hello, from
// the folder it was installed into.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char path[MAX_PATH], text[MAX_PATH + 64];
  if (!GetModuleFileNameA(nullptr, path, sizeof path)) path[0] = '\0';
  wsprintfA(text, "Sample App is installed and running from\n%s", path);
  MessageBoxA(nullptr, text, "Sample App", MB_ICONINFORMATION);
  return 0;
}
