// setup on a machine that holds other programs' things and the user's: an
// uninstall entry of another program under the application's name, a
// start-menu folder it shares, a library it updates, a description that
// an author shipped after a test install, a folder named relatively, the
// kit's own files marked read-only, a description nobody may write, and
// a run command that comes twice. Each road ends with the machine compared
// to what it was, what the others had still there.
#include "setup_run.h"
#include "snapshot.h"

namespace {

using namespace setuptest;

class SetupOwnership : public SetupRun {
 protected:
  void SetUp() override {
    SetupRun::SetUp();
    folder_ = root_ + "\\Installed App";
    ASSERT_TRUE(driver::WriteFileBytes(app_ + "\\app.exe", "MZ app"));
  }
  void TearDown() override {
    for (const std::string& path : cleanup_) {
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(path.c_str());
      driver::RemoveTree(path);
    }
    SetupRun::TearDown();
  }
  // Starts setup, types the folder and runs; answers what it asks with
  // OK and returns the texts.
  std::vector<std::string> Install(const std::string& caption, const std::string& folder) {
    driver::Process process = Start();
    HWND dialog = WaitForDialog(process, caption.c_str());
    EXPECT_NE(dialog, nullptr);
    if (!dialog) return {};
    EXPECT_EQ(driver::ControlText(dialog, IDC_FOLDER_LABEL), "(&F)インストール先") << "a new install";
    SendDlgItemMessageA(dialog, IDC_FOLDER, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.c_str()));
    driver::PressButton(dialog, IDC_RUN);
    return AnswerUntilEnd(process, dialog);
  }
  // The installed copy started with the argument `uninstall`, as an entry
  // of [Del] Auto would start it; its report's texts.
  std::vector<std::string> Uninstall(const std::string& caption) {
    driver::Process process =
        driver::Start("\"" + folder_ + "\\Setup.exe\" uninstall", driver::WindowsFolder(), nullptr, DETACHED_PROCESS);
    HWND dialog = WaitForDialog(process, caption.c_str());
    EXPECT_NE(dialog, nullptr);
    std::vector<std::string> texts = AnswerUntilEnd(process, dialog);
    ExpectRemovalCopyDone(folder_, true);
    return texts;
  }
  std::string folder_;
  std::vector<std::string> cleanup_;
};

// Another program's uninstall entry under the application's name is no
// earlier version: no version-up into its folder, and neither the install
// nor the uninstall writes or deletes it. A start-menu folder of that name
// that was there keeps its other links; a library of the system's that
// the install updates stays for the programs that had it, unless the
// entry takes it over.
TEST_F(SetupOwnership, AnotherProgramsEntryMenuAndLibraryStay) {
  const std::string vendor = root_ + "\\Other Vendor", menu = UserFolder("Programs") + "\\Sfx Shared Menu";
  const std::string shared = driver::WindowsFolder() + "\\sfx shared.dll", taken = driver::WindowsFolder() + "\\sfx taken.dll";
  for (const std::string& path : {menu, shared, taken}) cleanup_.push_back(path);
  ASSERT_TRUE(driver::PutFile(vendor + "\\uninst.exe", "MZ vendor"));
  ASSERT_TRUE(driver::PutFile(vendor + "\\Setup.ini", "[Root]\r\nNamed=" + vendor + "\r\n"));  // no installed mark
  Register("Sfx Shared Name", vendor + "\\uninst.exe /x");
  ASSERT_TRUE(driver::PutFile(menu + "\\Other.lnk", "another program's link"));
  for (const std::string& path : {shared, taken}) ASSERT_TRUE(driver::PutFile(path, "old library"));
  ASSERT_TRUE(driver::PutFile(app_ + "\\%windows%\\sfx shared.dll", "new library"));
  ASSERT_TRUE(driver::PutFile(app_ + "\\%windows%\\sfx taken.dll", "new library"));
  WriteIni("[Setup]\r\nName=Sfx Shared\r\n[Root]\r\nName=Sfx Shared Name\r\n[Check]\r\nMenu=2\r\n"
           "[CopyFile]\r\n0=app.exe\r\n1=%windows%\\sfx shared.dll\r\n2=+%windows%\\sfx taken.dll\r\n"
           "[Menu]\r\nName=Sfx Shared Menu\r\n[Menu0]\r\nName=App\r\nPath=app.exe\r\n[Del]\r\nAuto=1\r\n");
  std::vector<std::string> registryBefore = driver::RegistrySnapshot({}, {}), filesBefore = FileSnapshot();

  driver::Process process = Start();
  HWND dialog = WaitForDialog(process, "Sfx Shared");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(driver::ControlText(dialog, IDC_FOLDER_LABEL), "(&F)インストール先") << "no version-up";
  EXPECT_EQ(FieldText(dialog, IDC_FOLDER).find(vendor), std::string::npos) << "not the other program's folder";
  SendDlgItemMessageA(dialog, IDC_FOLDER, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder_.c_str()));
  driver::PressButton(dialog, IDC_RUN);
  EXPECT_EQ(AnswerUntilEnd(process, dialog), std::vector<std::string>{});
  EXPECT_EQ(UninstallCommand("Sfx Shared Name"), vendor + "\\uninst.exe /x") << "the entry is the other program's";
  EXPECT_TRUE(driver::Exists(menu + "\\App.lnk"));
  EXPECT_EQ(Setting(folder_ + "\\Setup.ini", "Menu", "Made"), "<none>") << "the menu folder was there";
  EXPECT_EQ(driver::ReadFileBytes(shared), "new library") << "updated";
  EXPECT_EQ(driver::ProfileList(folder_ + "\\Setup.ini", "CopiedFile"),
            (std::vector<std::string>{folder_ + "\\app.exe", taken}));

  EXPECT_EQ(Uninstall("Sfx Shared"), std::vector<std::string>{});
  EXPECT_EQ(UninstallCommand("Sfx Shared Name"), vendor + "\\uninst.exe /x");
  EXPECT_EQ(driver::ReadFileBytes(shared), "new library") << "kept for the programs that had it";
  EXPECT_FALSE(driver::Exists(menu + "\\App.lnk"));
  EXPECT_EQ(driver::Difference(registryBefore, driver::RegistrySnapshot({}, {})), "");
  // (The Windows folder is not listed: there the updated library stays
  // and the one taken over is gone.)
  EXPECT_EQ(driver::Difference(filesBefore, FileSnapshot()), "");
  EXPECT_FALSE(driver::Exists(taken));
}

// A description that carries the installed mark but names another folder
// (the author's own, shipped after a test install) is a new install: its
// records of the author's files are dropped, not carried into the
// installation for its uninstall to delete.
TEST_F(SetupOwnership, AnAuthorsTestInstallShippedIsANewInstall) {
  const std::string author = root_ + "\\Author";
  keys_.push_back("Sfx Author");
  ASSERT_TRUE(driver::PutFile(author + "\\app.exe", "the author's"));
  ASSERT_TRUE(driver::PutFile(author + "\\Setup.exe", "the author's"));
  WriteIni("[Setup]\r\nName=Sfx Author\r\n[Root]\r\nName=Sfx Author\r\nNamed=" + author +
           "\r\n[CopyFile]\r\n0=app.exe\r\n[CopiedFile]\r\nCount=1\r\n0=" + author +
           "\\app.exe\r\n[MakedDirectory]\r\nCount=1\r\n0=" + author + "\r\n[Menu]\r\nMade=" + author +
           "\r\n[MadeKey]\r\nCount=1\r\n0=txtfile\r\n[Del]\r\nAuto=1\r\n");
  std::vector<std::string> registryBefore = driver::RegistrySnapshot({"txtfile"}, {}), filesBefore = FileSnapshot();
  EXPECT_EQ(Install("Sfx Author", folder_), std::vector<std::string>{});
  const std::string installed = folder_ + "\\Setup.ini";
  EXPECT_EQ(driver::ProfileList(installed, "CopiedFile"), std::vector<std::string>{folder_ + "\\app.exe"});
  EXPECT_EQ(driver::ProfileList(installed, "MakedDirectory"), std::vector<std::string>{folder_});
  EXPECT_EQ(Setting(installed, "Menu", "Made"), "<none>");
  EXPECT_EQ(Setting(installed, "MadeKey", "Count"), "<none>");
  EXPECT_EQ(Uninstall("Sfx Author"), std::vector<std::string>{});
  EXPECT_EQ(driver::Difference(registryBefore, driver::RegistrySnapshot({"txtfile"}, {})), "");
  EXPECT_EQ(driver::Difference(filesBefore, FileSnapshot()), "") << "the author's files stay";
}

// A folder that is not full would put everything below the current folder,
// and the uninstall's patterns with it: refused with a message, the dialog
// stays for another try and nothing is made.
TEST_F(SetupOwnership, AFolderThatIsNotFullIsRefused) {
  WriteIni("[Setup]\r\nName=Sfx Relative\r\n[CopyFile]\r\n0=app.exe\r\n");
  std::vector<std::string> filesBefore = FileSnapshot();
  driver::Process process = Start();
  HWND dialog = WaitForDialog(process, "Sfx Relative");
  ASSERT_NE(dialog, nullptr);
  for (const char* folder : {"Relative App", "\\Rooted App", "C:Drive Relative", "C:\\Apps\\..\\Climbing"}) {
    SCOPED_TRACE(folder);
    SendDlgItemMessageA(dialog, IDC_FOLDER, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder));
    driver::PressButton(dialog, IDC_RUN);
    HWND box = WaitForMessageBox(process, dialog);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(FieldText(box, 0xFFFF), "インストール先には，ドライブ名（C:\\ など）から始まるフォルダを指定してください．");
    Shoot("relative folder", box);
    driver::PressButton(box, IDOK);
    ASSERT_TRUE(WaitFor([&] { return driver::IsControlVisible(dialog, IDC_RUN); })) << "the dialog stays";
  }
  Cancel(process, dialog);
  EXPECT_EQ(driver::Difference(filesBefore, FileSnapshot()), "");
  EXPECT_FALSE(driver::Exists("C:\\Rooted App"));
}

// Files unpacked from an archive keep their read-only mark. setup clears
// it on its own files, so that its records are written and its uninstall
// and removal end; a description that cannot be written at all stops the
// install before anything is made.
TEST_F(SetupOwnership, TheKitsOwnFilesMarkedReadOnlyInstallAndGoWhole) {
  keys_.push_back("Sfx Read Only");
  WriteIni("[Setup]\r\nName=Sfx Read Only\r\n[Root]\r\nName=Sfx Read Only\r\n[CopyFile]\r\n0=app.exe\r\n"
           "[Del]\r\nAuto=1\r\n");
  std::vector<std::string> registryBefore = driver::RegistrySnapshot({}, {}), filesBefore = FileSnapshot();
  {
    // Another program holds the description, letting only readers in.
    HANDLE held = CreateFileA(ini_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    driver::Process process = Start();
    HWND dialog = WaitForDialog(process, "Sfx Read Only");
    ASSERT_NE(dialog, nullptr);
    SendDlgItemMessageA(dialog, IDC_FOLDER, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder_.c_str()));
    driver::PressButton(dialog, IDC_RUN);
    EXPECT_EQ(AnswerUntilEnd(process, dialog),
              std::vector<std::string>{ini_ + "\n\nに書き込めないため，インストールを中止します．"});
    CloseHandle(held);
    EXPECT_FALSE(driver::Exists(folder_)) << "nothing made";
  }
  for (const std::string& file : {ini_, app_ + "\\setup.exe"}) SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(Install("Sfx Read Only", folder_), std::vector<std::string>{});
  for (const char* file : {"Setup.exe", "Setup.ini"})
    EXPECT_EQ(GetFileAttributesA((folder_ + "\\" + file).c_str()) & FILE_ATTRIBUTE_READONLY, 0u) << file;
  EXPECT_EQ(driver::ProfileList(folder_ + "\\Setup.ini", "CopiedFile"), std::vector<std::string>{folder_ + "\\app.exe"});
  SetFileAttributesA((folder_ + "\\Setup.exe").c_str(), FILE_ATTRIBUTE_READONLY);  // as a user might
  driver::Process process = StartFromUninstallList("Sfx Read Only");
  ASSERT_NE(WaitForDialog(process, "Sfx Read Only"), nullptr);
  EXPECT_EQ(AnswerUntilEnd(process, nullptr), std::vector<std::string>{});
  ExpectRemovalCopyDone(folder_, true);
  EXPECT_EQ(driver::Difference(registryBefore, driver::RegistrySnapshot({}, {})), "");
  SetFileAttributesA(ini_.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(driver::Difference(filesBefore, FileSnapshot()), "");
}

// The uninstall argument posts the run once; a run command that still
// comes (here twice while the report is up, as a second click or the box
// ticked again would) finds the run done and does nothing.
TEST_F(SetupOwnership, TheUninstallRunsOnceWhateverRunCommandsFollow) {
  keys_.push_back("Sfx Once");
  ASSERT_TRUE(driver::PutFile(folder_ + "\\Setup.exe", driver::ReadFileBytes(app_ + "\\setup.exe")));
  ASSERT_TRUE(driver::PutFile(folder_ + "\\mine.txt", "the user's"));
  ASSERT_TRUE(driver::PutFile(folder_ + "\\app.exe", "MZ app"));
  ASSERT_TRUE(driver::WriteFileBytes(folder_ + "\\Setup.ini",
                                     "[Setup]\r\nName=Sfx Once\r\n[Root]\r\nName=Sfx Once\r\nNamed=" + folder_ +
                                         "\r\n[Del]\r\nChecked=1\r\nShowError=1\r\n[CopiedFile]\r\nCount=1\r\n0=" +
                                         folder_ + "\\app.exe\r\n[MakedDirectory]\r\nCount=1\r\n0=" + folder_ + "\r\n"));
  driver::Process process =
      driver::Start("\"" + folder_ + "\\Setup.exe\" uninstall", driver::WindowsFolder(), nullptr, DETACHED_PROCESS);
  HWND dialog = WaitForDialog(process, "Sfx Once");
  ASSERT_NE(dialog, nullptr);
  HWND box = WaitForMessageBox(process, dialog, 30000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(FieldText(box, 0xFFFF), "次のものは削除されませんでした．\n\n" + folder_ + "\n");
  PostMessageA(dialog, WM_COMMAND, IDC_RUN, 0);
  PostMessageA(dialog, WM_COMMAND, IDC_RUN, 0);
  driver::PressButton(box, IDOK);
  EXPECT_EQ(AnswerUntilEnd(process, dialog), std::vector<std::string>{}) << "no second uninstall, no second report";
  EXPECT_TRUE(driver::WaitUntilGone(folder_ + "\\Setup.exe", 20000));
  EXPECT_TRUE(WaitFor([] { return CountProcesses("setup.exe") == 0; }, 10000));
  EXPECT_EQ(driver::Tree(folder_), std::set<std::string>{"mine.txt"});
}

}  // namespace
