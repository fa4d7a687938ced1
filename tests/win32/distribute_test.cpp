// Distribution of a workspace into Wine's real folders and registry, and
// the records it leaves in an installed application's Setup.ini.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <atomic>
#include <thread>

#include "stub.h"
#include "window_driver.h"

namespace {

const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::string ShellFolderPath(int csidl) {
  char path[MAX_PATH] = "";
  SHGetSpecialFolderPathA(nullptr, path, csidl, TRUE);
  return path;
}

std::string ProgramFilesDir() {
  char path[MAX_PATH] = "";
  DWORD size = sizeof path;
  RegGetValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", RRF_RT_REG_SZ,
               nullptr, path, &size);
  return path;
}

std::string Joined(const std::string& folder, const std::string& name) {
  return folder.empty() || folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

std::string Profile(const std::string& ini, const char* section, const char* key) {
  char value[MAX_PATH];
  GetPrivateProfileStringA(section, key, "", value, sizeof value, ini.c_str());
  return value;
}

std::vector<std::string> ProfileList(const std::string& ini, const char* section) {
  std::vector<std::string> values;
  int count = GetPrivateProfileIntA(section, "Count", 0, ini.c_str());
  for (int i = 0; i < count; ++i) values.push_back(Profile(ini, section, std::to_string(i).c_str()));
  return values;
}

class Distribution : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    tag_ = std::string("sfx-") + info->name();
    root_ = "C:\\sfx win32\\" + std::string(info->name());
    workspace_ = root_ + "\\work space";
    driver::RemoveTree(root_);
    ASSERT_TRUE(driver::MakeFolders(workspace_));
    ForgetUserFolder();
  }
  void TearDown() override {
    for (const std::string& path : cleanup_) {
      driver::RemoveTree(path);
      DeleteFileA(path.c_str());
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

  // A file of `size` bytes at workspace\relative.
  void Put(const std::string& relative, const std::string& content = "x") {
    std::string path = workspace_ + "\\" + relative;
    driver::MakeFolders(path.substr(0, path.rfind('\\')));
    ASSERT_TRUE(driver::WriteFileBytes(path, content)) << path;
  }

  // Registers an application the way setup does, installed in `folder`.
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

  bool KeyExists(const std::string& name) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (std::string(kUninstallKey) + "\\" + name).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
      return false;
    RegCloseKey(key);
    return true;
  }

  std::string tag_, root_, workspace_;
  std::vector<std::string> cleanup_;
  std::vector<std::string> keys_;
};

TEST_F(Distribution, EveryTokenMovesItsFolderWhereItPoints) {
  SetEnvironmentVariableA("TMP", (root_ + "\\tmp").c_str());
  driver::MakeFolders(root_ + "\\tmp");
  char windows[MAX_PATH], system[MAX_PATH];
  GetWindowsDirectoryA(windows, sizeof windows);
  GetSystemDirectoryA(system, sizeof system);
  struct Case {
    const char* token;
    std::string folder;
  } cases[] = {
      {"[System]", system},
      {"[Windows]", windows},
      {"[Desktop]", ShellFolderPath(CSIDL_DESKTOPDIRECTORY)},
      {"[Programs]", ProgramFilesDir()},
      {"[ProgramMenu]", ShellFolderPath(CSIDL_PROGRAMS)},
      {"[Menu]", ShellFolderPath(CSIDL_STARTMENU)},
      {"[Startup]", ShellFolderPath(CSIDL_STARTUP)},
      {"[sendto]", ShellFolderPath(CSIDL_SENDTO)},  // tokens ignore case
      {"[Recent]", ShellFolderPath(CSIDL_RECENT)},
      {"[Temporary]", root_ + "\\tmp\\"},
  };
  for (const Case& c : cases) {
    ASSERT_FALSE(c.folder.empty()) << c.token;
    Put(std::string(c.token) + "\\" + tag_ + ".txt", c.token);
    cleanup_.push_back(Joined(c.folder, tag_ + ".txt"));
  }
  Put("[Desktop]\\.hidden\\" + tag_ + ".txt");  // dot-folders neither move nor count
  Put("[Nowhere]\\" + tag_ + ".txt", "12345");  // an unknown token stays
  Put("[shell]\\setup.ini");                    // opened earlier, then deleted
  Put("$.lzh", "archive");                      // files at the top stay put

  DistributeWorkspace(nullptr, workspace_.c_str());

  for (const Case& c : cases) {
    std::string moved = Joined(c.folder, tag_ + ".txt");
    EXPECT_EQ(driver::ReadFileBytes(moved), c.token) << moved;
    EXPECT_FALSE(driver::Exists(workspace_ + "\\" + c.token + "\\" + tag_ + ".txt")) << c.token;
  }
  EXPECT_FALSE(driver::Exists(ShellFolderPath(CSIDL_DESKTOPDIRECTORY) + "\\.hidden"));
  EXPECT_TRUE(driver::Exists(workspace_ + "\\[Desktop]\\.hidden\\" + tag_ + ".txt"));
  EXPECT_FALSE(driver::Exists(workspace_ + "\\[shell]"));
  DWORD files = 0, bytes = 0;
  CountTree(workspace_.c_str(), 0, &files, &bytes);
  EXPECT_EQ(files, 1u) << "only the unknown token's file is left over";
  EXPECT_EQ(bytes, 5u);
}

TEST_F(Distribution, TemporaryWithoutTmpAndTempStays) {
  std::string tmp(MAX_PATH, '\0'), temp(MAX_PATH, '\0');
  tmp.resize(GetEnvironmentVariableA("TMP", &tmp[0], MAX_PATH));
  temp.resize(GetEnvironmentVariableA("TEMP", &temp[0], MAX_PATH));
  SetEnvironmentVariableA("TMP", nullptr);
  SetEnvironmentVariableA("TEMP", nullptr);
  Put("[Temporary]\\" + tag_ + ".txt");
  DistributeWorkspace(nullptr, workspace_.c_str());
  SetEnvironmentVariableA("TMP", tmp.empty() ? nullptr : tmp.c_str());
  SetEnvironmentVariableA("TEMP", temp.empty() ? nullptr : temp.c_str());
  EXPECT_TRUE(driver::Exists(workspace_ + "\\[Temporary]\\" + tag_ + ".txt"));
}

TEST_F(Distribution, EnvironmentVariablesNameFolders) {
  std::string folder = root_ + "\\env folder", file = root_ + "\\env file\\named.txt", first = root_ + "\\first",
              second = root_ + "\\second";
  for (const std::string& f : {folder, first, second, root_ + "\\env file"}) driver::MakeFolders(f);
  driver::WriteFileBytes(file, "x");
  SetEnvironmentVariableA("SFX_TEST_FOLDER", folder.c_str());
  SetEnvironmentVariableA("SFX_TEST_FILE", file.c_str());
  SetEnvironmentVariableA("SFX_TEST_LIST", (first + ";" + second).c_str());
  SetEnvironmentVariableA("SFX_TEST_UNSET", nullptr);
  for (const char* variable : {"SFX_TEST_FOLDER", "SFX_TEST_FILE", "SFX_TEST_LIST", "SFX_TEST_UNSET"})
    Put(std::string("[Environment]\\") + variable + "\\from " + variable + ".txt");

  DistributeWorkspace(nullptr, workspace_.c_str());

  EXPECT_TRUE(driver::Exists(folder + "\\from SFX_TEST_FOLDER.txt"));
  EXPECT_TRUE(driver::Exists(root_ + "\\env file\\from SFX_TEST_FILE.txt")) << "a file stands for its folder";
  EXPECT_TRUE(driver::Exists(first + "\\from SFX_TEST_LIST.txt")) << "a list stands for its first folder";
  EXPECT_TRUE(driver::Exists(workspace_ + "\\[Environment]\\SFX_TEST_UNSET\\from SFX_TEST_UNSET.txt"));

  char resolved[MAX_PATH], title[kTitleSize];
  ASSERT_TRUE(ResolveEnvironmentFolder("SFX_TEST_FILE", resolved, title));
  EXPECT_EQ(std::string(resolved), root_ + "\\env file");
  EXPECT_STREQ(title, "Copy to env=SFX_TEST_FILE...");
}

TEST_F(Distribution, ApplicationFolderComesFromTheUninstallString) {
  std::string app = root_ + "\\Program Files\\Demo App";
  ASSERT_TRUE(driver::MakeFolders(app));
  ASSERT_TRUE(driver::WriteFileBytes(app + "\\Setup.exe", "MZ"));
  struct Case {
    const char* suffix;
    std::string uninstallString;
  } cases[] = {
      {"plain", app + "\\Setup.exe"},
      {"argument", app + "\\Setup.exe uninstall"},
      {"quoted", "\"" + app + "\\Setup.exe\""},
      {"quoted argument", "\"" + app + "\\Setup.exe\" uninstall"},
      {"folder", app},
  };
  for (const Case& c : cases) {
    std::string name = tag_ + " " + c.suffix;
    Register(name, c.uninstallString);
    char folder[MAX_PATH] = "", title[kTitleSize] = "";
    ASSERT_TRUE(ResolveApplicationFolder(name.c_str(), folder, title)) << c.uninstallString;
    EXPECT_EQ(std::string(folder), app) << c.uninstallString;
    EXPECT_EQ(std::string(title), "Copy to app=" + name + "...");
  }
  std::string gone = tag_ + " gone";
  Register(gone, root_ + "\\nowhere\\Setup.exe uninstall");
  char folder[MAX_PATH] = "unchanged";
  EXPECT_FALSE(ResolveApplicationFolder(gone.c_str(), folder, nullptr));

  // A name without a key leaves an empty key behind and resolves nowhere.
  std::string missing = tag_ + " missing";
  keys_.push_back(missing);
  EXPECT_FALSE(ResolveApplicationFolder(missing.c_str(), folder, nullptr));
  EXPECT_TRUE(KeyExists(missing));
}

TEST_F(Distribution, ApplicationDestinationIsRecordedOnceInItsSetupIni) {
  std::string app = root_ + "\\Installed";
  ASSERT_TRUE(driver::MakeFolders(app));
  ASSERT_TRUE(driver::WriteFileBytes(app + "\\Setup.exe", "MZ"));
  std::string ini = app + "\\Setup.ini";
  WritePrivateProfileStringA("Root", "Named", "Demo", ini.c_str());
  WritePrivateProfileStringA("MakedDirectory", "Count", "1", ini.c_str());
  WritePrivateProfileStringA("MakedDirectory", "0", app.c_str(), ini.c_str());
  std::string name = tag_ + " app";
  Register(name, app + "\\Setup.exe uninstall");

  for (int run = 0; run < 2; ++run) {
    Put("[Application]\\" + name + "\\plugin.dll", "v" + std::to_string(run));
    Put("[Application]\\" + name + "\\data\\inner.txt");
    Put("[Application]\\" + tag_ + " unknown\\left.txt");
    DistributeWorkspace(nullptr, workspace_.c_str());
  }
  EXPECT_EQ(driver::ReadFileBytes(app + "\\plugin.dll"), "v1") << "the second run replaces the file";
  EXPECT_TRUE(driver::Exists(app + "\\data\\inner.txt"));
  std::vector<std::string> copied = ProfileList(ini, "CopiedFile");
  ASSERT_EQ(copied.size(), 2u) << "each entry once, the folder as one entry";
  EXPECT_NE(std::find(copied.begin(), copied.end(), app + "\\plugin.dll"), copied.end());
  EXPECT_NE(std::find(copied.begin(), copied.end(), app + "\\data"), copied.end());
  EXPECT_EQ(ProfileList(ini, "MakedDirectory"), std::vector<std::string>{app});
  EXPECT_TRUE(driver::Exists(workspace_ + "\\[Application]\\" + tag_ + " unknown\\left.txt"));
  keys_.push_back(tag_ + " unknown");
}

TEST_F(Distribution, NewParentFoldersAreRecordedOutermostFirst) {
  std::string ini = root_ + "\\records.ini";
  RecordMadeDirectory(ini.c_str(), (root_ + "\\a\\b\\file.txt").c_str());
  RecordMadeDirectory(ini.c_str(), (root_ + "\\a\\c\\file.txt").c_str());
  std::vector<std::string> expected = {"C:\\sfx win32", root_, root_ + "\\a", root_ + "\\a\\b", root_ + "\\a\\c"};
  EXPECT_EQ(ProfileList(ini, "MakedDirectory"), expected);
  // A file in the root of a drive has no folder to record.
  RecordMadeDirectory(ini.c_str(), "C:\\file.txt");
  EXPECT_EQ(ProfileList(ini, "MakedDirectory").size(), expected.size());

  EXPECT_TRUE(RecordCopiedFile(ini.c_str(), "C:\\x\\One.txt"));
  EXPECT_FALSE(RecordCopiedFile(ini.c_str(), "c:\\X\\one.TXT")) << "compared ignoring case";
  EXPECT_EQ(ProfileList(ini, "CopiedFile"), std::vector<std::string>{"C:\\x\\One.txt"});
}

TEST_F(Distribution, ExistingFilesAreReplaced) {
  std::string target = root_ + "\\target";
  driver::MakeFolders(target);
  driver::WriteFileBytes(target + "\\same.txt", "old");
  SetEnvironmentVariableA("SFX_TEST_TARGET", target.c_str());
  Put("[Environment]\\SFX_TEST_TARGET\\same.txt", "new");
  DistributeWorkspace(nullptr, workspace_.c_str());
  EXPECT_EQ(driver::ReadFileBytes(target + "\\same.txt"), "new");
}

// Answers the folder dialog of this process from another thread: selects
// `folder` (or cancels when empty) and notes what it saw.
class FolderDialogAnswerer {
 public:
  explicit FolderDialogAnswerer(std::string folder)
      : folder_(std::move(folder)), thread_([this] { Run(); }) {}
  ~FolderDialogAnswerer() {
    stop_ = true;
    thread_.join();
  }
  int dialogs() const { return dialogs_; }
  std::string title() const { return title_; }
  std::string preselected() const { return preselected_; }

 private:
  void Run() {
    while (!stop_) {
      HWND dialog = driver::WaitForWindow(GetCurrentProcessId(), "#32770", nullptr, 100);
      if (!dialog) continue;
      ++dialogs_;
      // The text above the tree is the caller's title.
      for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (driver::ClassName(child) == "Static" && !driver::WindowText(child).empty() && title_.empty())
          title_ = driver::WindowText(child);
      // The dialog preselects the current folder some time after it shows:
      // a fresh prefix may take seconds.
      preselected_ = driver::BrowseSelection(dialog);
      for (int i = 0; i < 400 && !folder_.empty() && preselected_ != Name(folder_); ++i, Sleep(50))
        preselected_ = driver::BrowseSelection(dialog);
      if (folder_.empty()) {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
      } else {
        driver::SelectBrowseFolder(dialog, folder_);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
      }
      while (IsWindow(dialog) && !stop_) Sleep(20);
    }
  }

  static std::string Name(const std::string& folder) { return folder.substr(folder.rfind('\\') + 1); }

  std::string folder_;
  std::atomic<bool> stop_{false};
  std::atomic<int> dialogs_{0};
  std::string title_, preselected_;
  std::thread thread_;
};

// Runs `action` with `folder` as the current folder.
template <typename Action>
void InFolder(const std::string& folder, Action action) {
  char current[MAX_PATH];
  GetCurrentDirectoryA(sizeof current, current);
  SetCurrentDirectoryA(folder.c_str());
  action();
  SetCurrentDirectoryA(current);
}

TEST_F(Distribution, UserFolderIsAskedOncePerRun) {
  // The dialog preselects the current folder: the user only confirms it.
  std::string chosen = root_ + "\\chosen";
  driver::MakeFolders(chosen);
  Put("[User]\\picked.txt");
  ASSERT_TRUE(driver::WriteFileBytes(chosen + "\\open me.bat", "@echo off\r\necho done> \"" + chosen + "\\ran.txt\"\r\n"));
  int dialogs;
  std::string title, preselected;
  InFolder(chosen, [&] {
    FolderDialogAnswerer answerer(chosen);
    DistributeWorkspace(nullptr, workspace_.c_str());
    char command[MAX_PATH] = "[User]\\open me.bat";
    RunFinalCommand(nullptr, command);
    Sleep(300);
    dialogs = answerer.dialogs();
    title = answerer.title();
    preselected = answerer.preselected();
  });
  EXPECT_EQ(dialogs, 1);
  // Wine's dialog now and then drops the selection its set-up asks for and
  // shows none; when it shows one, it is the current folder.
  EXPECT_TRUE(preselected.empty() || preselected == "chosen") << preselected;
  EXPECT_EQ(title, "\x83\x52\x83\x73\x81\x5B\x90\xE6\x82\xF0\x8E\x77\x92\xE8\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2")
      << "\"copy destination\" in code page 932";
  EXPECT_TRUE(driver::Exists(chosen + "\\picked.txt"));
  for (int i = 0; i < 400 && !driver::Exists(chosen + "\\ran.txt"); ++i) Sleep(50);
  EXPECT_TRUE(driver::Exists(chosen + "\\ran.txt")) << "the final command below [User] ran";
}

TEST_F(Distribution, CancelledUserFolderLeavesTheFolderUnmoved) {
  Put("[User]\\stays.txt");
  InFolder(workspace_, [&] {
    FolderDialogAnswerer answerer("");
    DistributeWorkspace(nullptr, workspace_.c_str());
  });
  EXPECT_TRUE(driver::Exists(workspace_ + "\\[User]\\stays.txt"));
}

}  // namespace
