// Opening the "[shell]" items and the final command through Wine's shell.
#include <gtest/gtest.h>

#include "stub.h"
#include "window_driver.h"

namespace {

class Launch : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = "C:\\sfx win32\\" + std::string(info->name());
    workspace_ = root_ + "\\work space";
    driver::RemoveTree(root_);
    ASSERT_TRUE(driver::MakeFolders(workspace_));
  }
  void TearDown() override {
    if (!HasFailure()) driver::RemoveTree(root_);
  }
  // A batch file that leaves `marker` behind when it runs, with the folder
  // it ran in.
  std::string Batch(const std::string& path, const std::string& marker) {
    driver::MakeFolders(path.substr(0, path.rfind('\\')));
    EXPECT_TRUE(driver::WriteFileBytes(path, "@echo off\r\ncd> \"" + marker + "\"\r\n"));
    return path;
  }
  std::string root_, workspace_;
};

TEST_F(Launch, ShellItemsStartFromTheirFolder) {
  Batch(workspace_ + "\\[shell]\\first.bat", root_ + "\\first.txt");
  Batch(workspace_ + "\\[shell]\\second.bat", root_ + "\\second.txt");
  Batch(workspace_ + "\\[shell]\\sub\\not me.bat", root_ + "\\sub.txt");
  EXPECT_TRUE(RunShellItems(nullptr, workspace_.c_str()));
  ASSERT_TRUE(driver::WaitForLine(root_ + "\\first.txt"));
  ASSERT_TRUE(driver::WaitForLine(root_ + "\\second.txt"));
  std::string folder = driver::ReadFileBytes(root_ + "\\first.txt");
  EXPECT_EQ(folder.substr(0, folder.find_first_of("\r\n")), workspace_ + "\\[shell]");
  Sleep(300);
  EXPECT_FALSE(driver::Exists(root_ + "\\sub.txt")) << "subfolders are not opened";
}

TEST_F(Launch, NoShellItemsStartNothing) {
  EXPECT_FALSE(RunShellItems(nullptr, workspace_.c_str())) << "no [shell] folder";
  driver::MakeFolders(workspace_ + "\\[shell]\\only a folder");
  EXPECT_FALSE(RunShellItems(nullptr, workspace_.c_str())) << "only a subfolder";
}

TEST_F(Launch, FinalCommandForms) {
  std::string app = root_ + "\\App Folder";
  driver::MakeFolders(app);
  driver::WriteFileBytes(app + "\\Setup.exe", "MZ");
  std::string name = "sfx-launch-test app";
  HKEY key;
  std::string keyPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + name;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  std::string uninstall = app + "\\Setup.exe uninstall";
  RegSetValueExA(key, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(uninstall.c_str()),
                 static_cast<DWORD>(uninstall.size() + 1));
  RegCloseKey(key);
  SetEnvironmentVariableA("SFX_TEST_LAUNCH", (root_ + "\\env").c_str());
  SetEnvironmentVariableA("TMP", (root_ + "\\temp").c_str());

  struct Case {
    std::string command, batch, marker;
  } cases[] = {
      {root_ + "\\full\\run.bat", root_ + "\\full\\run.bat", root_ + "\\full.txt"},
      {"[Temporary]\\sub\\run.bat", root_ + "\\temp\\sub\\run.bat", root_ + "\\temporary.txt"},
      {"[Environment]\\SFX_TEST_LAUNCH\\run.bat", root_ + "\\env\\run.bat", root_ + "\\environment.txt"},
      {"[Application]\\" + name + "\\run.bat", app + "\\run.bat", root_ + "\\application.txt"},
      {"[application]\\" + name + "\\lower.bat", app + "\\lower.bat", root_ + "\\lower.txt"},
  };
  for (const Case& c : cases) {
    Batch(c.batch, c.marker);
    char command[MAX_PATH];
    lstrcpynA(command, c.command.c_str(), sizeof command);
    RunFinalCommand(nullptr, command);
    EXPECT_TRUE(driver::WaitForLine(c.marker)) << c.command;
    std::string folder = driver::ReadFileBytes(c.marker);
    EXPECT_EQ(folder.substr(0, folder.find_first_of("\r\n")), c.batch.substr(0, c.batch.rfind('\\')))
        << "runs in its own folder";
  }

  // Not one path: nothing opens.
  Batch(root_ + "\\args\\run.bat", root_ + "\\args.txt");
  for (std::string text : {root_ + "\\args\\run.bat --quiet", std::string("[Nowhere]\\args\\run.bat"),
                           std::string("[Application]\\sfx-launch-test missing\\run.bat")}) {
    char command[MAX_PATH];
    lstrcpynA(command, text.c_str(), sizeof command);
    RunFinalCommand(nullptr, command);
  }
  Sleep(500);
  EXPECT_FALSE(driver::Exists(root_ + "\\args.txt"));
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, keyPath.c_str());
  RegDeleteKeyA(HKEY_LOCAL_MACHINE,
                "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\sfx-launch-test missing");
}

}  // namespace
