// Built files that move their token folders into this machine's folders,
// open their "[shell]" items and a final command. Made by sfxbuild as
// stub-extract files (Wine's extrac32 unpacks them) and run as a user runs
// them; the windows, files, registry and Setup.ini records are checked.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <map>

#include "built_file.h"

namespace {

class Distribution : public driver::BuiltFileTest {
 protected:
  // A batch file in the packed folder that writes the folder it runs in to `marker`.
  void PutBatch(const std::string& relative, const std::string& marker) {
    Put(relative, driver::FolderMarkerBatch(marker));
  }
  std::string Build(const std::string& name, const std::string& finalCommand = "", const char* format = "extract") {
    return PackFolder(name + ".exe", std::string("--format ") + format +
                                         (finalCommand.empty() ? "" : " --final \"" + finalCommand + "\""));
  }
};

TEST_F(Distribution, EveryTokenFolderGoesWhereItsTokenPoints) {
  const std::vector<driver::TokenFolder> cases = driver::TokenFolders(temp_);
  for (const driver::TokenFolder& c : cases) {
    Put(std::string(c.token) + "\\" + tag_ + ".txt", "12");  // 2 bytes each
    RemoveAtEnd(driver::Joined(c.folder, tag_ + ".txt"));
  }
  Put("[Windows]\\.hidden\\" + tag_ + ".txt", "not counted");
  Put("[Nowhere]\\left over.txt", "12345");
  std::string hidden = driver::Joined(driver::WindowsFolder(), ".hidden");
  RemoveAtEnd(hidden);

  std::vector<std::string> texts = Run(Build("tokens")).texts;
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(texts[texts.size() - 2], "Transport...\n\n11 Files\n25 Bytes");
  EXPECT_EQ(texts.back(), "1 File\n5 Bytes\n...failure at copy.\n\nDeleting workspace...");
  for (const driver::TokenFolder& c : cases)
    EXPECT_EQ(driver::ReadFileBytes(driver::Joined(c.folder, tag_ + ".txt")), "12") << c.token << " -> " << c.folder;
  EXPECT_FALSE(driver::Exists(hidden)) << "a dot-folder is not moved";
}

TEST_F(Distribution, EveryFormatDistributesTheSameFiles) {
  // The libraries of stub-lzh and stub-cab lie beside the built files.
  for (const char* library : {"lzhdec32.dll", "cab32.dll"})
    ASSERT_TRUE(driver::CopyFromProgramFolder(library, root_)) << library;
  std::string big(100000, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 7919) % 251);
  for (const char* format : {"lzh", "cab", "extract"}) {
    SCOPED_TRACE(format);
    Put("[shell]\\config\\setup.ini", "[Root]");
    Put("[Environment]\\SFX_E2E_DEST\\bin\\app.dll", big);
    Put("[Environment]\\SFX_E2E_DEST\\empty.txt", "");
    Put("[Temporary]\\notes.txt", "notes");
    std::vector<std::string> texts = Run(Build(std::string("format ") + format, "", format)).texts;
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[texts.size() - 2], "Transport...\n\n4 Files\n100,011 Bytes");
    EXPECT_EQ(texts.back(), "Deleting workspace...");
    EXPECT_TRUE(driver::ReadFileBytes(dest_ + "\\bin\\app.dll") == big);
    EXPECT_TRUE(driver::Exists(dest_ + "\\empty.txt"));
    EXPECT_EQ(driver::ReadFileBytes(temp_ + "\\notes.txt"), "notes");
    driver::RemoveTree(dest_);
    driver::MakeFolders(dest_);
    DeleteFileA((temp_ + "\\notes.txt").c_str());
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
    EXPECT_TRUE(driver::WaitForText(window, IDC_PROGRESS_TEXT, driver::kWaitingText, 30000));
    EXPECT_TRUE(driver::IsControlVisible(window, IDC_OK));
    EXPECT_TRUE(driver::IsControlVisible(window, IDC_CANCEL));
    EXPECT_TRUE(driver::WaitForLine(root_ + "\\shell ran.txt"));
    std::string folder = driver::MarkedFolder(root_ + "\\shell ran.txt");
    EXPECT_NE(folder.find("\\[shell]"), std::string::npos) << "started in its own folder: " << folder;
    EXPECT_FALSE(driver::Exists(dest_ + "\\payload.txt")) << "nothing moves before OK";
    return window;
  }

  std::string built_;
  driver::Process process_;
};

TEST_F(ShellRun, OkDistributesAndRunsTheFinalCommand) {
  HWND window = StartAndWait();
  ASSERT_NE(window, nullptr);
  std::string workspace = driver::WorkspaceIn(temp_);
  driver::Screenshot(driver::ScreenshotPath("waiting for OK"), window);
  driver::PressButton(window, IDC_OK);
  ASSERT_TRUE(process_.Wait(kRunTimeoutMs));
  EXPECT_EQ(driver::ReadFileBytes(dest_ + "\\payload.txt"), "payload");
  ASSERT_TRUE(driver::WaitForLine(root_ + "\\final ran.txt"));
  EXPECT_EQ(driver::MarkedFolder(root_ + "\\final ran.txt"), dest_);
  EXPECT_FALSE(driver::Exists(dest_ + "\\setup.bat")) << "[shell] is never distributed";
  EXPECT_FALSE(driver::Exists(workspace));
}

TEST_F(ShellRun, CancelSkipsDistributionAndTheFinalCommandButDeletesTheWorkspace) {
  HWND window = StartAndWait();
  ASSERT_NE(window, nullptr);
  std::string workspace = driver::WorkspaceIn(temp_);
  ASSERT_TRUE(driver::IsFolder(workspace));
  driver::PressButton(window, IDC_CANCEL);
  ASSERT_TRUE(process_.Wait(kRunTimeoutMs));
  // The final command would run in a program the stub starts: all of those have ended.
  ASSERT_TRUE(process_.WaitForItsPrograms());
  EXPECT_FALSE(driver::Exists(dest_ + "\\payload.txt"));
  EXPECT_FALSE(driver::Exists(root_ + "\\final ran.txt"));
  EXPECT_FALSE(driver::Exists(workspace));
}

TEST_F(Distribution, OkWhileTheShellProgramRunsWaitsForItsEnd) {
  const std::string program = driver::ReadFileBytes(driver::ProgramFolder() + "\\late-window.exe");
  Put("[shell]\\setup.exe", program);  // stays until it is ended
  Put("[Environment]\\SFX_E2E_DEST\\payload.txt", "payload");
  environment_["SFX_E2E_WINDOW_DELAY_MS"] = "0";
  environment_["SFX_E2E_WINDOW_SHOW_MS"] = "600000";
  driver::Process process = Start(Build("wait for setup"));
  HWND window = driver::WaitForWindow(process.id(), "#32770", "wait for setup", 10000);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(driver::WaitForText(window, IDC_PROGRESS_TEXT, driver::kWaitingText, 30000));
  std::string workspace = driver::WorkspaceIn(temp_);
  DWORD setup = 0;
  for (const driver::ChildProcess& child : driver::ChildrenOf(process.id()))
    if (child.name == "setup.exe") setup = child.id;
  ASSERT_NE(setup, 0u) << "setup.exe was not started";

  driver::PressButton(window, IDC_OK);
  const std::string waiting = "Waiting for\nsetup.exe\nto end...";
  ASSERT_TRUE(driver::WaitForText(window, IDC_PROGRESS_TEXT, waiting, 10000));
  driver::Screenshot(driver::ScreenshotPath("waiting for setup"), window);
  EXPECT_FALSE(driver::IsControlVisible(window, IDC_OK));
  // Nothing goes on before setup has ended.
  EXPECT_TRUE(driver::Exists(workspace + "\\[shell]\\setup.exe"));
  EXPECT_FALSE(driver::Exists(dest_ + "\\payload.txt"));

  HANDLE running = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, setup);
  ASSERT_NE(running, nullptr);
  TerminateProcess(running, 0);
  EXPECT_EQ(WaitForSingleObject(running, 10000), WAIT_OBJECT_0);
  CloseHandle(running);
  std::vector<std::string> texts = driver::FollowTexts(process, window, IDC_PROGRESS_TEXT, kRunTimeoutMs);
  EXPECT_EQ(texts, (std::vector<std::string>{waiting, "Transport...\n\n" + driver::CountText(2, program.size() + 7),
                                             "Deleting workspace..."}));
  EXPECT_EQ(process.ExitCode(), 0u);
  EXPECT_EQ(driver::ReadFileBytes(dest_ + "\\payload.txt"), "payload");
  EXPECT_FALSE(driver::Exists(workspace));
}

TEST_F(Distribution, ShellWithOnlyASubfolderStartsNothingAndDoesNotWait) {
  PutBatch("[shell]\\sub\\not me.bat", root_ + "\\sub ran.txt");
  Put("[Environment]\\SFX_E2E_DEST\\payload.txt", "payload");
  driver::ProgressRun run = Run(Build("subfolder only"));
  EXPECT_EQ(std::count(run.texts.begin(), run.texts.end(), driver::kWaitingText), 0);
  ASSERT_FALSE(run.texts.empty());
  EXPECT_EQ(run.texts.back(), "Deleting workspace...") << "the [shell] folder is deleted, not left over";
  EXPECT_EQ(driver::ReadFileBytes(dest_ + "\\payload.txt"), "payload");
  // The batch would run in a program the stub starts: all of those have ended.
  ASSERT_TRUE(run.process.WaitForItsPrograms());
  EXPECT_FALSE(driver::Exists(root_ + "\\sub ran.txt"));
}

TEST_F(Distribution, ApplicationFolderReceivesFilesAndRecordsThemOnce) {
  std::string app = root_ + "\\Program Files\\Demo App";
  std::string ini = driver::MakeInstalledApplication(app);
  std::string name = tag_ + " app", missing = tag_ + " missing";
  RegisterApplication(name, "\"" + app + "\\Setup.exe\" uninstall");
  DeleteKeyAtEnd(HKEY_LOCAL_MACHINE, driver::UninstallKey(missing));

  for (int run = 0; run < 2; ++run) {
    Put("[Application]\\" + name + "\\plugin.dll", "v" + std::to_string(run));
    Put("[Application]\\" + name + "\\data\\inner.txt");
    Put("[Application]\\" + missing + "\\left.txt", "left");
    // Its own installer's record is refused and left over with the rest.
    Put("[Application]\\" + name + "\\setup.INI", "[Root]");
    std::vector<std::string> texts = Run(Build("app run " + std::to_string(run))).texts;
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.back(), "2 Files\n10 Bytes\n...failure at copy.\n\nDeleting workspace...");
  }
  EXPECT_EQ(driver::ProfileString(ini, "Root", "Named"), "Demo");
  EXPECT_EQ(driver::ReadFileBytes(app + "\\plugin.dll"), "v1");
  EXPECT_TRUE(driver::Exists(app + "\\data\\inner.txt"));
  std::vector<std::string> copied = driver::ProfileList(ini, "CopiedFile");
  std::sort(copied.begin(), copied.end());
  EXPECT_EQ(copied, (std::vector<std::string>{app + "\\data\\inner.txt", app + "\\plugin.dll"}));
  EXPECT_EQ(driver::ProfileList(ini, "MakedDirectory"), (std::vector<std::string>{app, app + "\\data"}));
  EXPECT_TRUE(driver::KeyExists(HKEY_LOCAL_MACHINE, driver::UninstallKey(missing)))
      << "a name without a key leaves an empty key";
}

// On the Windows 95 family the profile calls read no more than 32 KB of a
// section and rewrite the file cut: a record that would pass that is not
// made, nor the move it records, and the user is told why.
TEST_F(Distribution, OnThe95FamilyARecordPastTheProfileLimitsMovesNothingAndSaysWhy) {
  ASSERT_TRUE(driver::CopyFromProgramFolder("lzhdec32.dll", root_));
  std::string app = root_ + "\\Program Files\\Big App";
  std::string ini = driver::MakeInstalledApplication(app);
  std::string records = "[CopiedFile]\r\n";
  for (int k = 0; k < 1000; ++k) records += std::to_string(k) + "=" + app + "\\data\\" + std::to_string(k) + ".dat\r\n";
  ASSERT_TRUE(driver::WriteFileBytes(ini, driver::ReadFileBytes(ini) + records + "Count=1000\r\n"));
  const std::string before = driver::ReadFileBytes(ini);
  std::string name = tag_ + " big";
  RegisterApplication(name, "\"" + app + "\\Setup.exe\" uninstall");
  Put("[Application]\\" + name + "\\plugin.dll");
  std::string built = Build("big app", "", "lzh");
  // Wine reports the Windows 95 family to a program set to win98.
  SetKeyStringUntilEnd(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\big app.exe", "Version", "win98");

  std::string box;
  driver::ProgressRun run = Run(built, [&](const driver::ProgressRun& progress) {
    if (progress.texts.back().rfind("Transport", 0) == 0)
      driver::AnswerMessageBox(progress.process.id(), ("Copy to app=" + name + "...").c_str(), IDOK, 20000, &box);
  });
  EXPECT_EQ(box, "Setup.ini of the application is too large\nfor this Windows to record more files in it.\n\n"
                 "Nothing is moved into\n" + app);
  ASSERT_FALSE(run.texts.empty());
  EXPECT_EQ(run.texts.back(), "1 File\n1 Byte\n...failure at copy.\n\nDeleting workspace...");
  EXPECT_FALSE(driver::Exists(app + "\\plugin.dll"));
  EXPECT_TRUE(driver::ReadFileBytes(ini) == before) << "the record was rewritten";
}

// An application updated while it runs: its program at the destination is
// in use, so the shell's move cannot replace it. The running program keeps
// its file, the new one counts as left over and goes with the workspace,
// and the rest arrives.
TEST_F(Distribution, AProgramRunningAtTheDestinationKeepsItsFileAndTheNewOneIsLeftOver) {
  const std::string running = dest_ + "\\app.exe";
  ASSERT_TRUE(CopyFileA((driver::ProgramFolder() + "\\late-window.exe").c_str(), running.c_str(), FALSE));
  const std::string program = driver::ReadFileBytes(running);
  const std::map<std::string, std::string> forAMinute = {{"SFX_E2E_WINDOW_DELAY_MS", "60000"}};
  driver::Process application = driver::Start("\"" + running + "\"", dest_, &forAMinute);
  ASSERT_TRUE(application.started());
  Put("[Environment]\\SFX_E2E_DEST\\app.exe", "MZ new");
  Put("[Environment]\\SFX_E2E_DEST\\data.txt", "data");
  std::vector<std::string> texts = Run(Build("update while running")).texts;
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts.back(), "1 File\n6 Bytes\n...failure at copy.\n\nDeleting workspace...");
  EXPECT_TRUE(driver::ReadFileBytes(running) == program) << "the running program's file was replaced";
  EXPECT_EQ(driver::ReadFileBytes(dest_ + "\\data.txt"), "data");
  application.Kill();
}

TEST_F(Distribution, UserFolderIsAskedOnceForTheTokenAndTheFinalCommand) {
  std::string chosen = root_ + "\\chosen";
  ASSERT_TRUE(driver::MakeFolders(chosen));
  Put("[User]\\picked.txt", "picked");
  PutBatch("[User]\\open.bat", root_ + "\\user ran.txt");
  std::string built = Build("user folder", "[User]\\open.bat");
  // Started from the chosen folder, which the dialog preselects.
  driver::ListFoldersUpTo(chosen);
  driver::Process process = Start(built, "", chosen);
  int dialogs = 0;
  std::string preselected;
  DWORD code = 99;
  for (DWORD waited = 0; waited < kRunTimeoutMs && !process.Wait(0, &code); waited += 50, Sleep(50)) {
    HWND dialog = driver::BrowseDialog(process.id());
    if (!dialog) continue;
    ++dialogs;
    preselected = driver::WaitForPreselection(dialog, "chosen");
    driver::ChooseBrowseFolder(dialog, chosen);
    while (IsWindow(dialog)) Sleep(20);
  }
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(dialogs, 1);
  EXPECT_EQ(preselected, "chosen");
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
  for (int i = 0; i < 400 && !(dialog = driver::BrowseDialog(process.id())); ++i) Sleep(50);
  ASSERT_NE(dialog, nullptr);
  Sleep(300);
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  std::vector<std::string> texts = driver::FollowTexts(process, window, IDC_PROGRESS_TEXT, kRunTimeoutMs);
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
  driver::ProgressRun run = Run(Build("with arguments", "[Environment]\\SFX_E2E_DEST\\run.bat now"));
  // The batch would run in a program the stub starts: all of those have ended.
  ASSERT_TRUE(run.process.WaitForItsPrograms());
  EXPECT_FALSE(driver::Exists(root_ + "\\args ran.txt"));
}

}  // namespace
