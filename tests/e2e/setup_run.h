// What the end-to-end tests of setup.exe share: a scratch folder with
// setup.exe beside the Setup.ini a test writes, started as a stub starts
// it; its dialogs and message boxes found and read; uninstall entries a
// test makes removed after it.
#ifndef SFX_TESTS_E2E_SETUP_RUN_H
#define SFX_TESTS_E2E_SETUP_RUN_H

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

#include "setup_resource.h"
#include "snapshot.h"
#include "window_driver.h"

namespace setuptest {

constexpr DWORD kDialogTimeoutMs = 15000;

inline int ClientTop(HWND dialog, int id) {
  RECT rect;
  GetWindowRect(GetDlgItem(dialog, id), &rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect.top;
}

// A control of another process asked for its text, however long (an
// edit control keeps its text to itself; a long one is no caption).
inline std::string FieldText(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(control, WM_GETTEXTLENGTH, 0, 0, SMTO_BLOCK, 5000, &length)) return std::string();
  std::string text(length + 1, '\0');
  if (!SendMessageTimeoutA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), SMTO_BLOCK, 5000,
                           &length))
    return std::string();
  text.resize(length);
  return text;
}

// The user's shell folder of that name, as setup reads it.
inline std::string UserFolder(const char* name) {
  char path[MAX_PATH] = "";
  DWORD size = sizeof path;
  RegGetValueA(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", name,
               RRF_RT_REG_SZ, nullptr, path, &size);
  return path;
}

inline bool Checked(HWND dialog, int id) { return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// Processes whose program file is named `name`.
inline int CountProcesses(const char* name) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
    if (lstrcmpiA(entry.szExeFile, name) == 0) ++count;
  CloseHandle(snapshot);
  return count;
}

// Waits until `done` holds; false on time-out.
template <typename Done>
bool WaitFor(Done done, DWORD timeoutMs = 5000) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(20);
  }
  return true;
}

// The texts a run shows, without the label it may still show when the
// driver first looks.
inline std::vector<std::string> RunTexts(std::vector<std::string> texts, const char* label) {
  if (!texts.empty() && texts.front() == label) texts.erase(texts.begin());
  return texts;
}

// A shell link read back from its file. Wine's GetShowCmd answers 1
// whatever the file holds, so the show command comes from the file's own
// field at offset 0x3C.
struct Link {
  bool loaded = false;
  std::string target, arguments, work, icon;
  int iconIndex = -1, show = -1;
  WORD hotkey = 0;
};

inline Link ReadLink(const std::string& path) {
  Link link;
  std::string bytes = driver::ReadFileBytes(path);
  if (bytes.size() >= 0x40) link.show = *reinterpret_cast<const int*>(bytes.data() + 0x3C);
  CoInitialize(nullptr);
  IShellLinkA* shell = nullptr;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&shell))) &&
      SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    if (SUCCEEDED(file->Load(wide, STGM_READ))) {
      char text[MAX_PATH] = "";
      link.loaded = true;
      shell->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
      link.target = text;
      shell->GetArguments(text, sizeof text);
      link.arguments = text;
      shell->GetWorkingDirectory(text, sizeof text);
      link.work = text;
      shell->GetIconLocation(text, sizeof text, &link.iconIndex);
      link.icon = text;
      shell->GetHotkey(&link.hotkey);
    }
  }
  if (file) file->Release();
  if (shell) shell->Release();
  CoUninitialize();
  return link;
}

// The command line of `application`'s entry in the system's uninstall
// list; empty when it has none.
inline std::string UninstallCommand(const std::string& application) {
  char command[MAX_PATH] = "";
  DWORD size = sizeof command;
  RegGetValueA(HKEY_LOCAL_MACHINE, driver::UninstallKey(application).c_str(), "UninstallString", RRF_RT_REG_SZ,
               nullptr, command, &size);
  return command;
}

// The program an unquoted command line starts on Windows: the line up to
// the first blank (or its end) that ends the name of an existing file,
// ".exe" added to a name without one.
inline std::string ProgramOfUnquotedLine(const std::string& line) {
  for (size_t end = line.find(' '); ; end = line.find(' ', end + 1)) {
    std::string name = line.substr(0, end);
    if (!driver::IsFolder(name) && driver::Exists(name)) return name;
    if (name.find('.', name.rfind('\\') + 1) == std::string::npos && driver::Exists(name + ".exe")) return name + ".exe";
    if (end == std::string::npos) return std::string();
  }
}

// Starts that command as the system's list does on Windows: the program
// found as Windows finds it, the line handed on as it stands, unquoted
// blanks and all (Wine would quote it); from a folder of its own, by a
// program without a console (which the removal's hidden batch would
// otherwise write to).
inline driver::Process StartFromUninstallList(const std::string& application) {
  std::string command = UninstallCommand(application);
  return driver::Start(command, driver::WindowsFolder(), nullptr, DETACHED_PROCESS, ProgramOfUnquotedLine(command));
}

// The removal copy of an uninstall and its batch have finished with
// `folder`, which is gone or, holding files of the user's, stays.
inline void ExpectRemovalCopyDone(const std::string& folder, bool folderGoes) {
  EXPECT_TRUE(driver::WaitUntilGone(folder + "\\Setup.exe", 20000));
  EXPECT_TRUE(driver::WaitUntilGone("C:\\delus.bat", 5000));
  EXPECT_TRUE(WaitFor([] { return CountProcesses("setup.exe") == 0; }));
  EXPECT_EQ(driver::Exists(folder), !folderGoes);
}

class SetupRun : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = std::string("C:\\sfx e2e\\setup\\") + info->name();
    app_ = root_ + "\\app";
    driver::RemoveTree(root_);
    ASSERT_TRUE(driver::MakeFolders(app_));
    ASSERT_TRUE(CopyFileA((driver::ProgramFolder() + "\\setup.exe").c_str(), (app_ + "\\setup.exe").c_str(), FALSE));
    ini_ = app_ + "\\Setup.ini";
  }
  void TearDown() override {
    for (const std::string& name : keys_) {
      HKEY uninstall;
      if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, driver::kUninstallKey, 0, KEY_ALL_ACCESS, &uninstall) == ERROR_SUCCESS) {
        RegDeleteKeyA(uninstall, name.c_str());
        RegCloseKey(uninstall);
      }
    }
    if (!HasFailure()) driver::RemoveTree(root_);
  }

  void WriteIni(const std::string& text) { ASSERT_TRUE(driver::WriteFileBytes(ini_, text)); }
  static std::string Setting(const std::string& ini, const char* section, const char* key) {
    char value[MAX_PATH];
    GetPrivateProfileStringA(section, key, "<none>", value, sizeof value, ini.c_str());
    return value;
  }
  std::string Setting(const char* section, const char* key) { return Setting(ini_, section, key); }
  // An uninstall entry for `name`, removed after the test.
  void Register(const std::string& name, const std::string& uninstallString) {
    keys_.push_back(name);
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, driver::UninstallKey(name).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(uninstallString.c_str()),
                   static_cast<DWORD>(uninstallString.size() + 1));
    RegCloseKey(key);
  }

  driver::Process Start(const std::string& tail = "") {
    return driver::Start("\"" + app_ + "\\setup.exe\"" + (tail.empty() ? "" : " " + tail), app_);
  }
  HWND WaitForDialog(const driver::Process& process, const char* caption) {
    return driver::WaitForWindow(process.id(), "#32770", caption, kDialogTimeoutMs);
  }
  // A message box of the program: a dialog with the static text of id
  // 0xFFFF, which the main dialog (of the same caption) has not.
  HWND WaitForMessageBox(const driver::Process& process, HWND dialog, DWORD timeoutMs = 10000) {
    HWND box = nullptr;
    WaitFor(
        [&] {
          for (HWND window : driver::TopLevelWindows(process.id()))
            if (window != dialog && IsWindowVisible(window) && GetDlgItem(window, 0xFFFF)) box = window;
          return box != nullptr;
        },
        timeoutMs);
    return box;
  }
  // The shell's folder browser of the program: a dialog with the folder tree.
  HWND WaitForBrowser(const driver::Process& process, DWORD timeoutMs = 10000) {
    HWND browser = nullptr;
    WaitFor([&] { return (browser = driver::BrowseDialog(process.id())) != nullptr; }, timeoutMs);
    return browser;
  }
  // The folders an install touches: the test's own (the description it
  // ran from aside), the user's folders and the drive's root.
  std::vector<std::string> FileSnapshot() {
    std::vector<std::string> items;
    driver::ListFiles(root_, true, &items);
    // The description that ran the install keeps what it did: the chosen
    // folder, the records, the boxes.
    std::string description = ini_ + " ";
    for (std::string& item : items)
      if (item.compare(0, description.size(), description) == 0) item = ini_;
    driver::ListUserFolders(&items);
    return items;
  }
  void Shoot(const std::string& name, HWND window) {
    driver::Screenshot(driver::ScreenshotPath("setup " + name), window);
  }
  // Waits for the program to end with exit code 0.
  void ExpectEnd(driver::Process& process, DWORD timeoutMs = 30000) {
    DWORD code = 99;
    EXPECT_TRUE(process.Wait(timeoutMs, &code));
    EXPECT_EQ(code, 0u);
  }
  // Answers the program's message boxes with `button` until it ends;
  // their texts.
  std::vector<std::string> AnswerUntilEnd(driver::Process& process, HWND dialog, int button = IDOK) {
    std::vector<std::string> texts;
    DWORD code = 99;
    while (!process.Wait(100, &code)) {
      for (HWND window : driver::TopLevelWindows(process.id())) {
        if (window == dialog || !IsWindowVisible(window) || !GetDlgItem(window, 0xFFFF)) continue;
        texts.push_back(FieldText(window, 0xFFFF));
        driver::PressButton(window, button);
        WaitFor([&] { return !IsWindow(window); });
      }
    }
    EXPECT_EQ(code, 0u) << "a crash ends with its exception code";
    return texts;
  }
  // Cancels the dialog and waits for the program to end.
  void Cancel(driver::Process& process, HWND dialog) {
    driver::PressButton(dialog, IDC_CANCEL_RUN);
    ExpectEnd(process, 10000);
  }

  std::string root_, app_, ini_;
  std::vector<std::string> keys_;
};

}  // namespace setuptest

#endif  // SFX_TESTS_E2E_SETUP_RUN_H
