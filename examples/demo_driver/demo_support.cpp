#include "demo_support.h"

#include "machine.h"

namespace demo {
namespace {

using setuptest::UserFolder;
using setuptest::WaitFor;

std::string g_shots;
int g_shotNumber = 0;

BOOL CALLBACK PrintVisibleWindow(HWND window, LPARAM) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (IsWindowVisible(window))
    Print("  process " + std::to_string(process) + " " + driver::ClassName(window) + " \"" +
          driver::WindowText(window) + "\"");
  return TRUE;
}

std::string RootName(HKEY root) {
  return root == HKEY_CLASSES_ROOT ? "HKCR" : root == HKEY_CURRENT_USER ? "HKCU" : "HKLM";
}

}  // namespace

void Print(const std::string& ansi) {
  std::string line = ansi + "\n";
  int length = MultiByteToWideChar(CP_ACP, 0, line.data(), static_cast<int>(line.size()), nullptr, 0);
  std::wstring wide(length, L'\0');
  MultiByteToWideChar(CP_ACP, 0, line.data(), static_cast<int>(line.size()), &wide[0], length);
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode, written;
  if (GetConsoleMode(out, &mode)) {
    WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  std::string utf8(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, &utf8[0], size, nullptr, nullptr);
  WriteFile(out, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

void Step(int number, const std::string& text) {
  Print(std::to_string(number) + "/" + std::to_string(kSteps) + " " + text);
}

void SetShotFolder(const std::string& folder) { g_shots = folder; }

std::string Shot(const std::string& name) {
  char number[8];
  wsprintfA(number, "%02d-", ++g_shotNumber);
  driver::Screenshot(g_shots + "\\" + number + name + ".bmp");
  return number + name + ".png";
}

[[noreturn]] void Fail(const std::string& expected) {
  Print("demo: FAILED: " + expected);
  Print("demo: visible windows:");
  EnumWindows(PrintVisibleWindow, 0);
  Print("demo: the screen at that moment: " + Shot("failure"));
  ExitProcess(1);
}

bool StartsWith(const std::string& text, const char* start) { return text.rfind(start, 0) == 0; }

std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n') c = ' ';
  return text;
}

DWORD WaitForChild(DWORD parent, const char* program) {
  DWORD found = 0;
  WaitFor(
      [&] {
        for (const driver::ChildProcess& child : driver::ChildrenOf(parent))
          if (lstrcmpiA(child.name.c_str(), program) == 0) found = child.id;
        return found != 0;
      },
      kWindowTimeoutMs);
  if (!found) Fail(std::string("a process of ") + program);
  return found;
}

bool WaitForEnd(DWORD processId, DWORD timeoutMs) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
  if (!process) return true;
  bool ended = WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
  CloseHandle(process);
  return ended;
}

HWND WindowWith(DWORD processId, int id, const char* what) {
  HWND found = nullptr;
  WaitFor(
      [&] {
        for (HWND window : driver::TopLevelWindows(processId))
          if (IsWindowVisible(window) && GetDlgItem(window, id)) found = window;
        return found != nullptr;
      },
      kWindowTimeoutMs);
  if (!found) Fail(what);
  return found;
}

std::string ShotOf(HWND window, const std::string& name) {
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  // Returns once the window's thread has dealt with what came before.
  DWORD_PTR result;
  SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &result);
  return Shot(name);
}

void Close(HWND window, const char* what) {
  PostMessageA(window, WM_CLOSE, 0, 0);
  if (!WaitFor([&] { return !IsWindow(window); }, kWindowTimeoutMs)) Fail(what);
}

COLORREF ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  COLORREF colour = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return colour;
}

Made WhatTheInstallMakes(const std::string& folder) {
  const std::string menu = UserFolder("Programs") + "\\" + kApplication;
  return {
      {folder + "\\bin\\Sample App.exe", folder + "\\doc\\readme.txt", folder + "\\art\\logo.bmp",
       folder + "\\art\\tile.bmp", folder + "\\Setup.exe", folder + "\\Setup.ini", folder + "\\Welcome.sdoc",
       menu + "\\Sample App.lnk", menu + "\\Documents\\Welcome.lnk", menu + "\\Documents\\Read me.lnk",
       menu + "\\Uninstall Sample App.lnk", UserFolder("Desktop") + "\\Sample App.lnk",
       UserFolder("Startup") + "\\Sample App.lnk", UserFolder("SendTo") + "\\Sample App.lnk",
       driver::SystemFolder() + "\\samplegr.dll", menu, folder},
      {{HKEY_CLASSES_ROOT, ".sdoc"},
       {HKEY_CLASSES_ROOT, "Sample App document"},
       {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Sample App.exe"},
       {HKEY_CURRENT_USER, "Software\\Sample Maker"},
       {HKEY_LOCAL_MACHINE, driver::UninstallKey(kApplication)}},
  };
}

std::vector<std::string> Items(const Made& made, bool present) {
  std::vector<std::string> items;
  for (const std::string& path : made.files)
    if (driver::Exists(path) == present) items.push_back(path);
  for (const auto& key : made.keys)
    if (driver::KeyExists(key.first, key.second) == present) items.push_back(RootName(key.first) + "\\" + key.second);
  return items;
}

std::string Joined(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += "\n    " + item;
  return text;
}

void RemoveEarlierDemo(const Made& made) {
  std::vector<std::string> left = Items(made, true);
  if (left.empty()) return;
  Print("demo: an earlier demo left these; removed first:" + Joined(left));
  for (const std::string& path : made.files) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (driver::IsFolder(path))
      driver::RemoveTree(path);
    else
      DeleteFileA(path.c_str());
  }
  for (const auto& key : made.keys) driver::DeleteKeyTree(key.first, key.second);
}

}  // namespace demo
