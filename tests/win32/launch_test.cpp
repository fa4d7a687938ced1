// Opening the "[shell]" items and the final command through Wine's shell.
#include <gtest/gtest.h>

#include "stub.h"
#include "workspace_test.h"

namespace {

class Launch : public WorkspaceTest {
 protected:
  void TearDown() override {
    ForgetShellPrograms();  // what RunShellItems kept
    WorkspaceTest::TearDown();
  }
  // A batch file at `path` that leaves `marker` behind when it runs.
  void Batch(const std::string& path, const std::string& marker) {
    EXPECT_TRUE(driver::PutFile(path, driver::FolderMarkerBatch(marker))) << path;
  }
  void FinalCommand(const std::string& text) {
    char command[MAX_PATH];
    lstrcpynA(command, text.c_str(), sizeof command);
    RunFinalCommand(nullptr, command);
  }
};

TEST_F(Launch, ShellItemsStartFromTheirFolder) {
  Batch(workspace_ + "\\[shell]\\first.bat", root_ + "\\first.txt");
  Batch(workspace_ + "\\[shell]\\second.bat", root_ + "\\second.txt");
  Batch(workspace_ + "\\[shell]\\sub\\not me.bat", root_ + "\\sub.txt");
  driver::LaterPrograms started;
  EXPECT_TRUE(RunShellItems(nullptr, workspace_.c_str()));
  ASSERT_TRUE(driver::WaitForLine(root_ + "\\first.txt"));
  ASSERT_TRUE(driver::WaitForLine(root_ + "\\second.txt"));
  EXPECT_EQ(driver::MarkedFolder(root_ + "\\first.txt"), workspace_ + "\\[shell]");
  // Whatever the call opened has ended, so a marker of the subfolder's batch would be there.
  ASSERT_TRUE(started.WaitUntilEnded());
  EXPECT_FALSE(driver::Exists(root_ + "\\sub.txt")) << "subfolders are not opened";
}

TEST_F(Launch, ProgramsAreKeptUntilTheyEndAndDocumentsAreNot) {
  std::string release = root_ + "\\release.txt";
  ASSERT_TRUE(driver::PutFile(workspace_ + "\\[shell]\\Setup.BAT",
                              ":Wait\r\nif not exist \"" + release + "\" goto Wait\r\n"));
  ASSERT_TRUE(driver::PutFile(workspace_ + "\\[shell]\\notes.ini", "[a]\r\n"));  // Wine's editor shows it
  ASSERT_TRUE(RunShellItems(nullptr, workspace_.c_str()));
  HWND editor = driver::WaitForWindow(0, "Notepad", nullptr, 10000);
  EXPECT_NE(editor, nullptr);
  ASSERT_NE(RunningShellProgram(), nullptr);
  EXPECT_STREQ(RunningShellProgram(), "Setup.BAT");
  ASSERT_TRUE(driver::WriteFileBytes(release, "go"));
  // The editor still shows the document, and is not waited for.
  DWORD until = GetTickCount() + 20000;
  while (RunningShellProgram() && static_cast<LONG>(until - GetTickCount()) > 0) Sleep(50);
  EXPECT_EQ(RunningShellProgram(), nullptr);
  if (editor) PostMessageA(editor, WM_CLOSE, 0, 0);
}

TEST_F(Launch, NoShellItemsStartNothing) {
  EXPECT_FALSE(RunShellItems(nullptr, workspace_.c_str())) << "no [shell] folder";
  driver::MakeFolders(workspace_ + "\\[shell]\\only a folder");
  EXPECT_FALSE(RunShellItems(nullptr, workspace_.c_str())) << "only a subfolder";
}

TEST_F(Launch, FinalCommandForms) {
  std::string app = root_ + "\\App Folder";
  ASSERT_TRUE(driver::PutFile(app + "\\Setup.exe", "MZ"));
  std::string name = tag_ + " app", missing = tag_ + " missing";
  RegisterApplication(name, app + "\\Setup.exe uninstall");
  DeleteKeyAtEnd(HKEY_LOCAL_MACHINE, driver::UninstallKey(missing));  // looking it up leaves it empty
  SetVariable("SFX_TEST_LAUNCH", (root_ + "\\env").c_str());
  SetVariable("TMP", (root_ + "\\temp").c_str());

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
    FinalCommand(c.command);
    EXPECT_TRUE(driver::WaitForLine(c.marker)) << c.command;
    EXPECT_EQ(driver::MarkedFolder(c.marker), driver::ParentOf(c.batch)) << "runs in its own folder";
  }

  // Not one path: nothing opens.
  Batch(root_ + "\\args\\run.bat", root_ + "\\args.txt");
  driver::LaterPrograms started;
  for (std::string text : {root_ + "\\args\\run.bat --quiet", std::string("[Nowhere]\\args\\run.bat"),
                           "[Application]\\" + missing + "\\run.bat"})
    FinalCommand(text);
  // Whatever the calls opened has ended, so the batch's marker would be there.
  ASSERT_TRUE(started.WaitUntilEnded());
  EXPECT_FALSE(driver::Exists(root_ + "\\args.txt"));
}

}  // namespace
