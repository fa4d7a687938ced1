// Program entry of the four stub programs.
#include "stub.h"

#include "command_line.h"

namespace {

bool HasChar(const char* text, char c) {
  for (; *text; ++text)
    if (*text == c) return true;
  return false;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // Only a '+' in the arguments asks for the second instance: a '+' in the
  // program's own path must not.
  char own[MAX_PATH];
  if (!platform::OwnPath(own)) own[0] = '\0';
  const char* arguments = SkipOwnPath(GetCommandLineA(), own, platform::IsAnsiLeadByte);
  if (HasChar(arguments, '+')) {
    RunSecondInstance(arguments);
    return 0;
  }
  g_stub.state = kMakeWorkspace;
  g_stub.selfRemoval = 0;
  if (!BackendStartupCheck()) return 1;

  MakeWorkspaceName(g_stub.workspace, sizeof g_stub.workspace);
  HWND window = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_PROGRESS), GetDesktopWindow(),
                                   ProgressDialogProc, 0);
  if (window) {
    // No IsDialogMessage: the buttons answer mouse clicks only.
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    DestroyWindow(window);
  }
  ForgetShellPrograms();
  if (g_stub.selfRemoval) RelaunchForRemoval();
  return 0;
}

// The stub brings its own process entry instead of the C runtime's start-up
// code, which would more than double its size for features it never uses
// (argv, static constructors, TLS callbacks). Nothing in the stub needs
// constructors of globals to run.
extern "C" void WinMainCRTStartup() {
  ExitProcess(static_cast<UINT>(WinMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWDEFAULT)));
}
