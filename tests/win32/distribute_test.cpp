// Distribution of a workspace into Wine's real folders and registry, and
// the records it leaves in an installed application's Setup.ini.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "stub.h"
#include "workspace_test.h"

namespace {

class Distribution : public WorkspaceTest {
 protected:
  void SetUp() override {
    WorkspaceTest::SetUp();
    ForgetUserFolder();
  }
};

TEST_F(Distribution, EveryTokenMovesItsFolderWhereItPoints) {
  SetVariable("TMP", (root_ + "\\tmp").c_str());
  driver::MakeFolders(root_ + "\\tmp");
  const std::vector<driver::TokenFolder> cases = driver::TokenFolders(root_ + "\\tmp\\");
  for (const driver::TokenFolder& c : cases) {
    ASSERT_FALSE(c.folder.empty()) << c.token;
    Put(std::string(c.token) + "\\" + tag_ + ".txt", c.token);
    RemoveAtEnd(driver::Joined(c.folder, tag_ + ".txt"));
  }
  Put("[Desktop]\\.hidden\\" + tag_ + ".txt");  // dot-folders neither move nor count
  Put("[Nowhere]\\" + tag_ + ".txt", "12345");  // an unknown token stays
  Put("[shell]\\setup.ini");                    // opened earlier, then deleted
  Put("$.lzh", "archive");                      // files at the top stay put

  DistributeWorkspace(nullptr, workspace_.c_str());

  for (const driver::TokenFolder& c : cases) {
    std::string moved = driver::Joined(c.folder, tag_ + ".txt");
    EXPECT_EQ(driver::ReadFileBytes(moved), c.token) << moved;
    EXPECT_FALSE(driver::Exists(workspace_ + "\\" + c.token + "\\" + tag_ + ".txt")) << c.token;
  }
  EXPECT_FALSE(driver::Exists(driver::ShellFolder(CSIDL_DESKTOPDIRECTORY) + "\\.hidden"));
  EXPECT_TRUE(driver::Exists(workspace_ + "\\[Desktop]\\.hidden\\" + tag_ + ".txt"));
  EXPECT_FALSE(driver::Exists(workspace_ + "\\[shell]"));
  DWORD files = 0, bytes = 0;
  CountTree(workspace_.c_str(), 0, &files, &bytes);
  EXPECT_EQ(files, 1u) << "only the unknown token's file is left over";
  EXPECT_EQ(bytes, 5u);
}

TEST_F(Distribution, TemporaryWithoutTmpAndTempStays) {
  SetVariable("TMP", nullptr);
  SetVariable("TEMP", nullptr);
  Put("[Temporary]\\" + tag_ + ".txt");
  DistributeWorkspace(nullptr, workspace_.c_str());
  EXPECT_TRUE(driver::Exists(workspace_ + "\\[Temporary]\\" + tag_ + ".txt"));
}

TEST_F(Distribution, EnvironmentVariablesNameFolders) {
  std::string folder = root_ + "\\env folder", file = root_ + "\\env file\\named.txt", first = root_ + "\\first",
              second = root_ + "\\second";
  for (const std::string& f : {folder, first, second, root_ + "\\env file"}) driver::MakeFolders(f);
  driver::WriteFileBytes(file, "x");
  SetVariable("SFX_TEST_FOLDER", folder.c_str());
  SetVariable("SFX_TEST_FILE", file.c_str());
  SetVariable("SFX_TEST_LIST", (first + ";" + second).c_str());
  SetVariable("SFX_TEST_UNSET", nullptr);
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
    RegisterApplication(name, c.uninstallString);
    char folder[MAX_PATH] = "", title[kTitleSize] = "";
    ASSERT_TRUE(ResolveApplicationFolder(name.c_str(), folder, title)) << c.uninstallString;
    EXPECT_EQ(std::string(folder), app) << c.uninstallString;
    EXPECT_EQ(std::string(title), "Copy to app=" + name + "...");
  }
  std::string gone = tag_ + " gone";
  RegisterApplication(gone, root_ + "\\nowhere\\Setup.exe uninstall");
  char folder[MAX_PATH] = "unchanged";
  EXPECT_FALSE(ResolveApplicationFolder(gone.c_str(), folder, nullptr));

  // A name without a key leaves an empty key behind and resolves nowhere.
  std::string missing = tag_ + " missing";
  DeleteKeyAtEnd(HKEY_LOCAL_MACHINE, driver::UninstallKey(missing));
  EXPECT_FALSE(ResolveApplicationFolder(missing.c_str(), folder, nullptr));
  EXPECT_TRUE(driver::KeyExists(HKEY_LOCAL_MACHINE, driver::UninstallKey(missing)));
}

TEST_F(Distribution, ApplicationDestinationIsRecordedOnceInItsSetupIni) {
  std::string app = root_ + "\\Installed";
  std::string ini = driver::MakeInstalledApplication(app);
  std::string name = tag_ + " app";
  RegisterApplication(name, app + "\\Setup.exe uninstall");
  DeleteKeyAtEnd(HKEY_LOCAL_MACHINE, driver::UninstallKey(tag_ + " unknown"));

  for (int run = 0; run < 2; ++run) {
    Put("[Application]\\" + name + "\\plugin.dll", "v" + std::to_string(run));
    Put("[Application]\\" + name + "\\data\\inner.txt");
    Put("[Application]\\" + tag_ + " unknown\\left.txt");
    DistributeWorkspace(nullptr, workspace_.c_str());
  }
  EXPECT_EQ(driver::ReadFileBytes(app + "\\plugin.dll"), "v1") << "the second run replaces the file";
  EXPECT_TRUE(driver::Exists(app + "\\data\\inner.txt"));
  // A moved folder is recorded by its files, so that the uninstall takes
  // them and not what else the folder comes to hold.
  std::vector<std::string> copied = driver::ProfileList(ini, "CopiedFile");
  std::sort(copied.begin(), copied.end());
  EXPECT_EQ(copied, (std::vector<std::string>{app + "\\data\\inner.txt", app + "\\plugin.dll"}));
  EXPECT_EQ(driver::ProfileList(ini, "MakedDirectory"), (std::vector<std::string>{app, app + "\\data"}));
  EXPECT_TRUE(driver::Exists(workspace_ + "\\[Application]\\" + tag_ + " unknown\\left.txt"));
}

TEST_F(Distribution, ApplicationRecordsOnlyWhatTheMoveBroughtAndRefusesItsOwnFiles) {
  std::string app = root_ + "\\Installed";
  std::string ini = driver::MakeInstalledApplication(app);
  ASSERT_TRUE(driver::WriteFileBytes(app + "\\user.txt", "the user's"));
  // Files unpacked from an archive keep their read-only attribute.
  ASSERT_TRUE(SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_READONLY));
  std::string name = tag_ + " app";
  RegisterApplication(name, app + "\\Setup.exe");
  std::string from = "[Application]\\" + name + "\\";
  Put(from + "new.txt", "new");
  Put(from + "user.txt", "replaced");                 // its place was taken
  Put(from + "sub\\deeper\\Setup.ini", "any name");  // refused only at the top
  Put(from + "held.txt", "held");                     // the move cannot take it
  Put(from + "Setup.ini", "[Root]\r\nNamed=elsewhere\r\n");
  Put(from + "SETUP.EXE", "MZ other");
  HANDLE held = CreateFileA((workspace_ + "\\" + from + "held.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  DistributeWorkspace(nullptr, workspace_.c_str());
  CloseHandle(held);

  EXPECT_EQ(driver::ReadFileBytes(app + "\\new.txt"), "new");
  EXPECT_EQ(driver::ReadFileBytes(app + "\\sub\\deeper\\Setup.ini"), "any name");
  EXPECT_FALSE(driver::Exists(app + "\\held.txt"));
  EXPECT_EQ(driver::ReadFileBytes(app + "\\Setup.exe"), "MZ") << "the installer stays the application's own";
  EXPECT_EQ(driver::ProfileString(ini, "Root", "Named"), "Demo");
  EXPECT_TRUE(driver::Exists(workspace_ + "\\" + from + "Setup.ini"));
  EXPECT_TRUE(driver::Exists(workspace_ + "\\" + from + "SETUP.EXE"));
  std::vector<std::string> copied = driver::ProfileList(ini, "CopiedFile");
  std::sort(copied.begin(), copied.end());
  EXPECT_EQ(copied, (std::vector<std::string>{app + "\\new.txt", app + "\\sub\\deeper\\Setup.ini"}));
  EXPECT_EQ(driver::ProfileList(ini, "MakedDirectory"),
            (std::vector<std::string>{app, app + "\\sub", app + "\\sub\\deeper"}));
  // Wine, run as root here, writes into a read-only file all the same;
  // Windows needs the attribute gone.
  EXPECT_FALSE(GetFileAttributesA(ini.c_str()) & FILE_ATTRIBUTE_READONLY);
}

TEST_F(Distribution, ApplicationWhoseRecordsCannotBeWrittenReceivesNothing) {
  std::string app = root_ + "\\Installed";
  std::string ini = driver::MakeInstalledApplication(app);
  std::string name = tag_ + " app";
  RegisterApplication(name, app + "\\Setup.exe");
  Put("[Application]\\" + name + "\\plugin.dll");
  // Another program holds the record open for reading only.
  HANDLE held = CreateFileA(ini.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  DistributeWorkspace(nullptr, workspace_.c_str());
  CloseHandle(held);
  EXPECT_FALSE(driver::Exists(app + "\\plugin.dll")) << "its uninstall would never remove it";
  EXPECT_TRUE(driver::Exists(workspace_ + "\\[Application]\\" + name + "\\plugin.dll"));
  EXPECT_EQ(driver::ProfileList(ini, "CopiedFile").size(), 0u);
}

TEST_F(Distribution, NewParentFoldersAreRecordedOutermostFirst) {
  std::string ini = root_ + "\\records.ini";
  RecordMadeDirectory(ini.c_str(), (root_ + "\\a\\b\\file.txt").c_str());
  RecordMadeDirectory(ini.c_str(), (root_ + "\\a\\c\\file.txt").c_str());
  std::string program = driver::ParentOf(root_);
  std::vector<std::string> expected = {program, root_, root_ + "\\a", root_ + "\\a\\b", root_ + "\\a\\c"};
  EXPECT_EQ(driver::ProfileList(ini, "MakedDirectory"), expected);
  // A file in the root of a drive has no folder to record.
  RecordMadeDirectory(ini.c_str(), "C:\\file.txt");
  EXPECT_EQ(driver::ProfileList(ini, "MakedDirectory").size(), expected.size());

  EXPECT_TRUE(RecordCopiedFile(ini.c_str(), "C:\\x\\One.txt"));
  EXPECT_FALSE(RecordCopiedFile(ini.c_str(), "c:\\X\\one.TXT")) << "compared ignoring case";
  EXPECT_EQ(driver::ProfileList(ini, "CopiedFile"), std::vector<std::string>{"C:\\x\\One.txt"});
}

TEST_F(Distribution, ExistingFilesAreReplaced) {
  std::string target = root_ + "\\target";
  driver::MakeFolders(target);
  driver::WriteFileBytes(target + "\\same.txt", "old");
  SetVariable("SFX_TEST_TARGET", target.c_str());
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
      if (folder_.empty()) {
        preselected_ = driver::BrowseSelection(dialog);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
      } else {
        preselected_ = driver::WaitForPreselection(dialog, driver::NameOf(folder_));
        driver::ChooseBrowseFolder(dialog, folder_);
      }
      while (IsWindow(dialog) && !stop_) Sleep(20);
    }
  }

  std::string folder_;
  std::atomic<bool> stop_{false};
  std::atomic<int> dialogs_{0};
  std::string title_, preselected_;
  std::thread thread_;
};

TEST_F(Distribution, UserFolderIsAskedOncePerRun) {
  // The dialog preselects the current folder: the user only confirms it.
  std::string chosen = root_ + "\\chosen";
  driver::MakeFolders(chosen);
  Put("[User]\\picked.txt");
  ASSERT_TRUE(driver::WriteFileBytes(chosen + "\\open me.bat", driver::FolderMarkerBatch(chosen + "\\ran.txt")));
  int dialogs;
  std::string title, preselected;
  EnterFolder(chosen);
  driver::ListFoldersUpTo(chosen);
  {
    FolderDialogAnswerer answerer(chosen);
    DistributeWorkspace(nullptr, workspace_.c_str());
    char command[MAX_PATH] = "[User]\\open me.bat";
    RunFinalCommand(nullptr, command);
    // A dialog holds the call that shows it, and is counted before it is
    // answered: every dialog of both calls is counted by now.
    dialogs = answerer.dialogs();
    title = answerer.title();
    preselected = answerer.preselected();
  }
  EXPECT_EQ(dialogs, 1);
  EXPECT_EQ(preselected, "chosen");
  EXPECT_EQ(title, "\x83\x52\x83\x73\x81\x5B\x90\xE6\x82\xF0\x8E\x77\x92\xE8\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2")
      << "\"copy destination\" in code page 932";
  EXPECT_TRUE(driver::Exists(chosen + "\\picked.txt"));
  EXPECT_TRUE(driver::WaitForLine(chosen + "\\ran.txt")) << "the final command below [User] ran";
  EXPECT_EQ(driver::MarkedFolder(chosen + "\\ran.txt"), chosen);
}

TEST_F(Distribution, CancelledUserFolderLeavesTheFolderUnmoved) {
  Put("[User]\\stays.txt");
  EnterFolder(workspace_);
  {
    FolderDialogAnswerer answerer("");
    DistributeWorkspace(nullptr, workspace_.c_str());
  }
  EXPECT_TRUE(driver::Exists(workspace_ + "\\[User]\\stays.txt"));
}

}  // namespace
