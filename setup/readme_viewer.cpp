// The read-me viewer: a text file in an edit control, or pages of drawing
// commands painted into an off-screen bitmap, with up to three buttons a
// page that lead to other pages. The page list and the bitmap live from
// the opening until the first way of closing gives them back.
#include "setup.h"

#include "draw/readme_pages.h"
#include "paths.h"

namespace {

// The viewer is modal: one dialog at a time owns this.
struct Viewer {
  bool pageMode;
  char** lines;  // own copies; a null line reads as empty
  int count;
  HDC memory;
  HBITMAP bitmap;
  HGDIOBJ replaced;
  RECT client;
  int targets[readme::kButtonCount];
};
Viewer g_viewer;

const int kPageButtons[readme::kButtonCount] = {IDC_PAGE_BUTTON1, IDC_PAGE_BUTTON2, IDC_PAGE_BUTTON3};

void CoverClient(HWND dialog) {
  RECT client;
  GetClientRect(dialog, &client);
  MoveWindow(GetDlgItem(dialog, IDC_README_TEXT), 0, 0, client.right, client.bottom, TRUE);
}

// A template larger than the screen is cut to it, keeping the screen's edges.
void FitToScreen(HWND dialog) {
  RECT screen, window;
  GetWindowRect(GetDesktopWindow(), &screen);
  GetWindowRect(dialog, &window);
  if (window.right - window.left > screen.right - screen.left) {
    window.left = screen.left;
    window.right = screen.right;
  }
  if (window.bottom - window.top > screen.bottom - screen.top) {
    window.top = screen.top;
    window.bottom = screen.bottom;
  }
  MoveWindow(dialog, window.left, window.top, window.right - window.left, window.bottom - window.top, TRUE);
  GetClientRect(dialog, &g_viewer.client);
}

// Sets up the page buttons of page `page` (a SetupMode value, or a page
// number) and paints the page into the viewer's off-screen bitmap.
void ShowReadMePage(HWND dialog, int page) {
  const char* const* lines = g_viewer.lines;
  size_t count = lines ? static_cast<size_t>(g_viewer.count) : 0;
  size_t start = readme::FindPageStart(lines, count, page);
  readme::PageButtons buttons;
  readme::ReadPageButtons(lines, count, start, &buttons);
  for (int b = 0; b < readme::kButtonCount; ++b) {
    g_viewer.targets[b] = buttons.target[b];
    // A button line without a caption keeps what an earlier page set.
    if (buttons.caption[b]) SetDlgItemTextA(dialog, kPageButtons[b], buttons.caption[b]);
    ShowControl(dialog, kPageButtons[b], readme::IsShown(buttons.target[b]));
  }
  ShowControl(dialog, IDC_README_END, true);
  // The page paints over what the previous one left: it brings its own background.
  PaintCommands(g_viewer.memory, g_viewer.client, "", lines ? lines + start : nullptr, static_cast<int>(count - start));
}

void OpenPages(HWND dialog) {
  int count = ReadNumber(ini::kReadme, ini::kNo);
  g_viewer.lines = ReadLineList(Settings(), ini::kReadme, count);
  g_viewer.count = g_viewer.lines ? count : 0;
  g_viewer.pageMode = true;
  HDC dc = GetDC(dialog);
  g_viewer.memory = CreateCompatibleDC(dc);
  g_viewer.bitmap = CreateCompatibleBitmap(dc, g_viewer.client.right, g_viewer.client.bottom);
  ReleaseDC(dialog, dc);
  g_viewer.replaced = SelectObject(g_viewer.memory, g_viewer.bitmap);
  ShowControl(dialog, IDC_README_TEXT, false);
  FillRect(g_viewer.memory, &g_viewer.client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ShowReadMePage(dialog, static_cast<int>(g_setup.mode));
}

HFILE OpenReadOnly(const char* path) { return _lopen(path, OF_READ | OF_SHARE_EXCLUSIVE); }

void OpenText(HWND dialog, const char* file) {
  char path[MAX_PATH], named[MAX_PATH];
  ReadSetting(ini::kRoot, ini::kNamed, named);
  if (named[0])
    ResolvePath(file, named, path, false);
  else
    lstrcpynA(path, file, sizeof path);
  HFILE handle = OpenReadOnly(path);
  if (handle == HFILE_ERROR) {
    // The bare name in the current folder; a resolution too long to be
    // made leaves the name as written to take it from.
    const char* tried = path[0] ? path : file;
    const char* slash = text::FindLast(tried, '\\', platform::IsAnsiLeadByte);
    handle = OpenReadOnly(slash ? slash + 1 : tried);
  }
  if (handle == HFILE_ERROR) return;
  DWORD size = GetFileSize(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(handle)), nullptr);
  // INVALID_FILE_SIZE is also the one size whose NUL would not fit.
  char* text =
      size != INVALID_FILE_SIZE ? static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size + 1)) : nullptr;
  UINT read = text ? _lread(handle, text, size) : 0;
  _lclose(handle);
  if (!text) return;
  text[read <= size ? read : 0] = '\0';  // past a failed read (HFILE_ERROR) the text is empty
  SetDlgItemTextA(dialog, IDC_README_TEXT, text);
  int tabStop = 16;
  SendDlgItemMessageA(dialog, IDC_README_TEXT, EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tabStop));
  CoverClient(dialog);
  HeapFree(GetProcessHeap(), 0, text);
}

void OpenViewer(HWND dialog) {
  g_viewer = Viewer();
  char value[MAX_PATH];
  ReadSetting(ini::kSetup, ini::kName, value);
  if (value[0]) SetWindowTextA(dialog, value);
  FitToScreen(dialog);
  ReadSetting(ini::kReadme, ini::kFile, value);
  if (text::EqualNoCase(value, "ReadMe.Special"))
    OpenPages(dialog);
  else if (value[0])
    OpenText(dialog, value);
  SetFocus(dialog);
  ShowWindow(dialog, SW_SHOW);
  // After the dialog manager has given the text the focus, which selects all of it.
  SendDlgItemMessageA(dialog, IDC_README_TEXT, EM_SETSEL, 0, 0);
}

// Safe to call again: the flag is cleared on the first call.
void ReleasePages() {
  if (!g_viewer.pageMode) return;
  SelectObject(g_viewer.memory, g_viewer.replaced);
  DeleteObject(g_viewer.bitmap);
  DeleteDC(g_viewer.memory);
  FreeLineList(g_viewer.lines, g_viewer.count);
  g_viewer = Viewer();
}

void HandleViewerCommand(HWND dialog, int id, int code) {
  for (int b = 0; b < readme::kButtonCount; ++b) {
    if (id != kPageButtons[b]) continue;
    ShowReadMePage(dialog, g_viewer.targets[b]);
    InvalidateRect(dialog, nullptr, FALSE);
    return;
  }
  // Any change typed into the text closes the viewer too.
  if (id == IDC_README_END || id == IDOK || id == IDCANCEL || (id == IDC_README_TEXT && code == EN_CHANGE)) {
    ReleasePages();
    EndDialog(dialog, 1);
  }
}

}  // namespace

INT_PTR CALLBACK ReadMeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      OpenViewer(dialog);
      break;
    case WM_PAINT:
      if (!g_viewer.pageMode) break;
      PaintFromBitmap(dialog, g_viewer.memory);
      return TRUE;
    case WM_SIZE:
      CoverClient(dialog);
      break;
    case WM_COMMAND:
      HandleViewerCommand(dialog, LOWORD(wParam), HIWORD(wParam));
      break;
    // The dialog manager turns a close into IDCANCEL, which ends the dialog.
    case WM_CLOSE:
    // A dialog destroyed some other way still gives back what it holds.
    case WM_DESTROY:
      ReleasePages();
      break;
  }
  return FALSE;
}
