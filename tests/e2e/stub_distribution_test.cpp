// Built files that move their token folders into this machine's folders,
// open their "[shell]" items and a final command. Made by sfxbuild as
// stub-extract files (Wine's extrac32 unpacks them) and run as a user runs
// them; the windows, files, registry and Setup.ini records are checked.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>

#include "window_driver.h"

namespace {

constexpr int kProgressText = 1001, kOk = 1002, kCancel = 1003;
constexpr DWORD kRunTimeoutMs = 60000;
const char kWaitingText[] = "Push \"OK\".\nIf you are all set...\n\nor \"Cancel\" to run away.";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::string ShellFolderPath(int csidl) {
  char path[MAX_PATH] = "";
  SHGetSpecialFolderPathA(nullptr, path, csidl, TRUE);
  return path;
}

std::string Joined(const std::string& folder, const std::string& name) {
  return folder.empty() || folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

std::vector<std::string> ProfileList(const std::string& ini, const char* section) {
  std::vector<std::string> values;
  int count = GetPrivateProfileIntA(section, "Count", 0, ini.c_str());
  for (int i = 0; i < count; ++i) {
    char value[MAX_PATH];
    GetPrivateProfileStringA(section, std::to_string(i).c_str(), "", value, sizeof value, ini.c_str());
    values.push_back(value);
  }
  return values;
}

class Distribution : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    tag_ = std::string("sfx-e2e-") + info->name();
    root_ = std::string("C:\\sfx e2e\\") + info->name();
    driver::RemoveTree(root_);
    ASSERT_TRUE(driver::MakeFolders(root_ + "\\temp dir"));
    ASSERT_TRUE(driver::MakeFolders(root_ + "\\dest"));
    environment_ = {{"TMP", root_ + "\\temp dir"}, {"TEMP", root_ + "\\temp dir"}, {"SFX_E2E_DEST", root_ + "\\dest"}};
  }
  void TearDown() override {
    for (const std::string& path : cleanup_) {
      DeleteFileA(path.c_str());
      driver::RemoveTree(path);
    }
    for (const std::string& name : keys_) {
      HKEY uninstall;
      if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_ALL_ACCESS, &uninstall) == ERROR_SUCCESS) {
        RegDeleteKeyA(uninstall, name.c_str());
        RegCloseKey(uninstall);
      }
    }
    if (!HasFailure()) driver::RemoveTree(root_);
  }

  // A file in the folder that is packed.
  void Put(const std::string& relative, const std::string& bytes = "x") {
    std::string path = root_ + "\\app\\" + relative;
    driver::MakeFolders(path.substr(0, path.rfind('\\')));
    ASSERT_TRUE(driver::WriteFileBytes(path, bytes)) << path;
  }
  // A batch file that writes the folder it runs in to `marker`.
  void PutBatch(const std::string& relative, const std::string& marker) {
    Put(relative, "@echo off\r\ncd> \"" + marker + "\"\r\n");
  }

  std::string Build(const std::string& name, const std::string& finalCommand = "", const char* format = "extract") {
    std::string built = root_ + "\\" + name + ".exe";
    std::string command = "\"" + driver::ProgramFolder() + "\\sfxbuild.exe\" pack --format " + format + " --from \"" +
                          root_ + "\\app\"" + (finalCommand.empty() ? "" : " --final \"" + finalCommand + "\"") +
                          " -o \"" + built + "\"";
    EXPECT_EQ(driver::RunToEnd(command, root_), 0) << command;
    driver::RemoveTree(root_ + "\\app");  // the next build starts from an empty folder
    return built;
  }

  driver::Process Start(const std::string& built, const std::string& folder = "") {
    return driver::Start("\"" + built + "\"", folder.empty() ? root_ : folder, &environment_);
  }

  // Runs a built file that opens nothing in "[shell]" to its end; returns
  // the texts it showed.
  std::vector<std::string> Run(const std::string& built) {
    driver::Process process = Start(built);
    std::string title = built.substr(built.rfind('\\') + 1);
    title = title.substr(0, title.rfind('.'));
    HWND window = driver::WaitForWindow(process.id(), "#32770", title.c_str(), 10000);
    EXPECT_NE(window, nullptr);
    if (!window) return {};
    std::vector<std::string> texts = driver::FollowTexts(process, window, kProgressText, kRunTimeoutMs);
    EXPECT_TRUE(process.Wait(10000));
    return texts;
  }

  void Register(const std::string& name, const std::string& uninstallString) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string(kUninstallKey) + "\\" + name).c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(uninstallString.c_str()),
                   static_cast<DWORD>(uninstallString.size() + 1));
    RegCloseKey(key);
    keys_.push_back(name);
  }

  std::string tag_, root_;
  std::map<std::string, std::string> environment_;
  std::vector<std::string> cleanup_, keys_;
};

TEST_F(Distribution, EveryTokenFolderGoesWhereItsTokenPoints) {
  char windows[MAX_PATH], system[MAX_PATH], programFiles[MAX_PATH] = "";
  GetWindowsDirectoryA(windows, sizeof windows);
  GetSystemDirectoryA(system, sizeof system);
  DWORD size = sizeof programFiles;
  RegGetValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", RRF_RT_REG_SZ,
               nullptr, programFiles, &size);
  struct Case {
    const char* token;
    std::string folder;
  } cases[] = {
      {"[System]", system},
      {"[Windows]", windows},
      {"[Desktop]", ShellFolderPath(CSIDL_DESKTOPDIRECTORY)},
      {"[Programs]", programFiles},
      {"[ProgramMenu]", ShellFolderPath(CSIDL_PROGRAMS)},
      {"[Menu]", ShellFolderPath(CSIDL_STARTMENU)},
      {"[Startup]", ShellFolderPath(CSIDL_STARTUP)},
      {"[sendto]", ShellFolderPath(CSIDL_SENDTO)},
      {"[Recent]", ShellFolderPath(CSIDL_RECENT)},
      {"[Temporary]", root_ + "\\temp dir"},
  };
  for (const Case& c : cases) {
    Put(std::string(c.token) + "\\" + tag_ + ".txt", "12");  // 2 bytes each
    cleanup_.push_back(Joined(c.folder, tag_ + ".txt"));
  }
  Put("[Windows]\\.hidden\\" + tag_ + ".txt", "not counted");
  Put("[Nowhere]\\left over.txt", "12345");
  cleanup_.push_back(Joined(windows, ".hidden"));

  std::vector<std::string> texts = Run(Build("tokens"));
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(texts[texts.size() - 2], "Transport...\n\n11 Files\n25 Bytes");
  EXPECT_EQ(texts.back(), "1 File\n5 Bytes\n...failure at copy.\n\nDeleting workspace...");
  for (const Case& c : cases)
    EXPECT_EQ(driver::ReadFileBytes(Joined(c.folder, tag_ + ".txt")), "12") << c.token << " -> " << c.folder;
  EXPECT_FALSE(driver::Exists(Joined(windows, ".hidden"))) << "a dot-folder is not moved";
}

TEST_F(Distribution, EveryFormatDistributesTheSameFiles) {
  // The libraries of stub-lzh and stub-cab lie beside the built files.
  for (const char* library : {"lzhdec32.dll", "cab32.dll"})
    ASSERT_TRUE(CopyFileA((driver::ProgramFolder() + "\\" + library).c_str(), (root_ + "\\" + library).c_str(), FALSE));
  std::string big(100000, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 7919) % 251);
  for (const char* format : {"lzh", "cab", "extract"}) {
    SCOPED_TRACE(format);
    Put("[shell]\\config\\setup.ini", "[Root]");
    Put("[Environment]\\SFX_E2E_DEST\\bin\\app.dll", big);
    Put("[Environment]\\SFX_E2E_DEST\\empty.txt", "");
    Put("[Temporary]\\notes.txt", "notes");
    std::vector<std::string> texts = Run(Build(std::string("format ") + format, "", format));
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[texts.size() - 2], "Transport...\n\n4 Files\n100,011 Bytes");
    EXPECT_EQ(texts.back(), "Deleting workspace...");
    EXPECT_TRUE(driver::ReadFileBytes(root_ + "\\dest\\bin\\app.dll") == big);
    EXPECT_TRUE(driver::Exists(root_ + "\\dest\\empty.txt"));
    EXPECT_EQ(driver::ReadFileBytes(root_ + "\\temp dir\\notes.txt"), "notes");
    driver::RemoveTree(root_ + "\\dest");
    driver::MakeFolders(root_ + "\\dest");
    DeleteFileA((root_ + "\\temp dir\\notes.txt").c_str());
  }
}

// A built file whose "[shell]" starts a batch file, with a payload and a
// final command below "[Environment]".
class ShellRun : public Distribution {
 protected:
  void SetUp() override {
    Distribution::SetUp();
    PutBatch("[shell]\\setup.bat", root_ + "\\shell ran.txt");
    Put("[Environment]\\SFX_E2E_DEST\\payload.txt", "payload");
    PutBatch("[Environment]\\SFX_E2E_DEST\\final.bat", root_ + "\\final ran.txt");
    built_ = Build("with shell", "[Environment]\\SFX_E2E_DEST\\final.bat");
  }

  // Starts the built file and waits until it asks for OK or Cancel.
  HWND StartAndWait() {
    process_ = Start(built_);
    HWND window = driver::WaitForWindow(process_.id(), "#32770", "with shell", 10000);
    EXPECT_NE(window, nullptr);
    if (!window) return nullptr;
    EXPECT_TRUE(driver::WaitForText(window, kProgressText, kWaitingText, 30000));
    EXPECT_TRUE(driver::IsControlVisible(window, kOk));
    EXPECT_TRUE(driver::IsControlVisible(window, kCancel));
    EXPECT_TRUE(driver::WaitForLine(root_ + "\\shell ran.txt"));
    std::string folder = driver::ReadFileBytes(root_ + "\\shell ran.txt");
    EXPECT_NE(folder.find("\\[shell]"), std::string::npos) << "started in its own folder: " << folder;
    EXPECT_FALSE(driver::Exists(root_ + "\\dest\\payload.txt")) << "nothing moves before OK";
    return window;
  }

  std::string Workspace() const { return driver::WorkspaceIn(root_ + "\\temp dir"); }

  std::string built_;
  driver::Process process_;
};

TEST_F(ShellRun, OkDistributesAndRunsTheFinalCommand) {
  HWND window = StartAndWait();
  ASSERT_NE(window, nullptr);
  std::string workspace = Workspace();
  driver::Screenshot(driver::ProgramFolder() + "\\screenshots\\waiting for OK.bmp", window);
  driver::PressButton(window, kOk);
  ASSERT_TRUE(process_.Wait(kRunTimeoutMs));
  EXPECT_EQ(driver::ReadFileBytes(root_ + "\\dest\\payload.txt"), "payload");
  ASSERT_TRUE(driver::WaitForLine(root_ + "\\final ran.txt"));
  std::string folder = driver::ReadFileBytes(root_ + "\\final ran.txt");
  EXPECT_EQ(folder.substr(0, folder.find_first_of("\r\n")), root_ + "\\dest");
  EXPECT_FALSE(driver::Exists(root_ + "\\dest\\setup.bat")) << "[shell] is never distributed";
  EXPECT_FALSE(driver::Exists(workspace));
}

TEST_F(ShellRun, CancelSkipsDistributionAndTheFinalCommandButDeletesTheWorkspace) {
  HWND window = StartAndWait();
  ASSERT_NE(window, nullptr);
  std::string workspace = Workspace();
  ASSERT_TRUE(driver::IsFolder(workspace));
  driver::PressButton(window, kCancel);
  ASSERT_TRUE(process_.Wait(kRunTimeoutMs));
  Sleep(1000);
  EXPECT_FALSE(driver::Exists(root_ + "\\dest\\payload.txt"));
  EXPECT_FALSE(driver::Exists(root_ + "\\final ran.txt"));
  EXPECT_FALSE(driver::Exists(workspace));
}

TEST_F(Distribution, ShellWithOnlyASubfolderStartsNothingAndDoesNotWait) {
  PutBatch("[shell]\\sub\\not me.bat", root_ + "\\sub ran.txt");
  Put("[Environment]\\SFX_E2E_DEST\\payload.txt", "payload");
  std::vector<std::string> texts = Run(Build("subfolder only"));
  EXPECT_EQ(std::count(texts.begin(), texts.end(), kWaitingText), 0);
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts.back(), "Deleting workspace...") << "the [shell] folder is deleted, not left over";
  EXPECT_EQ(driver::ReadFileBytes(root_ + "\\dest\\payload.txt"), "payload");
  EXPECT_FALSE(driver::Exists(root_ + "\\sub ran.txt"));
}

TEST_F(Distribution, ApplicationFolderReceivesFilesAndRecordsThemOnce) {
  std::string app = root_ + "\\Program Files\\Demo App";
  ASSERT_TRUE(driver::MakeFolders(app));
  ASSERT_TRUE(driver::WriteFileBytes(app + "\\Setup.exe", "MZ"));
  std::string ini = app + "\\Setup.ini";
  WritePrivateProfileStringA("Root", "Named", "Demo", ini.c_str());
  WritePrivateProfileStringA("MakedDirectory", "Count", "1", ini.c_str());
  WritePrivateProfileStringA("MakedDirectory", "0", app.c_str(), ini.c_str());
  std::string name = tag_ + " app", missing = tag_ + " missing";
  Register(name, "\"" + app + "\\Setup.exe\" uninstall");
  keys_.push_back(missing);

  for (int run = 0; run < 2; ++run) {
    Put("[Application]\\" + name + "\\plugin.dll", "v" + std::to_string(run));
    Put("[Application]\\" + name + "\\data\\inner.txt");
    Put("[Application]\\" + missing + "\\left.txt", "left");
    std::vector<std::string> texts = Run(Build("app run " + std::to_string(run)));
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.back(), "1 File\n4 Bytes\n...failure at copy.\n\nDeleting workspace...");
  }
  EXPECT_EQ(driver::ReadFileBytes(app + "\\plugin.dll"), "v1");
  EXPECT_TRUE(driver::Exists(app + "\\data\\inner.txt"));
  std::vector<std::string> copied = ProfileList(ini, "CopiedFile");
  std::sort(copied.begin(), copied.end());
  EXPECT_EQ(copied, (std::vector<std::string>{app + "\\data", app + "\\plugin.dll"}));
  EXPECT_EQ(ProfileList(ini, "MakedDirectory"), std::vector<std::string>{app});
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, (std::string(kUninstallKey) + "\\" + missing).c_str(), 0, KEY_READ,
                          &key),
            ERROR_SUCCESS)
      << "a name without a key leaves an empty key";
  RegCloseKey(key);
}

// The "Browse for Folder" dialog of a process: a dialog with the folder tree.
HWND BrowseDialog(DWORD processId) {
  for (HWND window : driver::TopLevelWindows(processId))
    if (IsWindowVisible(window) && driver::ClassName(window) == "#32770" && GetDlgItem(window, 14145)) return window;
  return nullptr;
}

TEST_F(Distribution, UserFolderIsAskedOnceForTheTokenAndTheFinalCommand) {
  std::string chosen = root_ + "\\chosen";
  ASSERT_TRUE(driver::MakeFolders(chosen));
  Put("[User]\\picked.txt", "picked");
  PutBatch("[User]\\open.bat", root_ + "\\user ran.txt");
  std::string built = Build("user folder", "[User]\\open.bat");
  // Started from the chosen folder, which the dialog preselects.
  driver::Process process = Start(built, chosen);
  int dialogs = 0;
  std::string preselected;
  DWORD code = 99;
  for (DWORD waited = 0; waited < kRunTimeoutMs && !process.Wait(0, &code); waited += 50, Sleep(50)) {
    HWND dialog = BrowseDialog(process.id());
    if (!dialog) continue;
    ++dialogs;
    // The dialog preselects the current folder some time after it shows.
    preselected = driver::BrowseSelection(dialog);
    for (int i = 0; i < 400 && preselected != "chosen"; ++i, Sleep(50)) preselected = driver::BrowseSelection(dialog);
    driver::SelectBrowseFolder(dialog, chosen);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    while (IsWindow(dialog)) Sleep(20);
  }
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(dialogs, 1);
  // Wine's dialog now and then drops the selection its set-up asks for and
  // shows none; when it shows one, it is the current folder.
  EXPECT_TRUE(preselected.empty() || preselected == "chosen") << preselected;
  EXPECT_EQ(driver::ReadFileBytes(chosen + "\\picked.txt"), "picked");
  EXPECT_TRUE(driver::WaitForLine(root_ + "\\user ran.txt"));
}

TEST_F(Distribution, CancelledUserFolderLeavesItUnmoved) {
  Put("[User]\\stays.txt", "stays");
  std::string built = Build("user cancel");
  driver::Process process = Start(built);
  HWND window = driver::WaitForWindow(process.id(), "#32770", "user cancel", 10000);
  ASSERT_NE(window, nullptr);
  HWND dialog = nullptr;
  for (int i = 0; i < 400 && !(dialog = BrowseDialog(process.id())); ++i) Sleep(50);
  ASSERT_NE(dialog, nullptr);
  Sleep(300);
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  std::vector<std::string> texts = driver::FollowTexts(process, window, kProgressText, kRunTimeoutMs);
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts.back(), "1 File\n5 Bytes\n...failure at copy.\n\nDeleting workspace...");
}

TEST_F(Distribution, FinalCommandNamingAFolderOpensItAndOneWithArgumentsOpensNothing) {
  Put("[Environment]\\SFX_E2E_DEST\\x.txt");
  Run(Build("open folder", "[Environment]\\SFX_E2E_DEST"));
  // The folder opens in a shell window of its own process.
  HWND shown = nullptr;
  for (int i = 0; i < 200 && !shown; ++i, Sleep(50)) {
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT))
      if (IsWindowVisible(window) && driver::WindowText(window).find("dest") != std::string::npos) shown = window;
  }
  EXPECT_NE(shown, nullptr) << "no window shows the folder";
  if (shown) PostMessageA(shown, WM_CLOSE, 0, 0);

  PutBatch("[Environment]\\SFX_E2E_DEST\\run.bat", root_ + "\\args ran.txt");
  Run(Build("with arguments", "[Environment]\\SFX_E2E_DEST\\run.bat now"));
  Sleep(1000);
  EXPECT_FALSE(driver::Exists(root_ + "\\args ran.txt"));
}

}  // namespace
