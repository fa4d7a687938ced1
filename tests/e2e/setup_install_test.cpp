// An install that really installs: setup.exe beside a Setup.ini and the
// application's files, run through its dialog. The copy entries in one
// table, checked entry by entry with the question and the failure notice
// they raise; the records left for the uninstall and the earlier
// installation's merged in; then the links, read back from their files,
// opened at the end, and cleared again by the next install.
#include <map>

#include "setup_run.h"

namespace {

using namespace setuptest;

const FILETIME kSourceTime = {0x2B5E4000, 0x01D9A000};  // the sources' last write

FILETIME Shifted(int days) {
  ULARGE_INTEGER value;
  value.LowPart = kSourceTime.dwLowDateTime;
  value.HighPart = kSourceTime.dwHighDateTime;
  value.QuadPart += static_cast<long long>(days) * 24 * 3600 * 10000000LL;
  return {value.LowPart, value.HighPart};
}

bool Stamp(const std::string& path, const FILETIME& time) {
  HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = SetFileTime(file, nullptr, nullptr, &time) != FALSE;
  CloseHandle(file);
  return ok;
}

class SetupInstall : public SetupRun {
 protected:
  void SetUp() override {
    SetupRun::SetUp();
    folder_ = root_ + "\\Installed App";
  }
  void TearDown() override {
    for (const std::string& path : cleanup_) {
      DeleteFileA(path.c_str());
      driver::RemoveTree(path);
    }
    SetupRun::TearDown();
  }

  // A file below `folder`, last written at `time`: which of two copies
  // is newer decides whether setup asks.
  static void Place(const std::string& folder, const std::string& name, const std::string& bytes,
                    const FILETIME& time) {
    std::string path = folder + "\\" + name;
    driver::MakeFolders(path.substr(0, path.rfind('\\')));
    ASSERT_TRUE(driver::WriteFileBytes(path, bytes));
    ASSERT_TRUE(Stamp(path, time));
  }
  // A source file beside setup.exe, last written at kSourceTime.
  void Source(const std::string& name, const std::string& bytes = "new") { Place(app_, name, bytes, kSourceTime); }
  // A file already installed, `days` younger than its source.
  void Installed(const std::string& name, int days, const std::string& bytes = "old") {
    Place(folder_, name, bytes, Shifted(days));
  }

  // Holds a file open as a running program would, shared with nobody.
  struct Held {
    HANDLE file;
    explicit Held(const std::string& path)
        : file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~Held() {
      if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
  };

  // Starts setup, types the installation folder and presses the run button.
  driver::Process RunInstall(const char* caption, HWND* dialog) {
    driver::Process process = Start();
    *dialog = WaitForDialog(process, caption);
    if (*dialog) {
      SendDlgItemMessageA(*dialog, IDC_FOLDER, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder_.c_str()));
      driver::PressButton(*dialog, IDC_RUN);
    }
    return process;
  }

  // Answers the next message box of the program; returns its text.
  std::string Answer(const driver::Process& process, HWND dialog, int button, bool* defaultNo = nullptr) {
    HWND box = WaitForMessageBox(process, dialog, 20000);
    EXPECT_NE(box, nullptr);
    if (!box) return "";
    EXPECT_EQ(driver::WindowText(box), "Copy Test") << "[Setup] Name is the caption";
    if (defaultNo)
      *defaultNo = (GetWindowLongA(GetDlgItem(box, IDNO), GWL_STYLE) & BS_DEFPUSHBUTTON) == BS_DEFPUSHBUTTON;
    std::string text = FieldText(box, 0xFFFF);
    driver::PressButton(box, button);
    WaitFor([&] { return !IsWindow(box); });
    return text;
  }

  void WriteCopyTest(bool defaultNo) {
    Source("plain.txt");
    Source("keep.txt");
    Source("over.txt");
    Source("norecord.txt");
    Source("equal.txt");
    Source("newer.txt");
    Source("both.txt");
    Source("both2.txt");
    Source("locked.txt");
    Source("sub\\deep.txt");
    Source("%root%\\rooted.txt");
    Source("Self Copy.exe", "MZ self");
    Installed("keep.txt", 1);
    Installed("over.txt", 1);
    Installed("equal.txt", 0);
    Installed("newer.txt", 2);
    Installed("both.txt", 1);
    Installed("both2.txt", -1);
    Installed("locked.txt", -1);
    // An earlier installation's records, one entry shared, one its own.
    ASSERT_TRUE(driver::WriteFileBytes(folder_ + "\\Setup.ini",
                                       "[CopiedFile]\r\nCount=2\r\n0=" + folder_ + "\\plain.txt\r\n1=" + folder_ +
                                           "\\earlier only.txt\r\n[MakedDirectory]\r\nCount=1\r\n0=" + folder_ +
                                           "\r\n"));
    WriteIni(std::string("[Setup]\r\nName=Copy Test\r\n[Check]\r\nCopy=2\r\nDel=1\r\n[CopyFile]\r\n") +
             "0=plain.txt\r\n1=&keep.txt\r\n2=?+over.txt\r\n3=!norecord.txt\r\n4=*missing.txt\r\n5=missing2.txt\r\n"
             "6=equal.txt\r\n7=newer.txt\r\n8=&?both.txt\r\n9=&?both2.txt\r\n10=locked.txt\r\n11=sub\\deep.txt\r\n"
             "12=%root%\\rooted.txt\r\nSelf=Self Copy.exe\r\nDefaultNo=" + (defaultNo ? "1" : "0") +
             "\r\n[MakeDirectory]\r\n0=never\r\n1=data\\deep\\er\r\n2=sub\r\n");
  }

  // The entries that the question and the notice are not about.
  void ExpectCommonOutcome() {
    EXPECT_EQ(driver::ReadFileBytes(folder_ + "\\plain.txt"), "new");
    EXPECT_EQ(driver::ReadFileBytes(folder_ + "\\keep.txt"), "old") << "kept: not older";
    EXPECT_EQ(driver::ReadFileBytes(folder_ + "\\over.txt"), "new") << "overwritten without a question";
    EXPECT_EQ(driver::ReadFileBytes(folder_ + "\\norecord.txt"), "new");
    EXPECT_EQ(driver::ReadFileBytes(folder_ + "\\both.txt"), "old") << "the keep mark is tested first";
    EXPECT_EQ(driver::ReadFileBytes(folder_ + "\\both2.txt"), "new");
    EXPECT_EQ(driver::ReadFileBytes(folder_ + "\\sub\\deep.txt"), "new");
    EXPECT_EQ(driver::ReadFileBytes(folder_ + "\\rooted.txt"), "new");
    EXPECT_EQ(driver::ReadFileBytes(folder_ + "\\Self Copy.exe"), "MZ self") << "the copy box was set";
    EXPECT_TRUE(driver::Exists(folder_ + "\\Setup.exe"));
    EXPECT_FALSE(driver::Exists(folder_ + "\\never"));
    EXPECT_EQ(Setting("Root", "Named"), folder_);
    EXPECT_EQ(Setting("Check", "Copy"), "2");
    EXPECT_EQ(Setting("Check", "Del"), "0");
    // The installation folder existed: it is entry 0, the parents of a
    // made folder come before it.
    EXPECT_EQ(driver::ProfileList(ini_, "MakedDirectory"),
              (std::vector<std::string>{folder_, folder_ + "\\data", folder_ + "\\data\\deep",
                                        folder_ + "\\data\\deep\\er", folder_ + "\\sub"}));
  }

  std::string QuestionText() const {
    return "以下のファイルは新しいものが存在します．\r\n\r\n" + folder_ + "\\equal.txt\r\n" + folder_ +
           "\\newer.txt\r\n\r\n上書きしますか？";
  }
  std::string NoticeText() const {
    return "以下のファイルはコピーできませんでした\r\n\r\n" + folder_ + "\\missing2.txt\r\n" + folder_ +
           "\\locked.txt\r\n\r\n処理は継続します";
  }

  std::string folder_;
  std::vector<std::string> cleanup_;
};

TEST_F(SetupInstall, CopyEntriesAskOnceAndOverwriteOnYes) {
  WriteCopyTest(false);
  Held locked(folder_ + "\\locked.txt");
  ASSERT_NE(locked.file, INVALID_HANDLE_VALUE);
  HWND dialog = nullptr;
  driver::Process process = RunInstall("Copy Test", &dialog);
  ASSERT_NE(dialog, nullptr);
  bool defaultNo = true;
  EXPECT_EQ(Answer(process, dialog, IDYES, &defaultNo), QuestionText());
  EXPECT_FALSE(defaultNo);
  EXPECT_EQ(Answer(process, dialog, IDOK), NoticeText()) << "an ignore-marked failure is not listed";
  ExpectEnd(process);
  ExpectCommonOutcome();
  EXPECT_EQ(driver::ReadFileBytes(folder_ + "\\equal.txt"), "new");
  EXPECT_EQ(driver::ReadFileBytes(folder_ + "\\newer.txt"), "new");
  // Files that were there before are replaced but not recorded: they may
  // be another program's. over.txt is taken over by its mark.
  std::vector<std::string> copied = {folder_ + "\\plain.txt", folder_ + "\\over.txt", folder_ + "\\sub\\deep.txt",
                                     folder_ + "\\\\rooted.txt", folder_ + "\\Self Copy.exe",
                                     folder_ + "\\earlier only.txt"};
  EXPECT_EQ(driver::ProfileList(ini_, "CopiedFile"), copied) << "the earlier installation's own entry appended once";
  // The installation folder holds the running Setup.ini, merged.
  EXPECT_EQ(driver::ProfileList(folder_ + "\\Setup.ini", "CopiedFile"), copied);
  EXPECT_EQ(Setting(folder_ + "\\Setup.ini", "Root", "Named"), folder_);
}

TEST_F(SetupInstall, NoLeavesTheNewerFilesAloneAndUnrecorded) {
  WriteCopyTest(true);
  Held locked(folder_ + "\\locked.txt");
  ASSERT_NE(locked.file, INVALID_HANDLE_VALUE);
  HWND dialog = nullptr;
  driver::Process process = RunInstall("Copy Test", &dialog);
  ASSERT_NE(dialog, nullptr);
  bool defaultNo = false;
  EXPECT_EQ(Answer(process, dialog, IDNO, &defaultNo), QuestionText());
  EXPECT_TRUE(defaultNo) << "[CopyFile] DefaultNo";
  EXPECT_EQ(Answer(process, dialog, IDOK), NoticeText());
  ExpectEnd(process);
  ExpectCommonOutcome();
  EXPECT_EQ(driver::ReadFileBytes(folder_ + "\\equal.txt"), "old");
  EXPECT_EQ(driver::ReadFileBytes(folder_ + "\\newer.txt"), "old");
  EXPECT_EQ(driver::ProfileList(ini_, "CopiedFile"),
            (std::vector<std::string>{folder_ + "\\plain.txt", folder_ + "\\over.txt", folder_ + "\\sub\\deep.txt",
                                      folder_ + "\\\\rooted.txt", folder_ + "\\Self Copy.exe",
                                      folder_ + "\\earlier only.txt"}));
}

TEST_F(SetupInstall, AMissingParentIsRecordedFirstAndNothingCopiedStillMarksTheInstall) {
  folder_ = root_ + "\\new parent\\Installed App";
  WriteIni("[Setup]\r\nName=Copy Test\r\n[Check]\r\nCopy=1\r\n[CopyFile]\r\nSelf=Self Copy.exe\r\n");
  Source("Self Copy.exe");
  HWND dialog = nullptr;
  driver::Process process = RunInstall("Copy Test", &dialog);
  ASSERT_NE(dialog, nullptr);
  ExpectEnd(process);
  EXPECT_EQ(driver::ProfileList(ini_, "MakedDirectory"), (std::vector<std::string>{root_ + "\\new parent", folder_}));
  // No key 0, yet the count marks the installed copy.
  EXPECT_EQ(Setting("CopiedFile", "Count"), "1");
  EXPECT_EQ(Setting("CopiedFile", "0"), "<none>");
  EXPECT_FALSE(driver::Exists(folder_ + "\\Self Copy.exe")) << "the copy box was clear";
  EXPECT_TRUE(driver::Exists(folder_ + "\\Setup.ini"));
}


// How many files named `name` Wine's recycle bin holds (it adds a suffix
// to a name it holds already); the harness keeps its trash below the build
// tree.
int InTrash(const std::string& name) {
  char unix[MAX_PATH] = "";
  GetEnvironmentVariableA("XDG_DATA_HOME", unix, sizeof unix);
  std::string pattern = std::string("Z:") + unix + "/Trash/files/" + name + "*";
  for (char& c : pattern)
    if (c == '/') c = '\\';
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA(pattern.c_str(), &entry);
  int count = 0;
  if (find != INVALID_HANDLE_VALUE) {
    do ++count;
    while (FindNextFileA(find, &entry));
    FindClose(find);
  }
  return count;
}

// However many files wait, the question is one box that fits a screen:
// thirty names at the most, the rest counted, the question below them.
TEST_F(SetupInstall, ManyWaitingFilesMakeOneReadableQuestion) {
  for (int count : {30, 5000}) {
    SCOPED_TRACE(count);
    std::string ini = "[Setup]\r\nName=Copy Test\r\n[CopyFile]\r\n", expected;
    for (int i = 0; i < count; ++i) {
      std::string name = "waiting " + std::to_string(i) + " with a longer name to make the list long.txt";
      Source(name);
      Installed(name, 1);
      ini += std::to_string(i) + "=" + name + "\r\n";
      if (i < 30) expected += folder_ + "\\" + name + "\r\n";
    }
    if (count > 30) expected += "ほか " + std::to_string(count - 30) + " 個のファイル\r\n";
    WriteIni(ini);
    HWND dialog = nullptr;
    driver::Process process = RunInstall("Copy Test", &dialog);
    ASSERT_NE(dialog, nullptr);
    std::string question = Answer(process, dialog, IDNO);
    EXPECT_TRUE(question == "以下のファイルは新しいものが存在します．\r\n\r\n" + expected + "\r\n上書きしますか？")
        << question.size() << " bytes: " << question.substr(0, 200);
    ExpectEnd(process, 120000);
    driver::RemoveTree(folder_);
  }
}

// Clearing an old menu empties its whole folder, so a menu that names a
// folder no application owns is passed over: the Programs folder, a
// drive's root, a folder above the Programs folder, the Windows folder.
TEST_F(SetupInstall, OldMenusNeverTakeTheSystemsFolders) {
  std::string windows = driver::WindowsFolder();
  std::string programs = UserFolder("Programs");
  std::string startMenu = programs.substr(0, programs.rfind('\\'));
  std::string marker = programs + "\\Sfx Keep Me.txt";
  cleanup_.push_back(marker);
  ASSERT_TRUE(driver::WriteFileBytes(marker, "keep"));
  struct Case {
    std::string running, earlier;
  } cases[] = {{programs, "C:\\"}, {startMenu, windows}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.running + " and " + c.earlier);
    ASSERT_TRUE(driver::MakeFolders(folder_));
    ASSERT_TRUE(driver::WriteFileBytes(folder_ + "\\Setup.ini", "[Menu]\r\nNamed=" + c.earlier + "\r\n"));
    WriteIni("[Setup]\r\nName=Copy Test\r\n[Menu]\r\nNamed=" + c.running + "\r\n");
    HWND dialog = nullptr;
    driver::Process process = RunInstall("Copy Test", &dialog);
    ASSERT_NE(dialog, nullptr);
    ExpectEnd(process);
    EXPECT_EQ(driver::ReadFileBytes(marker), "keep");
    EXPECT_TRUE(driver::Exists(std::string(windows) + "\\notepad.exe"));
    driver::RemoveTree(folder_);
  }
}

class SetupLinks : public SetupInstall {
 protected:
  void SetUp() override {
    SetupInstall::SetUp();
    programs_ = UserFolder("Programs");
    menu_ = programs_ + "\\Sfx Test Menu";
    send_ = UserFolder("SendTo") + "\\Sfx Test Send";
    desktop_ = UserFolder("Desktop") + "\\Sfx Test Desktop.lnk";
    startup_ = UserFolder("Startup") + "\\Sfx Test Startup.lnk";
    accessory_ = programs_ + "\\Sfx Test Accessory.lnk";
    marks_ = root_ + "\\marks";
    for (const std::string& path : {menu_, send_, desktop_, startup_, accessory_}) {
      cleanup_.push_back(path);
      DeleteFileA(path.c_str());
      driver::RemoveTree(path);
    }
    ASSERT_TRUE(driver::MakeFolders(marks_));
    // The installed program: it leaves a mark named by its argument.
    Source("tool.bat", "@echo off\r\necho started> \"" + marks_ + "\\%1.txt\"\r\n");
  }

  std::string LinkIni(const std::string& checks, const std::string& desktopKey, const std::string& startupKey) {
    keys_.push_back("Sfx Test Links");
    return "[Setup]\r\nName=Copy Test\r\n[Root]\r\nName=Sfx Test Links\r\n[CopyFile]\r\n0=tool.bat\r\n[Check]\r\n" +
           checks +
           "[Menu]\r\nName=Sfx Test Menu\r\n"
           "[Menu0]\r\nName=Tool\r\nPath=tool.bat\r\nArg=menu\r\nShow=1\r\nIcon=tool.bat\r\nIconNo=3\r\nWork=bin\r\n"
           "[Menu1]\r\nName=Docs\\Deep\\Guide\r\nPath=!C:\\windows\\notepad.exe\r\nShow=2\r\nWork=!C:\\Data\r\n"
           "[Menu2]\r\nName=\\Sfx Test Accessory\r\nPath=tool.bat\r\nArg=accessory\r\n"
           "[Menu3]\r\nName=$Once\r\nPath=tool.bat\r\nArg=once\r\n"
           "[Menu5]\r\nName=Never\r\nPath=tool.bat\r\n"
           "[Desktop]\r\nName=Sfx Test Desktop\r\nPath=tool.bat\r\nArg=desktop\r\nShort=" + desktopKey + "\r\n"
           "[Startup]\r\nName=Sfx Test Startup\r\nPath=tool.bat\r\nShort=" + startupKey + "\r\n"
           "[Send0]\r\nName=Sfx Test Send\\To Tool\r\nPath=tool.bat\r\n"
           "[LastGo]\r\n0=$Once\r\n1=Tool\r\nDesktopAndGo=1\r\n";
  }

  std::string programs_, menu_, send_, desktop_, startup_, accessory_, marks_;
};

TEST_F(SetupLinks, EveryFieldIsMadeAndTheNamedLinksAreOpenedAtTheEnd) {
  WriteIni(LinkIni("Menu=2\r\nDesktop=2\r\nStartup=2\r\nSend=2\r\n", "P", "\\256"));
  int trashed = InTrash("$Once.lnk");
  HWND dialog = nullptr;
  driver::Process process = RunInstall("Copy Test", &dialog);
  ASSERT_NE(dialog, nullptr);
  ExpectEnd(process);

  std::string tool = folder_ + "\\tool.bat";
  Link menu = ReadLink(menu_ + "\\Tool.lnk");
  ASSERT_TRUE(menu.loaded);
  EXPECT_EQ(menu.target, tool);
  EXPECT_EQ(menu.arguments, "menu");
  EXPECT_EQ(menu.show, SW_SHOWMAXIMIZED);
  EXPECT_EQ(menu.icon, tool);
  EXPECT_EQ(menu.iconIndex, 3);
  EXPECT_EQ(menu.work, folder_ + "\\bin");
  EXPECT_EQ(menu.hotkey, 0) << "menu links get no hot key";
  Link guide = ReadLink(menu_ + "\\Docs\\Deep\\Guide.lnk");
  ASSERT_TRUE(guide.loaded) << "folders of the name are made";
  EXPECT_EQ(guide.target, "C:\\windows\\notepad.exe");
  EXPECT_EQ(guide.show, SW_SHOWMINNOACTIVE);
  EXPECT_EQ(guide.work, "C:\\Data");
  Link accessory = ReadLink(accessory_);
  ASSERT_TRUE(accessory.loaded) << "a leading backslash names a link below the Programs folder";
  EXPECT_EQ(accessory.show, SW_SHOWNORMAL);
  EXPECT_EQ(accessory.work, folder_);
  EXPECT_FALSE(driver::Exists(menu_ + "\\Never.lnk")) << "a gap ends the list";
  Link desktop = ReadLink(desktop_);
  ASSERT_TRUE(desktop.loaded);
  EXPECT_EQ(desktop.hotkey, 0x0650) << "Ctrl+Alt+P";
  EXPECT_EQ(Setting("LastGo", "Desktop"), desktop_);
  Link startup = ReadLink(startup_);
  ASSERT_TRUE(startup.loaded);
  EXPECT_EQ(startup.hotkey, 0x0700) << "256 brings Shift";
  EXPECT_EQ(Setting("LastGo", "Startup"), startup_);
  EXPECT_TRUE(ReadLink(send_ + "\\To Tool.lnk").loaded);

  // Opened at the end: the [LastGo] list and the desktop link; the
  // run-once link then goes to the recycle bin.
  for (const char* mark : {"once", "menu", "desktop"})
    EXPECT_TRUE(driver::WaitForLine(marks_ + "\\" + mark + ".txt")) << mark;
  EXPECT_FALSE(driver::Exists(menu_ + "\\$Once.lnk"));
  EXPECT_EQ(InTrash("$Once.lnk"), trashed + 1);
  // A link the install made opens the installed program.
  ShellExecuteA(nullptr, nullptr, accessory_.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  EXPECT_TRUE(driver::WaitForLine(marks_ + "\\accessory.txt"));

  // The version-up empties the menu folder that the earlier install made
  // first, user's files and all; it offers the boxes the user had
  // checked again, though the new description offers them unchecked; a
  // box cleared takes its links away, and only the folders that are left
  // empty.
  EXPECT_EQ(Setting(folder_ + "\\Setup.ini", "Menu", "Made"), menu_);
  EXPECT_EQ(Setting(folder_ + "\\Setup.ini", "Check", "Send"), "2") << "the box as the user left it";
  ASSERT_TRUE(driver::WriteFileBytes(menu_ + "\\user note.txt", "mine"));
  ASSERT_TRUE(driver::WriteFileBytes(send_ + "\\user note.txt", "mine"));
  WriteIni(LinkIni("Menu=1\r\nDesktop=2\r\nStartup=2\r\nSend=1\r\n", "a", "ｱ"));
  process = Start();
  dialog = WaitForDialog(process, "Copy Test");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(FieldText(dialog, IDC_FOLDER), folder_);
  EXPECT_TRUE(Checked(dialog, IDC_MENU));
  EXPECT_TRUE(Checked(dialog, IDC_SEND));
  SendDlgItemMessageA(dialog, IDC_SEND, BM_SETCHECK, BST_UNCHECKED, 0);
  driver::PressButton(dialog, IDC_RUN);
  Answer(process, dialog, IDYES);  // the program installed a moment ago is as new as its source
  ExpectEnd(process);
  EXPECT_FALSE(driver::Exists(menu_ + "\\user note.txt"));
  EXPECT_TRUE(driver::Exists(menu_ + "\\Tool.lnk"));
  EXPECT_FALSE(driver::Exists(send_ + "\\To Tool.lnk"));
  EXPECT_TRUE(driver::Exists(send_ + "\\user note.txt")) << "a folder that is not empty stays";
  EXPECT_EQ(Setting("Check", "Send"), "1");
  EXPECT_EQ(ReadLink(desktop_).hotkey, 0x0661) << "the byte as it stands: numeric-keypad 1";
  EXPECT_EQ(ReadLink(startup_).hotkey, 0xFFB1) << "a byte of 0x80 or more fills the high byte";
}

TEST_F(SetupLinks, TheMenuPlaceIsChosenInTheBrowserAndAnEmptyMenuIsNotLeftBehind) {
  std::string place = programs_ + "\\Sfx Test Place";
  cleanup_.push_back(place);
  ASSERT_TRUE(driver::MakeFolders(place));
  WriteIni("[Setup]\r\nName=Copy Test\r\n[Check]\r\nMenu=2\r\n[Menu]\r\nName=Sfx Chosen\r\n");
  driver::Process process = Start();
  HWND dialog = WaitForDialog(process, "Copy Test");
  ASSERT_NE(dialog, nullptr);
  SendDlgItemMessageA(dialog, IDC_FOLDER, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder_.c_str()));
  driver::PressButton(dialog, IDC_MENU_PLACE);
  HWND browser = WaitForBrowser(process);
  ASSERT_NE(browser, nullptr);
  ASSERT_TRUE(driver::SelectBrowseItem(browser, "Sfx Test Place"));
  driver::PressButton(browser, IDOK);
  ASSERT_TRUE(WaitFor([&] { return Setting("Menu", "Change") == place + "\\Sfx Chosen"; }, 10000))
      << Setting("Menu", "Change");
  driver::PressButton(dialog, IDC_RUN);
  ExpectEnd(process);
  EXPECT_EQ(Setting("Menu", "Named"), place + "\\Sfx Chosen");
  EXPECT_EQ(Setting("Menu", "Change"), "");
  EXPECT_FALSE(driver::Exists(place + "\\Sfx Chosen")) << "made for no link, and removed again";
  EXPECT_TRUE(driver::Exists(place));
}

}  // namespace
