// What setup takes away is what its own installation made: the uninstall
// entry that starts this very copy, the menu folder it created, recorded
// files but never a recorded folder with what the user put into it. Each
// case starts from things of other programs' and of the user's, which must
// stay.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "registry_dump.h"
#include "scratch.h"
#include "setup.h"
#include "setup_settings.h"
#include "window_driver.h"

namespace {

const char kName[] = "Sfx W32 Records";

std::string ShellFolderValue(const char* name) {
  char path[MAX_PATH] = "";
  DWORD size = sizeof path;
  RegGetValueA(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", name,
               RRF_RT_REG_SZ, nullptr, path, &size);
  return path;
}

std::string ShortName(const std::string& path) {
  char shorter[MAX_PATH] = "";
  GetShortPathNameA(path.c_str(), shorter, sizeof shorter);
  return shorter;
}

class SetupRecords : public driver::ScratchTest {
 protected:
  void SetUp() override {
    ScratchTest::SetUp();
    app_ = root_ + "\\Installed App";
    ASSERT_TRUE(driver::MakeFolders(app_));
    lstrcpyA(g_setup.ini, (app_ + "\\Setup.ini").c_str());
    DeleteKeyAtEnd(HKEY_LOCAL_MACHINE, driver::UninstallKey(kName));
    programs_ = ShellFolderValue("Programs");
    ASSERT_FALSE(programs_.empty());
  }
  void WriteIni(const std::string& ini, const std::string& text) {
    ASSERT_TRUE(driver::WriteFileBytes(ini, text));
    if (ini == g_setup.ini) {
      ASSERT_TRUE(LoadSettings());
    }
  }
  std::string Entry() { return driver::RegistryDump(HKEY_LOCAL_MACHINE, driver::UninstallKey(kName)); }
  void SetEntry(const std::string& command) {
    driver::DeleteKeyTree(HKEY_LOCAL_MACHINE, driver::UninstallKey(kName));
    if (command != "<none>") {
      ASSERT_TRUE(driver::SetKeyString(HKEY_LOCAL_MACHINE, driver::UninstallKey(kName), "UninstallString", command));
    }
  }
  // A folder below Programs for this test, removed at its end.
  std::string MenuFolder(const std::string& name) {
    std::string folder = programs_ + "\\" + name;
    RemoveAtEnd(folder);
    return folder;
  }

  std::string app_, programs_;
  SetupSettings settings_;
};

// Another program of the same name keeps its entry; the entry of an
// earlier installation of this product (its folder holds that
// installation's record) is taken over; the uninstall deletes only the
// entry that starts this very copy.
TEST_F(SetupRecords, TheUninstallEntryIsOnlyThisInstallationsOwn) {
  const std::string earlier = root_ + "\\Earlier", other = root_ + "\\Other";
  ASSERT_TRUE(driver::PutFile(earlier + "\\Setup.ini", "[Root]\r\nNamed=" + earlier + "\r\n[CopiedFile]\r\nCount=1\r\n"));
  ASSERT_TRUE(driver::PutFile(other + "\\Setup.ini", "[Root]\r\nNamed=C:\\Elsewhere\r\n[CopiedFile]\r\nCount=1\r\n"));
  const std::string ours = "|UninstallString=" + app_ + "\\Setup.exe";
  struct Case {
    const char* what;
    std::string before, registered, removed;
  } cases[] = {
      {"no entry", "<none>", ours, "<gone>"},
      {"an empty entry, left by a lookup", "", ours, "<gone>"},
      {"this folder's entry, started with its argument", app_ + "\\SETUP.EXE uninstall", ours, "<gone>"},
      {"an installation of this product elsewhere", earlier + "\\Setup.exe", ours,
       "|UninstallString=" + earlier + "\\Setup.exe"},
      {"another program's", "C:\\Other Vendor\\uninst.exe /x", "|UninstallString=C:\\Other Vendor\\uninst.exe /x",
       "|UninstallString=C:\\Other Vendor\\uninst.exe /x"},
      {"a folder whose record names another", other + "\\Setup.exe", "|UninstallString=" + other + "\\Setup.exe",
       "|UninstallString=" + other + "\\Setup.exe"},
  };
  WriteIni(g_setup.ini, "[Root]\r\nName=" + std::string(kName) + "\r\nNamed=" + app_ + "\r\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetEntry(c.before);
    RegisterUninstall();
    EXPECT_EQ(Entry(), c.registered);
    SetEntry(c.before);
    RemoveUninstallEntry();
    EXPECT_EQ(Entry(), c.removed);
  }
}

// An earlier stub recorded whole folders it moved; the uninstall removes
// such a folder only when it is empty, and a recorded name with wildcards
// deletes nothing.
TEST_F(SetupRecords, ARecordedFolderGoesOnlyEmpty) {
  const std::string moved = app_ + "\\Plugins", empty = app_ + "\\Empty";
  ASSERT_TRUE(driver::PutFile(moved + "\\plugin.dll", "x"));
  ASSERT_TRUE(driver::PutFile(moved + "\\my notes.txt", "the user's"));
  ASSERT_TRUE(driver::MakeFolders(empty));
  ASSERT_TRUE(driver::PutFile(app_ + "\\keep.txt", "the user's"));
  WriteIni(g_setup.ini, "[Root]\r\nNamed=" + app_ + "\r\n[CopiedFile]\r\nCount=4\r\n0=" + moved + "\r\n1=" + moved +
                            "\\plugin.dll\r\n2=" + app_ + "\\*.*\r\n3=" + empty + "\r\n");
  RemoveInstalledFiles();
  EXPECT_EQ(driver::Tree(app_), (std::set<std::string>{"Plugins\\", "Plugins\\my notes.txt", "Setup.ini", "keep.txt"}));
}

// The whole menu folder goes only when this product made it ([Menu] Made,
// which an install writes when it creates the folder). Otherwise only the
// links the description names go, and the folders they leave empty; and
// never a folder of the system's, however the description spells it.
TEST_F(SetupRecords, TheMenuFolderGoesWholeOnlyWhenThisProductMadeIt) {
  const std::string shared = MenuFolder("Sfx W32 Shared"), made = MenuFolder("Sfx W32 Made");
  const std::string startup = ShellFolderValue("Startup");
  ASSERT_FALSE(startup.empty());
  // What must stay: the Programs and Startup folders' own links, and a
  // shared folder's other links.
  const std::vector<std::string> others = {programs_ + "\\Sfx W32 Other.lnk", shared + "\\Other.lnk",
                                           startup + "\\Sfx W32 Other.lnk"};
  for (const std::string& path : others) RemoveAtEnd(path);
  struct Case {
    const char* what;
    std::string menu;  // the [Menu] keys
    std::vector<std::string> ours, gone;  // made before the removal; gone after it
  } cases[] = {
      {"a name of one dot", "Name=.", {programs_ + "\\App.lnk"}, {}},
      {"a name of two dots", "Name=..", {}, {}},
      {"a backslash", "Name=\\", {}, {}},
      {"a shared folder that was there", "Name=Sfx W32 Shared", {shared + "\\App.lnk"}, {shared + "\\App.lnk"}},
      {"a folder it made", "Name=Sfx W32 Made\r\nMade=" + made, {made + "\\App.lnk", made + "\\Mine.lnk"}, {made}},
      {"made, recorded by its short name", "Name=Sfx W32 Made\r\nMade=<short>", {made + "\\App.lnk"}, {made}},
      {"a system folder recorded as made", "Named=" + startup + "\r\nMade=" + startup, {startup + "\\App.lnk"},
       {startup + "\\App.lnk"}},
      {"a climbing Named recorded as made", "Named=" + made + "\\..\r\nMade=" + made + "\\..", {made + "\\App.lnk"},
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const std::string& path : others) ASSERT_TRUE(driver::PutFile(path, "link"));
    for (const std::string& path : c.ours) ASSERT_TRUE(driver::PutFile(path, "link"));
    std::string menu = c.menu;
    if (menu.find("<short>") != std::string::npos) menu.replace(menu.find("<short>"), 7, ShortName(made));
    WriteIni(g_setup.ini, "[Menu]\r\n" + menu + "\r\n[Menu0]\r\nName=App\r\n");
    DeleteMenuFolder(Settings());
    for (const std::string& path : others) EXPECT_TRUE(driver::Exists(path)) << path;
    for (const std::string& path : c.gone) EXPECT_FALSE(driver::Exists(path)) << path;
    for (const std::string& path : c.ours) {
      bool inGone = false;
      for (const std::string& gone : c.gone) inGone = inGone || path.compare(0, gone.size(), gone) == 0;
      if (!inGone) {
        EXPECT_TRUE(driver::Exists(path)) << path;
      }
    }
    driver::RemoveTree(shared);
    driver::RemoveTree(made);
    DeleteFileA((programs_ + "\\App.lnk").c_str());
    DeleteFileA((startup + "\\App.lnk").c_str());
  }
}

// The install records the menu folder as made only when it created it,
// and the box as chosen, so that a later run offers it checked again.
TEST_F(SetupRecords, MakingTheMenuRecordsWhatItMade) {
  const std::string fresh = MenuFolder("Sfx W32 Fresh"), shared = MenuFolder("Sfx W32 Shared");
  ASSERT_TRUE(driver::PutFile(shared + "\\Other.lnk", "link"));
  for (const std::string& folder : {fresh, shared}) {
    SCOPED_TRACE(folder);
    WriteIni(g_setup.ini, "[Root]\r\nNamed=" + app_ + "\r\n[Check]\r\nMenu=1\r\n[Menu]\r\nNamed=" + folder +
                              "\r\n[Menu0]\r\nName=App\r\nPath=!C:\\x.exe\r\n");
    ApplyMenuShortcuts(Settings(), Apply::kMake);
    ASSERT_TRUE(FlushSettings());
    EXPECT_TRUE(driver::Exists(folder + "\\App.lnk"));
    EXPECT_EQ(driver::ProfileString(g_setup.ini, "Menu", "Made"), folder == fresh ? fresh : "");
    EXPECT_EQ(driver::ProfileString(g_setup.ini, "Check", "Menu"), "2");
    // Taken away again: the made folder goes and is forgotten; the other
    // stays with its other link.
    ApplyMenuShortcuts(Settings(), Apply::kRemove);
    ASSERT_TRUE(FlushSettings());
    EXPECT_FALSE(driver::Exists(folder + "\\App.lnk"));
    EXPECT_EQ(driver::Exists(folder), folder == shared);
    EXPECT_EQ(driver::ProfileString(g_setup.ini, "Menu", "Made"), "");
  }
}

}  // namespace
