// The uninstall as a user meets it: started by its UninstallString as the
// system's list starts it, unattended, then handing over to the removal
// copy. The round trip from an install back to the machine as it was,
// compared key by key and file by file; the report of what a user's own
// files kept; and the Windows 95 family's removal in memory.
#include "setup_run.h"
#include "snapshot.h"

namespace {

using namespace setuptest;

const std::vector<std::string> kClasses = {".sfxrtnew",      ".sfxrttaken",   ".sfxrtshared",
                                           "SfxRt.Document", "SfxRt.Foreign", "SfxRt.Shared"};
// Keys below HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE alike.
const std::vector<std::string> kOwnKeys = {"Software\\Sfx RT Lines", "Software\\Sfx RT Company"};

class SetupUninstall : public SetupRun {
 protected:
  void SetUp() override {
    SetupRun::SetUp();
    // Named as [Root] Name, as the browse button would name it: an
    // installed copy takes its name again from its folder.
    folder_ = root_ + "\\Sfx Round Trip App";
    keys_.push_back("Sfx Round Trip App");
    Clean();
  }
  void TearDown() override {
    Clean();
    SetupRun::TearDown();
  }
  void Clean() {
    for (const std::string& key : kClasses) RegDeleteTreeA(HKEY_CLASSES_ROOT, key.c_str());
    for (const std::string& key : kOwnKeys) {
      RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
      RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str());
    }
    for (const std::string& link : Links()) DeleteFileA(link.c_str());
    driver::RemoveTree(UserFolder("Programs") + "\\Sfx Round Trip Menu");
  }
  std::vector<std::string> Links() {
    std::string menu = UserFolder("Programs") + "\\Sfx Round Trip Menu";
    return {menu + "\\App.lnk", menu + "\\Docs\\Read Me.lnk", UserFolder("Desktop") + "\\Sfx Round Trip.lnk",
            UserFolder("Startup") + "\\Sfx Round Trip Startup.lnk", UserFolder("SendTo") + "\\Sfx Round Trip Send.lnk"};
  }
  std::string folder_;
};

TEST_F(SetupUninstall, RoundTripLeavesTheMachineAsItWas) {
  for (const char* source : {"app.exe", "readme.txt", "data\\deep\\d.dat"}) {
    ASSERT_TRUE(driver::MakeFolders((app_ + "\\" + source).substr(0, (app_ + "\\" + source).rfind('\\'))));
    ASSERT_TRUE(driver::WriteFileBytes(app_ + "\\" + source, std::string("MZ ") + source));
  }
  WriteIni(
      "[Setup]\r\nName=Sfx Round Trip\r\n[Root]\r\nName=Sfx Round Trip App\r\n"
      "[Check]\r\nMenu=2\r\nDesktop=2\r\nStartup=2\r\nExt=2\r\nSend=2\r\n"
      "[CopyFile]\r\n0=app.exe\r\n1=readme.txt\r\n2=data\\deep\\d.dat\r\n[MakeDirectory]\r\n1=data\\deep\r\n"
      "[Menu]\r\nName=Sfx Round Trip Menu\r\n[Menu0]\r\nName=App\r\nPath=app.exe\r\n"
      "[Menu1]\r\nName=Docs\\Read Me\r\nPath=readme.txt\r\n[Desktop]\r\nName=Sfx Round Trip\r\nPath=app.exe\r\n"
      "[Startup]\r\nName=Sfx Round Trip Startup\r\nPath=app.exe\r\n[Send0]\r\nName=Sfx Round Trip Send\r\nPath=app.exe\r\n"
      "[Ext0]\r\nExt=.sfxrtnew\r\nKind=SfxRt.Document\r\nIcon=app.exe\r\nIconNo=1\r\nVerb=open\r\n"
      "Command=\"app.exe\" %1\r\n"
      "[Ext1]\r\nExt=.sfxrttaken\r\nKind=SfxRt.Document\r\nVerb=open\r\nCommand=app.exe /t \"%1\"\r\nForce=1\r\n"
      "[Ext2]\r\nExt=.sfxrtshared\r\nKind=SfxRt.Document\r\nVerb=open\r\nVerb2=Sfx RT View\r\n"
      "Command=app.exe /v \"%1\"\r\n"
      "[Reg]\r\nMake0=HKEY_CURRENT_USER\\Software\\Sfx RT Lines\\App\\Settings\\\\Data\\%root%data\r\n"
      "Make1=hkey_current_user\\Software\\Sfx RT Lines\\App\\\\\\!default\r\n"
      "Make2=HKLM\\SOFTWARE\\Sfx RT Lines\\\\Level\\!3\r\n"
      "Erase0=HKEY_CURRENT_USER\\Software\\Sfx RT Lines\\App\r\nErase1=HKLM\\SOFTWARE\\Sfx RT Lines\\Level\r\n"
      "[Registry]\r\nCompany=Sfx RT Company\r\nName=Round Trip\r\n"
      "[Del]\r\nAuto=1\r\nShowError=1\r\nForce=1\r\n0=*.log\r\n[DirRemove]\r\n1=logs\r\n");
  // Two classes of another program own extensions the install binds.
  for (const char* key : {".sfxrttaken", ".sfxrtshared", "SfxRt.Foreign\\shell\\open\\command",
                          "SfxRt.Shared\\shell\\open\\command"}) {
    HKEY opened;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened, nullptr),
              ERROR_SUCCESS);
    std::string owner = key[0] != '.' ? "other.exe \"%1\"" : strcmp(key, ".sfxrttaken") == 0 ? "SfxRt.Foreign" : "SfxRt.Shared";
    RegSetValueExA(opened, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(owner.c_str()),
                   static_cast<DWORD>(owner.size() + 1));
    RegCloseKey(opened);
  }
  std::vector<std::string> registryBefore = driver::RegistrySnapshot(kClasses, kOwnKeys), filesBefore = FileSnapshot();

  // The user names the folder otherwise than the entry: the uninstall
  // must still find and remove the entry.
  folder_ = root_ + "\\Round Trip Chosen";
  driver::Process process = Start();
  HWND dialog = WaitForDialog(process, "Sfx Round Trip");
  ASSERT_NE(dialog, nullptr);
  SendDlgItemMessageA(dialog, IDC_FOLDER, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder_.c_str()));
  driver::PressButton(dialog, IDC_RUN);
  ExpectEnd(process);
  const std::string f = folder_ + "\\";
  for (const std::string& path : Links()) EXPECT_TRUE(driver::Exists(path)) << path;
  for (const char* file : {"app.exe", "readme.txt", "data\\deep\\d.dat", "Setup.exe", "Setup.ini"})
    EXPECT_TRUE(driver::Exists(f + file)) << file;
  const struct {
    HKEY root;
    std::string key, dump;
  } made[] = {
      {HKEY_LOCAL_MACHINE, driver::UninstallKey("Sfx Round Trip App"),
       "|DisplayName=Sfx Round Trip |UninstallString=" + f + "Setup.exe uninstall"},
      {HKEY_CLASSES_ROOT, ".sfxrttaken", "|=SfxRt.Document |Old Name=SfxRt.Foreign"},
      {HKEY_CLASSES_ROOT, "SfxRt.Shared\\shell\\Sfx RT View\\command", "|=" + f + "app.exe /v \"%1\""},
      {HKEY_CURRENT_USER, "Software\\Sfx RT Lines", "App App\\Settings App\\Settings|Data=" + f + "data App|=default"},
  };
  for (const auto& m : made) EXPECT_EQ(driver::RegistryDump(m.root, m.key), m.dump) << m.key;

  // The application in use: a log, a folder of logs, a file made
  // read-only, its settings in both roots.
  ASSERT_TRUE(driver::WriteFileBytes(f + "run.log", "log") && driver::MakeFolders(f + "logs"));
  SetFileAttributesA((f + "readme.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    HKEY settings;
    ASSERT_EQ(RegCreateKeyExA(root, "Software\\Sfx RT Company\\Round Trip\\Window", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &settings, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(settings, "Left", 0, REG_SZ, reinterpret_cast<const BYTE*>("10"), 3);
    RegCloseKey(settings);
  }

  process = StartFromUninstallList("Sfx Round Trip App");
  dialog = WaitForDialog(process, "Sfx Round Trip");
  ASSERT_NE(dialog, nullptr);
  std::vector<std::string> texts =
      RunTexts(driver::FollowTexts(process, dialog, IDC_FOLDER_LABEL, 30000), "インストール済です．");
  EXPECT_EQ(texts, (std::vector<std::string>{"システムの設定を削除しています．", "ファイルを削除しています．",
                                             "アンインストールは終了しました．"}));
  // With [Del] ShowError a report would hold the program until answered:
  // ending by itself, it showed none.
  ExpectEnd(process);
  ExpectRemovalCopyDone(folder_, true);
  EXPECT_EQ(driver::Difference(registryBefore, driver::RegistrySnapshot(kClasses, kOwnKeys)), "");
  EXPECT_EQ(driver::Difference(filesBefore, FileSnapshot()), "");
}

TEST_F(SetupUninstall, FilesOfTheUsersAreReportedAndStay) {
  const std::string f = folder_ + "\\";
  for (const char* file : {"app.exe", "data\\d.dat", "data\\mine.txt", "notes.txt"}) {
    ASSERT_TRUE(driver::MakeFolders((f + file).substr(0, (f + file).rfind('\\'))));
    ASSERT_TRUE(driver::WriteFileBytes(f + file, "x"));
  }
  ASSERT_TRUE(CopyFileA((app_ + "\\setup.exe").c_str(), (f + "Setup.exe").c_str(), FALSE));
  ASSERT_TRUE(driver::WriteFileBytes(f + "Setup.ini",
                                     "[Setup]\r\nName=Sfx Leftovers\r\n[Root]\r\nName=Sfx Round Trip App\r\nNamed=" +
                                         folder_ + "\r\n[Del]\r\nAuto=1\r\nShowError=1\r\n[CopiedFile]\r\nCount=2\r\n0=" +
                                         f + "app.exe\r\n1=" + f + "data\\d.dat\r\n[MakedDirectory]\r\nCount=2\r\n0=" +
                                         folder_ + "\r\n1=" + f + "data\r\n"));
  Register("Sfx Round Trip App", f + "Setup.exe uninstall");
  driver::Process process = StartFromUninstallList("Sfx Round Trip App");
  HWND dialog = WaitForDialog(process, "Sfx Leftovers");
  ASSERT_NE(dialog, nullptr);
  HWND box = WaitForMessageBox(process, dialog, 30000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(driver::WindowText(box), "ファイル・フォルダの削除");
  EXPECT_EQ(FieldText(box, 0xFFFF), "次のものは削除されませんでした．\n\n" + f + "data\n" + folder_ + "\n");
  EXPECT_EQ(driver::ControlText(dialog, IDC_FOLDER_LABEL), "ファイルを削除しています．");
  EXPECT_FALSE(driver::Exists(f + "app.exe"));
  // Painted through before the picture is taken.
  RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Shoot("uninstall report", box);
  driver::PressButton(box, IDOK);
  ExpectEnd(process);
  ExpectRemovalCopyDone(folder_, false);
  for (const char* kept : {"data\\mine.txt", "notes.txt"}) EXPECT_TRUE(driver::Exists(f + kept)) << kept;
  EXPECT_FALSE(driver::Exists(f + "data\\d.dat"));
  EXPECT_FALSE(driver::Exists(f + "Setup.ini"));
}

// Wine reports the Windows 95 family to a program set to win98 and runs
// the removal routine, but cannot delete the running image: what shows is
// that the routine runs from its memory and ends the process cleanly, and
// that the batch method did not run.
TEST_F(SetupUninstall, TheWindows95FamilyRemovesInMemoryWithoutFault) {
  const std::string name = "sfx nine five.exe", program = folder_ + "\\" + name;
  const std::string settings = "Software\\Wine\\AppDefaults\\" + name;
  ASSERT_TRUE(driver::MakeFolders(folder_));
  ASSERT_TRUE(CopyFileA((app_ + "\\setup.exe").c_str(), program.c_str(), FALSE));
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, settings.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("win98"), 6);
  RegCloseKey(key);
  // The batch method would overwrite this before its process ends.
  ASSERT_TRUE(driver::WriteFileBytes("C:\\delus.bat", "rem marker\r\n"));
  driver::Process process = driver::Start("\"" + program + "\" remove", folder_);
  DWORD code = 99;
  EXPECT_TRUE(process.Wait(20000, &code));
  RegDeleteKeyA(HKEY_CURRENT_USER, settings.c_str());
  EXPECT_EQ(code, 0u) << "a fault in memory that may not execute ends with its exception code";
  EXPECT_EQ(driver::ReadFileBytes("C:\\delus.bat"), "rem marker\r\n");
  DeleteFileA("C:\\delus.bat");
  EXPECT_TRUE(driver::Exists(program)) << "Wine keeps the running image";
}

}  // namespace
