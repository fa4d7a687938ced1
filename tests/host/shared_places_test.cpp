// The places an uninstall may be told to take away that belong to the
// whole system: keys of Erase lines and of [Registry], the shell's
// classes, [Del] patterns.
#include <gtest/gtest.h>

#include "setup/shared_places.h"

// "表": its trail byte is '\\'.
#define HYO "\x95\x5C"

namespace {

using setup::DeleteReach;

TEST(SharedPlaces, EraseLinesThatTakeASystemKey) {
  const struct {
    const char* line;
    bool shared;
  } cases[] = {
      {"HKEY_LOCAL_MACHINE\\SOFTWARE", true},          {"HKLM\\software\\microsoft", true},  // any case, any root name
      {"HKEY_CURRENT_USER\\Software\\Classes", true},   {"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows", true},
      {"HKEY_CURRENT_USER\\Software\\Maker", false},    {"HKEY_CURRENT_USER\\Software\\Microsoft\\Office", false},
      {"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", true},
      {"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\App", false},
      {"HKLM\\SOFTWARE\\Classes\\CLSID", true},         {"HKLM\\SOFTWARE\\Classes\\.myext", false},
      {"HKLM\\SYSTEM", true},                           {"HKEY_CURRENT_USER\\SYSTEM", false},  // only the machine's
      {"HKEY_CURRENT_USER\\Environment", true},         {"HKEY_CLASSES_ROOT\\CLSID", true},
      {"HKEY_CLASSES_ROOT\\.exe", true},                {"HKEY_CLASSES_ROOT\\.myext", false},
      {"HKEY_CLASSES_ROOT\\SOFTWARE", false},           {"HKEY_USERS\\.DEFAULT", true},
      {"HKEY_USERS\\.DEFAULT\\Maker", false},           {"HKEY_CURRENT_CONFIG\\Maker", false},
      {"HKEY_CURRENT_USER\\", false},  // refused by setup: deletes nothing
      {"HKEY_CURRENT_USER", false},    // skipped
      {"HKEY_USERS\\" HYO "x", true},  // one user's hive: a trail byte 0x5C cuts no name
  };
  for (const auto& c : cases) EXPECT_EQ(setup::ErasesSharedSystemKey(c.line), c.shared) << c.line;
  // The root key itself, and empty segments passed over.
  EXPECT_TRUE(setup::IsSharedSystemKey(setup::RootKey::kDynData, ""));
  EXPECT_TRUE(setup::IsSharedSystemKey(setup::RootKey::kCurrentUser, "\\Software\\\\Microsoft\\"));
}

TEST(SharedPlaces, SettingsKeysRemovedWhole) {
  const struct {
    const char *company, *name;
    bool shared;
  } cases[] = {
      {"Maker", "", false},     {"Maker", "App", false},      {"", "Anything", false},  // no company: nothing goes
      {"Microsoft", "", true},  {"Classes", "", true},        {"Microsoft", "Windows", true},
      {"Microsoft", "Office", false}, {"Policies", "", true}, {"Microsoft\\Windows NT", "", true},
      {"Classes", "CLSID", true}, {"Classes", ".myext", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(setup::RemovesSharedSettingsKey(c.company, c.name), c.shared) << c.company << " / " << c.name;
}

TEST(SharedPlaces, ClassesOfTheShell) {
  const struct {
    const char* name;
    bool shared;
  } cases[] = {
      {"Folder", true},         {"folder", true},   {"*", true},       {".EXE", true}, {".lnk", true},
      {"exefile\\shell", true}, {"\\Folder", true}, {"", true},        {"\\", true},  // the classes root
      {"txtfile", false},       {".txt", false},    {"Folders", false}, {".exe2", false},
      {"Sample.Document", false}, {"My\\Folder", false},
  };
  for (const auto& c : cases) EXPECT_EQ(setup::IsSharedClass(c.name), c.shared) << c.name;
}

TEST(SharedPlaces, DeletePatternsOutsideTheInstallation) {
  const struct {
    const char* pattern;
    DeleteReach reach;
  } cases[] = {
      {"*.log", DeleteReach::kInstallation},         {"%root%\\data\\*.*", DeleteReach::kInstallation},
      {"data\\..\\*.tmp", DeleteReach::kInstallation}, {".\\x\\.\\*.tmp", DeleteReach::kInstallation},
      {"%WINDOWS%\\*.ini", DeleteReach::kSystemFolders}, {"%system%\\my.dll", DeleteReach::kSystemFolders},
      {"%programs%\\Other\\*.*", DeleteReach::kElsewhere}, {"!C:\\WINDOWS\\*.*", DeleteReach::kElsewhere},
      {"..\\*.*", DeleteReach::kElsewhere},           {"%root%data\\..\\..\\x", DeleteReach::kElsewhere},
      {"a/../../x", DeleteReach::kElsewhere},         {"... \\x", DeleteReach::kElsewhere},
      {HYO "..\\..\\x", DeleteReach::kInstallation},  // a trail byte 0x5C cuts no name
  };
  for (const auto& c : cases) EXPECT_EQ(setup::ReachOfDeletePattern(c.pattern), c.reach) << c.pattern;
}

}  // namespace
