// Sample App, the program that the examples install. Its window says that
// it runs and shows what the installer arranged for it: the folder it was
// installed into, the document it was opened with (through its file
// association), the greeting of the library a built file put into the
// system folder, and how often it has run, counted in its own settings key
// (the key the uninstall deletes), beside the edition that setup wrote
// there.
#include <stdarg.h>
#include <windows.h>

namespace {

const char kClass[] = "SampleAppWindow";
const char kSettingsKey[] = "Software\\Sample Maker\\Sample App";
const char kLibrary[] = "samplegr.dll";

// Everything the window shows, made once at the start.
char g_text[8192];
// The window's title: the document's name before the program's.
char g_title[MAX_PATH + 16] = "Sample App";

// Appends a formatted line to g_text, cut at its end.
void Line(const char* format, ...) {
  char line[1200];
  va_list arguments;
  va_start(arguments, format);
  wvsprintfA(line, format, arguments);  // wvsprintfA writes at most 1024 bytes
  va_end(arguments);
  int used = lstrlenA(g_text);
  lstrcpynA(g_text + used, line, static_cast<int>(sizeof g_text) - used);
  used = lstrlenA(g_text);
  lstrcpynA(g_text + used, "\r\n", static_cast<int>(sizeof g_text) - used);
}

// The command line after the program's own (quoted or plain) path.
const char* Arguments() {
  const char* p = GetCommandLineA();
  if (*p == '"') {
    for (++p; *p && *p != '"'; ++p) {
    }
    if (*p) ++p;
  } else {
    while (*p && *p != ' ' && *p != '\t') ++p;
  }
  while (*p == ' ' || *p == '\t') ++p;
  return p;
}

// The document named by the arguments, without its quotes.
void DocumentPath(const char* arguments, char* path) {
  if (*arguments == '"') ++arguments;
  lstrcpynA(path, arguments, MAX_PATH);
  int length = lstrlenA(path);
  if (length && path[length - 1] == '"') path[length - 1] = '\0';
}

void DescribeDocument(const char* arguments) {
  if (!*arguments) {
    Line("Started without a document.");
    return;
  }
  char path[MAX_PATH];
  DocumentPath(arguments, path);
  Line("Document: %s", path);
  const char* name = path;
  for (const char* p = path; *p; p = CharNextA(p))
    if (*p == '\\') name = p + 1;
  wsprintfA(g_title, "%s - Sample App", name);
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    Line("  (it cannot be opened)");
    return;
  }
  char content[1024];
  DWORD read = 0;
  if (!ReadFile(file, content, sizeof content - 1, &read, nullptr)) read = 0;
  CloseHandle(file);
  content[read] = '\0';
  Line("");
  Line("%s", content);
}

// The library is looked for in the system folder only: that is where the
// built file put it.
void DescribeLibrary() {
  char path[MAX_PATH];
  UINT length = GetSystemDirectoryA(path, MAX_PATH - sizeof kLibrary - 1);
  if (length == 0 || length >= MAX_PATH - sizeof kLibrary - 1) return;
  lstrcatA(path, "\\");
  lstrcatA(path, kLibrary);
  HMODULE library = LoadLibraryA(path);
  using Greeting = const char* (*)();
  Greeting greeting =
      library ? reinterpret_cast<Greeting>(reinterpret_cast<void*>(GetProcAddress(library, "SampleGreeting")))
              : nullptr;
  if (greeting)
    Line("%s says: %s", path, greeting());
  else
    Line("%s is missing.", path);
  if (library) FreeLibrary(library);
}

// Counts this start in the program's settings, which the uninstall removes.
void CountRun() {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return;
  DWORD runs = 0, size = sizeof runs, type = 0;
  if (RegQueryValueExA(key, "Runs", nullptr, &type, reinterpret_cast<BYTE*>(&runs), &size) != ERROR_SUCCESS ||
      type != REG_DWORD)
    runs = 0;
  ++runs;
  RegSetValueExA(key, "Runs", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&runs), sizeof runs);
  // Written by the complete example's setup, from a registry line.
  char edition[64];
  size = sizeof edition - 1;
  if (RegQueryValueExA(key, "Edition", nullptr, &type, reinterpret_cast<BYTE*>(edition), &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    size = 0;
  edition[size] = '\0';
  RegCloseKey(key);
  Line("Started %lu time%s (HKEY_CURRENT_USER\\%s, value Runs).", runs, runs == 1 ? "" : "s", kSettingsKey);
  if (edition[0]) Line("Edition: %s (value Edition, which setup wrote).", edition);
}

void Describe() {
  char own[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, own, sizeof own);
  if (length == 0 || length >= sizeof own) own[0] = '\0';
  Line("Sample App is installed and running.");
  Line("");
  Line("Program: %s", own);
  CountRun();
  DescribeLibrary();
  DescribeDocument(Arguments());
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      RECT area;
      GetClientRect(window, &area);
      InflateRect(&area, -12, -12);
      HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
      SetBkMode(dc, TRANSPARENT);
      DrawTextA(dc, g_text, -1, &area, DT_LEFT | DT_TOP | DT_NOPREFIX | DT_EXPANDTABS);
      SelectObject(dc, old);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  Describe();
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kClass;
  if (!RegisterClassA(&windowClass)) return 1;
  HWND window = CreateWindowExA(0, kClass, g_title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 560, 340,
                                nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, show);
  UpdateWindow(window);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
