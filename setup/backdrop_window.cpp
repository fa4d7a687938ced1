// The backdrop: painted once into a bitmap of the desktop's size before any
// window exists, then shown by a full-screen window at the bottom of the
// z-order. Without a backdrop that window stays hidden; it still owns the
// main dialog, which it opens two seconds after it was made.
#include "setup.h"

namespace {

constexpr UINT_PTR kOpenDialogTimer = 1;
constexpr UINT kOpenDialogDelayMs = 2000;

}  // namespace

void PaintBackdrop() {
  const RECT& desktop = g_setup.desktop;
  HDC screen = GetDC(GetDesktopWindow());
  g_setup.backdrop = CreateCompatibleDC(screen);
  g_setup.backdropBitmap =
      CreateCompatibleBitmap(screen, desktop.right - desktop.left, desktop.bottom - desktop.top);
  ReleaseDC(GetDesktopWindow(), screen);
  g_setup.previousBitmap = SelectObject(g_setup.backdrop, g_setup.backdropBitmap);
  FillRect(g_setup.backdrop, &desktop, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  // %root% of the drawing commands: the installation folder.
  char root[MAX_PATH];
  ReadSetting(ini::kRoot, ini::kNamed, root);
  PaintBackSection(g_setup.backdrop, desktop, root, Settings());
}

void ReleaseBackdrop() {
  if (!g_setup.backdrop) return;
  SelectObject(g_setup.backdrop, g_setup.previousBitmap);
  DeleteObject(g_setup.backdropBitmap);
  DeleteDC(g_setup.backdrop);
  g_setup.backdrop = nullptr;
}

namespace {

void ShowBackdrop(HWND window) {
  const RECT& desktop = g_setup.desktop;
  SetWindowPos(window, HWND_BOTTOM, desktop.left, desktop.top, desktop.right - desktop.left,
               desktop.bottom - desktop.top, 0);
  ShowWindow(window, SW_SHOW);
}

void OpenMainDialog(HWND window) {
  KillTimer(window, kOpenDialogTimer);
  InvalidateRect(window, nullptr, FALSE);
  UpdateWindow(window);
  // Returns once the main dialog has ended.
  DialogBoxParamA(g_setup.instance, MAKEINTRESOURCEA(IDD_MAIN), window, MainDialogProc, 0);
}

}  // namespace

// Every message also goes on to the dialog manager's own handling.
INT_PTR CALLBACK BackdropWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SetTimer(window, kOpenDialogTimer, kOpenDialogDelayMs, nullptr);
      if (g_setup.backdrop) ShowBackdrop(window);
      break;
    case WM_PAINT:
      if (g_setup.backdrop) PaintFromBitmap(window, g_setup.backdrop);
      break;
    case WM_TIMER:
      if (wParam == kOpenDialogTimer) OpenMainDialog(window);
      break;
  }
  return 0;
}

void PaintFromBitmap(HWND window, HDC bitmap) {
  RECT update;
  if (!GetUpdateRect(window, &update, FALSE)) return;
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  BitBlt(dc, update.left, update.top, update.right - update.left, update.bottom - update.top, bitmap, update.left,
         update.top, SRCCOPY);
  EndPaint(window, &paint);
}
