// setup's uninstall entry and its removal against Wine's registry and file
// system: the entry's values, the settings keys that go with it, the files
// and folders an uninstall deletes and the list of what it left.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "registry_dump.h"
#include "setup.h"
#include "window_driver.h"

namespace {

const char kEntry[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sfx W32 App";

class SetupUninstall : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = "C:\\sfx win32\\setup uninstall";
    app_ = folder_ + "\\App";
    driver::RemoveTree(folder_);
    ASSERT_TRUE(driver::MakeFolders(app_));
    lstrcpyA(g_setup.ini, (folder_ + "\\Setup.ini").c_str());
    Clean();
  }
  void TearDown() override {
    Clean();
    if (!HasFailure()) driver::RemoveTree(folder_);
  }
  void Clean() {
    driver::DeleteRegistryTree(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sfx W32 App");
    driver::DeleteRegistryTree(HKEY_CURRENT_USER, L"SOFTWARE\\Sfx W32 Co");
    driver::DeleteRegistryTree(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Sfx W32 Co");
  }
  void WriteIni(const std::string& text) { ASSERT_TRUE(driver::WriteFileBytes(g_setup.ini, text)); }
  static void MakeKey(HKEY root, const std::string& path, const char* value = nullptr) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    if (value) RegSetValueExA(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
    RegCloseKey(key);
  }
  std::string Listed() {
    size_t total = ListRemainingItems(nullptr);
    std::string list(total + 1, '\0');
    EXPECT_EQ(ListRemainingItems(&list[0], list.size()), total);
    list.resize(lstrlenA(list.c_str()));
    EXPECT_EQ(list.size(), total) << "counted and listed alike";
    return list;
  }

  std::string folder_, app_;
};

TEST_F(SetupUninstall, TheEntryNamesTheInstalledSetupUnquoted) {
  const struct {
    const char *what, *ini, *entry;
  } cases[] = {
      {"unattended", "[Setup]\r\nName=Sfx Viewer\r\n[Root]\r\nName=Sfx W32 App\r\nNamed=C:\\Sfx Apps\\Viewer\r\n[Del]\r\nAuto=1",
       "|DisplayName=Sfx Viewer |UninstallString=C:\\Sfx Apps\\Viewer\\Setup.exe uninstall"},
      {"by the user", "[Setup]\r\nName=Sfx Viewer\r\n[Root]\r\nName=Sfx W32 App\r\nNamed=C:\\Sfx Apps\\Viewer",
       "|DisplayName=Sfx Viewer |UninstallString=C:\\Sfx Apps\\Viewer\\Setup.exe"},
      {"a drive's root", "[Root]\r\nName=Sfx W32 App\r\nNamed=D:\\", "|UninstallString=D:\\Setup.exe"},
      {"no folder", "[Setup]\r\nName=Sfx Viewer\r\n[Root]\r\nName=Sfx W32 App", "|DisplayName=Sfx Viewer"},
      {"no name: no entry", "[Setup]\r\nName=Sfx Viewer\r\n[Root]\r\nNamed=C:\\Sfx Apps\\Viewer", "<gone>"},
  };
  for (const auto& c : cases) {
    Clean();
    WriteIni(c.ini);
    RegisterUninstall();
    EXPECT_EQ(driver::RegistryDump(HKEY_LOCAL_MACHINE, kEntry), c.entry) << c.what;
  }
}

TEST_F(SetupUninstall, TheEntryGoesWithTheSettingsKeys) {
  const struct {
    const char *what, *ini, *entry, *user, *machine;
  } cases[] = {
      {"the application's key; the company's only when left empty",
       "[Root]\r\nName=Sfx W32 App\r\n[Registry]\r\nCompany=Sfx W32 Co\r\nName=App", "<gone>", "Other", "<gone>"},
      {"without Name, the company whole", "[Root]\r\nName=Sfx W32 App\r\n[Registry]\r\nCompany=Sfx W32 Co",
       "<gone>", "<gone>", "<gone>"},
      {"without Company, no settings key", "[Root]\r\nName=Sfx W32 App\r\n[Registry]\r\nName=App", "<gone>",
       "App App\\Window App\\Window|x=1 Other", "App"},
      {"without [Root] Name, nothing at all",
       "[Registry]\r\nCompany=Sfx W32 Co\r\nName=App", "|UninstallString=x", "App App\\Window App\\Window|x=1 Other",
       "App"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Clean();
    HKEY entry;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kEntry, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &entry, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(entry, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
    RegCloseKey(entry);
    MakeKey(HKEY_CURRENT_USER, "SOFTWARE\\Sfx W32 Co\\App\\Window", "x");
    MakeKey(HKEY_CURRENT_USER, "SOFTWARE\\Sfx W32 Co\\Other");
    MakeKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Sfx W32 Co\\App");
    WriteIni(c.ini);
    RemoveRegistration();
    EXPECT_EQ(driver::RegistryDump(HKEY_LOCAL_MACHINE, kEntry), c.entry);
    EXPECT_EQ(driver::RegistryDump(HKEY_CURRENT_USER, "SOFTWARE\\Sfx W32 Co"), c.user);
    EXPECT_EQ(driver::RegistryDump(HKEY_LOCAL_MACHINE, "SOFTWARE\\Sfx W32 Co"), c.machine);
  }
}

// One installation: [Del] patterns, recorded files and folders, extra
// folders, and files of the user's in between.
TEST_F(SetupUninstall, RemovalTakesWhatWasRecordedAndListsWhatStays) {
  const std::string a = app_ + "\\";
  for (const char* file : {"app.exe", "data\\deep\\d.dat", "data\\deep\\mine.txt", "read only.txt", "run.log",
                           "dir.log\\inside.txt", "user\\mine.txt", "Setup.exe", "Setup.ini"}) {
    ASSERT_TRUE(driver::MakeFolders((a + file).substr(0, (a + file).rfind('\\'))));
    ASSERT_TRUE(driver::WriteFileBytes(a + file, "x"));
  }
  ASSERT_TRUE(driver::MakeFolders(a + "logs") && driver::MakeFolders(a + "empty"));
  SetFileAttributesA((a + "read only.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  WriteIni("[Root]\r\nNamed=" + app_ + "\r\n[Del]\r\nForce=1\r\n0=*.log\r\n1=%root%\\gone\\*.*\r\n3=*.exe\r\n" +
           "[CopiedFile]\r\nCount=3\r\n0=" + a + "app.exe\r\n1=" + a + "data\\deep\\d.dat\r\n2=" + a +
           "read only.txt\r\n[DirRemove]\r\n0=never\r\n1=logs\r\n2=user\r\n[MakedDirectory]\r\nCount=4\r\n0=" + app_ +
           "\r\n1=" + a + "data\r\n2=" + a + "data\\deep\r\n3=" + a + "empty\r\n");
  // Before the removal everything is there, in the order of the removal:
  // matches, files from the last recorded, extra folders, folders from the
  // last recorded, then the installation folder.
  EXPECT_EQ(Listed(), a + "run.log\n" + a + "read only.txt\n" + a + "data\\deep\\d.dat\n" + a + "app.exe\n" + a +
                          "logs\n" + a + "user\n" + a + "empty\n" + a + "data\\deep\n" + a + "data\n" + app_ + "\n");
  RemoveInstalledFiles();
  for (const char* gone : {"run.log", "app.exe", "data\\deep\\d.dat", "read only.txt", "logs", "empty"})
    EXPECT_FALSE(driver::Exists(a + gone)) << gone;
  for (const char* kept : {"dir.log\\inside.txt", "user\\mine.txt", "data\\deep\\mine.txt", "Setup.exe", "Setup.ini"})
    EXPECT_TRUE(driver::Exists(a + kept)) << kept;
  EXPECT_EQ(Listed(), a + "user\n" + a + "data\\deep\n" + a + "data\n" + app_ + "\n");
  // The listing stops where its room ends: a file may come between the
  // count and the listing.
  char bounded[16] = "";
  bounded[sizeof bounded - 1] = '#';
  EXPECT_EQ(ListRemainingItems(bounded, sizeof bounded - 1), Listed().size());
  EXPECT_STREQ(bounded, "");
  EXPECT_EQ(bounded[sizeof bounded - 1], '#');
}

TEST_F(SetupUninstall, TheInstallationFolderIsListedWhenItHoldsMoreThanSetup) {
  const struct {
    std::vector<std::string> files;
    bool listed;
  } cases[] = {
      {{"Setup.exe", "Setup.ini"}, false}, {{"SETUP.EXE", "setup.INI", ".hidden"}, false}, {{}, false},
      {{"Setup.exe", "notes.txt"}, true},  {{"a.txt", "b.txt"}, true},                     {{"sub\\x"}, true},
  };
  WriteIni("[MakedDirectory]\r\nCount=1\r\n0=" + app_ + "\r\n");
  for (const auto& c : cases) {
    driver::RemoveTree(app_);
    ASSERT_TRUE(driver::MakeFolders(app_));
    for (const std::string& file : c.files) {
      std::string path = app_ + "\\" + file;
      ASSERT_TRUE(driver::MakeFolders(path.substr(0, path.rfind('\\'))) && driver::WriteFileBytes(path, "x"));
    }
    EXPECT_EQ(Listed(), c.listed ? app_ + "\n" : "") << c.files.size() << " files";
  }
}

}  // namespace
