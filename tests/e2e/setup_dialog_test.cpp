// setup.exe started from its own folder beside a Setup.ini, as a stub
// starts it: the three presentations of its main dialog, the rows it
// closes up, automatic mode, the unattended uninstall with its removal
// copy, and the removal copy on its own. Read back through the window
// driver; screenshots land in the screenshots folder.
#include "setup_run.h"

namespace {

using namespace setuptest;

// What the dialog template measures in this process's fonts: the height
// of the whole dialog and the pitch between two option rows.
struct TemplateSize {
  int height;
  int pitch;
  int rowTop[5];  // menu, desktop, startup, ext and send rows, from the menu row's top
  int buttonsBelowMenu;
};

const int kRows[5] = {IDC_MENU, IDC_DESKTOP, IDC_STARTUP, IDC_EXT, IDC_SEND};

INT_PTR CALLBACK Quiet(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TemplateSize MeasureTemplate() {
  TemplateSize size = {};
  std::string program = driver::ProgramFolder() + "\\setup.exe";
  HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return size;
  HWND dialog = CreateDialogParamA(module, MAKEINTRESOURCEA(IDD_MAIN), nullptr, Quiet, 0);
  if (dialog) {
    RECT window;
    GetWindowRect(dialog, &window);
    size.height = window.bottom - window.top;
    size.pitch = ClientTop(dialog, IDC_DESKTOP) - ClientTop(dialog, IDC_MENU);
    size.buttonsBelowMenu = ClientTop(dialog, IDC_RUN) - ClientTop(dialog, IDC_MENU);
    for (int row = 0; row < 5; ++row) size.rowTop[row] = ClientTop(dialog, kRows[row]) - ClientTop(dialog, IDC_MENU);
    DestroyWindow(dialog);
  }
  FreeLibrary(module);
  return size;
}

int Height(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  return rect.bottom - rect.top;
}

class SetupDialog : public SetupRun {
 protected:
  static void SetUpTestSuite() { size_ = MeasureTemplate(); }
  void SetUp() override {
    SetupRun::SetUp();
    ASSERT_GT(size_.pitch, 0) << "the dialog template could not be measured";
  }

  // The option rows: which are shown, which checked.
  struct Row {
    int id;
    bool shown;
    bool checked;
  };
  void ExpectRows(HWND dialog, const std::vector<Row>& rows) {
    for (const Row& row : rows) {
      EXPECT_EQ(driver::IsControlVisible(dialog, row.id), row.shown) << "row " << row.id;
      EXPECT_EQ(Checked(dialog, row.id), row.checked) << "row " << row.id;
    }
  }
  // Each row `rise` pitches above its place in the template.
  void ExpectRowsRisen(HWND dialog, const std::vector<int>& rise) {
    for (int row = 0; row < 5; ++row)
      EXPECT_EQ(ClientTop(dialog, kRows[row]) - ClientTop(dialog, IDC_MENU), size_.rowTop[row] - rise[row] * size_.pitch)
          << "row " << kRows[row];
  }
  // The dialog closed up by `k` row pitches, its buttons `buttonRise`.
  void ExpectShrunk(HWND dialog, int k, int buttonRise) {
    EXPECT_EQ(Height(dialog), size_.height - k * size_.pitch);
    EXPECT_EQ(ClientTop(dialog, IDC_RUN) - ClientTop(dialog, IDC_MENU),
              size_.buttonsBelowMenu - buttonRise * size_.pitch);
  }

  static TemplateSize size_;
};
TemplateSize SetupDialog::size_;

TEST_F(SetupDialog, NewInstallProposesTheFolderAndOffersWhatTheDescriptionOffers) {
  std::string programs = driver::ProgramFilesFolder();
  keys_.push_back("Viewer New");  // the lookup leaves an empty entry behind
  WriteIni("[Setup]\r\nName=サンプル ビューア\r\n[Root]\r\nName=%PROGRAMS%\\Tools\\Viewer New\r\n"
           "[Check]\r\nMenu=2\r\nDesktop=1\r\nStartup=0\r\nExt=3\r\nSend=7\r\nCopy=1\r\nDel=2\r\n"
           "[CopyFile]\r\nSelf=dist\\Viewer Setup.exe\r\n[Readme]\r\nDone=1\r\n");
  driver::Process process = Start();
  HWND dialog = WaitForDialog(process, "サンプル ビューア");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(driver::ControlText(dialog, IDC_FOLDER_LABEL), "(&F)インストール先");
  EXPECT_EQ(FieldText(dialog, IDC_FOLDER), std::string(programs) + "\\Tools\\Viewer New");
  EXPECT_EQ(driver::ControlText(dialog, IDC_FILE_GROUP), "Viewer Setup.exe");
  ExpectRows(dialog, {{IDC_MENU, true, true},
                      {IDC_DESKTOP, true, false},
                      {IDC_STARTUP, false, false},
                      {IDC_EXT, false, true},  // always done, not shown
                      {IDC_SEND, true, false},  // a value that is no option value shows the row
                      {IDC_COPY, true, false},
                      {IDC_DELETE, true, true}});
  EXPECT_TRUE(driver::IsControlVisible(dialog, IDC_MENU_PLACE));
  EXPECT_TRUE(driver::IsControlVisible(dialog, IDC_BROWSE));
  EXPECT_TRUE(driver::IsControlVisible(dialog, IDC_READ_ME));
  // Startup and Ext hidden: Send closes up two pitches; so do the buttons.
  ExpectRowsRisen(dialog, {0, 0, 0, 1, 2});
  ExpectShrunk(dialog, 2, 2);
  EXPECT_EQ(Setting("Root", "Name"), "Viewer New");
  Shoot("new install", dialog);

  // The menu place follows its box.
  SendDlgItemMessageA(dialog, IDC_MENU, BM_SETCHECK, BST_UNCHECKED, 0);
  driver::PressButton(dialog, IDC_MENU);
  WaitFor([&] { return !driver::IsControlVisible(dialog, IDC_MENU_PLACE); }, 5000);
  EXPECT_FALSE(driver::IsControlVisible(dialog, IDC_MENU_PLACE));
  Cancel(process, dialog);
  EXPECT_EQ(Setting("Menu", "Change"), "");
}

TEST_F(SetupDialog, VersionUpOffersTheEarlierChoicesAgainAndCancelForgetsThem) {
  std::string earlier = root_ + "\\earlier install";
  ASSERT_TRUE(driver::MakeFolders(earlier));
  ASSERT_TRUE(driver::WriteFileBytes(earlier + "\\Setup.ini",
                                     "[Root]\r\nNamed=" + earlier + "\r\n[CopiedFile]\r\nCount=1\r\n"
                                     "[Check]\r\nMenu=0\r\nDesktop=2\r\nStartup=2\r\n"
                                     "[Menu]\r\nNamed=C:\\Menus\\Earlier Viewer\r\n"));
  Register("Viewer Up", earlier + "\\Setup.exe uninstall");
  WriteIni("[Setup]\r\nName=Viewer 2\r\n[Root]\r\nName=Apps\\Viewer Up\r\n"
           "[Check]\r\nMenu=1\r\nDesktop=1\r\nStartup=1\r\nExt=1\r\nSend=0\r\n");
  driver::Process process = Start();
  HWND dialog = WaitForDialog(process, "Viewer 2");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(driver::ControlText(dialog, IDC_FOLDER_LABEL), "(&F)バージョンアップ先");
  EXPECT_EQ(FieldText(dialog, IDC_FOLDER), earlier);
  ExpectRows(dialog, {{IDC_MENU, true, false},     // earlier 0: offered, off
                      {IDC_DESKTOP, true, true},   // earlier 2: offered, on
                      {IDC_STARTUP, true, true},
                      {IDC_EXT, true, false},      // nothing earlier: 0, so off
                      {IDC_SEND, false, false}});
  EXPECT_FALSE(driver::IsControlVisible(dialog, IDC_FILE_GROUP));  // neither box offered
  EXPECT_EQ(driver::ControlText(dialog, IDC_FILE_GROUP), "インストーラー");
  ExpectShrunk(dialog, 1, 1);
  EXPECT_EQ(Setting("Menu", "Change"), "C:\\Menus\\Earlier Viewer");
  // Named by its entry, not by its folder: the uninstall finds that entry.
  EXPECT_EQ(Setting("Root", "Name"), "Viewer Up");
  Shoot("version-up", dialog);
  Cancel(process, dialog);
  EXPECT_EQ(Setting("Menu", "Change"), "");
}

TEST_F(SetupDialog, InstalledCopyOffersTheUninstall) {
  Register("Viewer Installed", app_ + "\\Setup.exe");
  WriteIni("[Setup]\r\nName=Viewer 3\r\nAuto=1\r\n[Root]\r\nName=Viewer Installed\r\nNamed=" + app_ + "\r\n"
           "[Check]\r\nMenu=2\r\nDesktop=2\r\nStartup=0\r\nExt=0\r\nSend=0\r\nCopy=2\r\nDel=2\r\n"
           "[Del]\r\nChecked=1\r\n[CopiedFile]\r\nCount=1\r\n");
  driver::Process process = Start();
  HWND dialog = WaitForDialog(process, "Viewer 3");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(driver::ControlText(dialog, IDC_FOLDER_LABEL), "インストール済です．");
  EXPECT_EQ(FieldText(dialog, IDC_FOLDER), app_);
  EXPECT_EQ(driver::ControlText(dialog, IDC_COPY), "アンインストール");
  EXPECT_EQ(ClientTop(dialog, IDC_COPY), ClientTop(dialog, IDC_MENU));
  EXPECT_TRUE(Checked(dialog, IDC_COPY)) << "[Del] Checked starts it checked";
  EXPECT_FALSE(driver::IsControlVisible(dialog, IDC_FILE_GROUP));
  EXPECT_FALSE(driver::IsControlVisible(dialog, IDC_BROWSE));
  EXPECT_TRUE(driver::IsControlVisible(dialog, IDC_RUN)) << "an installed copy never runs by itself";
  EXPECT_NE(GetWindowLongA(GetDlgItem(dialog, IDC_FOLDER), GWL_STYLE) & ES_READONLY, 0);
  // The checked uninstall box disables the options until it is cleared.
  WaitFor([&] { return !IsWindowEnabled(GetDlgItem(dialog, IDC_MENU)); }, 5000);
  for (int id : {IDC_MENU, IDC_DESKTOP, IDC_MENU_PLACE}) EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, id))) << id;
  // L = 3, and R = 4 in an installed copy: three pitches.
  ExpectShrunk(dialog, 3, 3);
  EXPECT_EQ(Setting("Check", "Copy"), "1");
  EXPECT_EQ(Setting("Check", "Del"), "0");
  EXPECT_EQ(Setting("Setup", "Auto"), "0");
  Shoot("installed copy", dialog);
  SendDlgItemMessageA(dialog, IDC_COPY, BM_SETCHECK, BST_UNCHECKED, 0);
  driver::PressButton(dialog, IDC_COPY);
  WaitFor([&] { return IsWindowEnabled(GetDlgItem(dialog, IDC_MENU)) != FALSE; }, 5000);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_MENU)));
  Cancel(process, dialog);
}

// The gaps that hidden rows leave, closed up: the dialog shrinks by the
// smaller of the hidden left rows and the free right rows.
TEST_F(SetupDialog, HiddenRowsCloseUp) {
  struct Case {
    const char* name;
    const char* checks;
    int k;
    bool groupShown;
  } cases[] = {
      {"all hidden", "Menu=0\r\nDesktop=0\r\nStartup=0\r\nExt=0\r\nSend=0\r\nCopy=0\r\nDel=0\r\n", 5, false},
      {"only Send hidden", "Menu=1\r\nDesktop=1\r\nStartup=1\r\nExt=1\r\nSend=0\r\nCopy=1\r\nDel=1\r\n", 1, true},
      {"Copy 3, Del 0", "Menu=0\r\nDesktop=0\r\nStartup=0\r\nExt=1\r\nSend=1\r\nCopy=3\r\nDel=0\r\n", 3, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteIni(std::string("[Setup]\r\nName=Layout\r\n[Check]\r\n") + c.checks);
    driver::Process process = Start();
    HWND dialog = WaitForDialog(process, "Layout");
    ASSERT_NE(dialog, nullptr);
    ExpectShrunk(dialog, c.k, c.k);
    EXPECT_EQ(driver::IsControlVisible(dialog, IDC_FILE_GROUP), c.groupShown);
    Shoot(c.name, dialog);
    if (std::string(c.name) == "Copy 3, Del 0") {
      EXPECT_TRUE(Checked(dialog, IDC_COPY)) << "always done";
      EXPECT_FALSE(driver::IsControlVisible(dialog, IDC_COPY));
      ExpectRowsRisen(dialog, {0, 1, 2, 3, 3});
    }
    Cancel(process, dialog);
  }
}

TEST_F(SetupDialog, WithoutSetupIniANewInstallCaptionedInstall) {
  driver::Process process = Start();
  HWND dialog = WaitForDialog(process, "Install");
  ASSERT_NE(dialog, nullptr);
  std::string systemFolder = driver::SystemFolder();
  const char* system = systemFolder.c_str();  // as characters: the check takes the first three
  EXPECT_EQ(FieldText(dialog, IDC_FOLDER), std::string(system, 3));  // the system drive's root
  EXPECT_EQ(driver::ControlText(dialog, IDC_FOLDER_LABEL), "(&F)インストール先");
  ExpectShrunk(dialog, 5, 5);
  Shoot("without Setup.ini", dialog);
  Cancel(process, dialog);
}

// Values longer than a path are cut or refused, never written past their
// buffers, and the dialog still works: a proposal that cannot be made is
// an empty field, and the run asks for a folder instead of installing
// into nowhere.
TEST_F(SetupDialog, OverLongValuesLeaveAWorkingDialog) {
  std::string name(1000, 'N');
  WriteIni("[Setup]\r\nName=" + name + "\r\n[Root]\r\nName=%programs%\\" + std::string(300, 'R') +
           "\r\n[Menu]\r\nName=" + std::string(1000, 'M') + "\r\n[Check]\r\nMenu=1\r\n");
  driver::Process process = Start();
  HWND dialog = WaitForDialog(process, name.substr(0, MAX_PATH - 1).c_str());
  ASSERT_NE(dialog, nullptr) << "the caption is the name cut to a path's length";
  EXPECT_EQ(FieldText(dialog, IDC_FOLDER), "");
  driver::PressButton(dialog, IDC_RUN);
  HWND box = WaitForMessageBox(process, dialog);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(driver::WindowText(box), name.substr(0, MAX_PATH - 1)) << "the box's caption is the dialog's";
  EXPECT_EQ(driver::ControlText(box, 0xFFFF), "インストール先のフォルダを指定してください．");
  driver::PressButton(box, IDOK);
  // The dialog stays, its buttons back, for another folder.
  WaitFor([&] { return driver::IsControlVisible(dialog, IDC_RUN); }, 5000);
  EXPECT_TRUE(driver::IsControlVisible(dialog, IDC_RUN));
  EXPECT_TRUE(driver::IsControlVisible(dialog, IDC_CANCEL_RUN));
  // A typed folder is held to what leaves room for "\Setup.ini".
  for (char c : "C:\\" + std::string(400, 'x')) SendDlgItemMessageA(dialog, IDC_FOLDER, WM_CHAR, c, 0);
  EXPECT_EQ(FieldText(dialog, IDC_FOLDER).size(), size_t{MAX_PATH - 1 - 10});
  Cancel(process, dialog);
}

TEST_F(SetupDialog, AutomaticModeRunsByItself) {
  WriteIni("[Setup]\r\nName=Automatic\r\nAuto=1\r\n[Check]\r\nMenu=2\r\n[Menu]\r\nChange=C:\\Chosen Menu\r\n");
  driver::Process process = Start();
  HWND dialog = WaitForDialog(process, "Automatic");
  ASSERT_NE(dialog, nullptr);
  EXPECT_FALSE(driver::IsControlVisible(dialog, IDC_RUN));
  EXPECT_FALSE(driver::IsControlVisible(dialog, IDC_BROWSE));
  std::vector<std::string> texts =
      RunTexts(driver::FollowTexts(process, dialog, IDC_FOLDER_LABEL, 30000), "(&F)インストール先");
  EXPECT_EQ(texts, (std::vector<std::string>{"ファイルをコピーしています．", "システムの設定をしています．",
                                             "終了しました．"}));
  ExpectEnd(process, 10000);
  EXPECT_EQ(Setting("Menu", "Named"), "C:\\Chosen Menu");
  EXPECT_EQ(Setting("Menu", "Change"), "");
}

TEST_F(SetupDialog, UnattendedUninstallRunsOnceAndHandsOverToOneRemovalCopy) {
  Register("Viewer Gone", app_ + "\\Setup.exe uninstall");
  WriteIni("[Setup]\r\nName=Viewer 4\r\n[Root]\r\nName=Viewer Gone\r\nNamed=" + app_ + "\r\n[Check]\r\nMenu=1\r\n"
           "[Del]\r\nAuto=1\r\nChecked=1\r\n[CopiedFile]\r\nCount=1\r\n");
  driver::Process process = Start("uninstall");
  HWND dialog = WaitForDialog(process, "Viewer 4");
  ASSERT_NE(dialog, nullptr);
  std::vector<std::string> texts =
      RunTexts(driver::FollowTexts(process, dialog, IDC_FOLDER_LABEL, 30000), "インストール済です．");
  EXPECT_EQ(texts, (std::vector<std::string>{"システムの設定を削除しています．", "ファイルを削除しています．",
                                             "アンインストールは終了しました．"}));
  DWORD code = 99;
  ASSERT_TRUE(process.Wait(10000, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_FALSE(driver::Exists(ini_)) << "the description goes last";
  EXPECT_EQ(CountProcesses("setup.exe"), 1) << "exactly one removal copy";
  // It waits five seconds, then its batch deletes the program and the
  // folder it leaves empty.
  EXPECT_TRUE(driver::WaitUntilGone(app_ + "\\setup.exe", 20000));
  EXPECT_TRUE(driver::WaitUntilGone(app_, 5000));
  EXPECT_TRUE(driver::WaitUntilGone("C:\\delus.bat", 5000));
  EXPECT_EQ(CountProcesses("setup.exe"), 0);
}

TEST_F(SetupDialog, TheRemovalCopyReadsNothingAndShowsNothing) {
  // A description that would show a backdrop at once, if it were read.
  WriteIni("[Back]\r\nDo=1\r\n[Setup]\r\nName=Never\r\n");
  std::string before = driver::ReadFileBytes(ini_);
  driver::Process process = Start("remove");
  // Until the copy has removed its program, it shows no window.
  bool shown = false;
  DWORD code = 99;
  while (!process.Wait(100, &code))
    for (HWND window : driver::TopLevelWindows(process.id())) shown = shown || IsWindowVisible(window);
  EXPECT_FALSE(shown);
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(driver::WaitUntilGone(app_ + "\\setup.exe", 15000));
  EXPECT_TRUE(driver::WaitUntilGone("C:\\delus.bat", 5000));
  EXPECT_EQ(driver::ReadFileBytes(ini_), before);
  EXPECT_TRUE(driver::Exists(app_)) << "a folder that still holds a file stays";
}

}  // namespace
