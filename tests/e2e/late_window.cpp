// Stands in for an inner program whose window comes late or stays long:
// no window for SFX_E2E_WINDOW_DELAY_MS (11 s when unset), then one for
// SFX_E2E_WINDOW_SHOW_MS (0.5 s), then SFX_E2E_WINDOW_LINGER_MS (0) more
// without a window before the end. stub-exe gets the variables through the
// environment of the built file it runs from.
#include <windows.h>

namespace {

DWORD Setting(const char* name, DWORD fallback) {
  char value[16];
  DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  if (length == 0 || length >= sizeof value) return fallback;
  DWORD number = 0;
  for (const char* p = value; *p >= '0' && *p <= '9'; ++p) number = number * 10 + static_cast<DWORD>(*p - '0');
  return number;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  Sleep(Setting("SFX_E2E_WINDOW_DELAY_MS", 11000));
  HWND window = CreateWindowExA(0, "STATIC", "late", WS_POPUP, 0, 0, 100, 40, nullptr, nullptr, instance, nullptr);
  DWORD until = GetTickCount() + Setting("SFX_E2E_WINDOW_SHOW_MS", 500);
  MSG message;
  while (static_cast<LONG>(until - GetTickCount()) > 0) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    Sleep(20);
  }
  if (window) DestroyWindow(window);
  Sleep(Setting("SFX_E2E_WINDOW_LINGER_MS", 0));
  return 0;
}
