// What an install registers and an uninstall takes away, against Wine's
// registry and file system: the Make and Erase lines, file associations,
// the uninstall entry with the settings keys, and the files and folders of
// an installation. Each case starts from keys of its own and is read back
// as a dump of what it touches.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "registry_dump.h"
#include "setup.h"
#include "setup_settings.h"
#include "window_driver.h"

namespace {

const char kEntry[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sfx W32 App";
// Keys of the system that Wine's prefix holds empty; cases put their own
// items into them. A faulty erase could take the keys themselves, so they
// are made again after each case.
const char kRun[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kPolicies[] = "SOFTWARE\\Policies";
// The class keys the cases touch; "shell" and "DefaultIcon" would appear
// below the classes root itself if a class name went missing. comfile and
// .com are classes of the shell that Wine's prefix lacks, so that cases
// can make them as another program would have, and delete them again.
const char* const kClassKeys[] = {".sfxa",      ".sfxb",      ".sfxc", "SfxA.Kind", "SfxB.Kind",   "SfxC.Kind",
                                  "SfxA.Other", "SfxA.Third", ".com",  "comfile",   "DefaultIcon", "shell"};

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) text.replace(at, from.size(), to);
  return text;
}

class SetupUninstall : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    shellClassesFree_ = !driver::KeyExists(HKEY_CLASSES_ROOT, "comfile") && !driver::KeyExists(HKEY_CLASSES_ROOT, ".com");
  }
  void SetUp() override {
    ASSERT_TRUE(shellClassesFree_) << "the prefix has its own comfile or .com, which the cases would delete";
    folder_ = "C:\\sfx win32\\setup uninstall";
    driver::RemoveTree(folder_);
    ASSERT_TRUE(driver::MakeFolders(folder_));
    ASSERT_TRUE(driver::WriteFileBytes(folder_ + "\\app.exe", "MZ"));
    lstrcpyA(g_setup.ini, (folder_ + "\\Setup.ini").c_str());
    Clean();
  }
  void TearDown() override {
    Clean();
    if (!HasFailure()) driver::RemoveTree(folder_);
  }
  static void Clean() {
    for (const char* key : {"Sfx Win32 Registry", "SOFTWARE\\Sfx Win32 Registry", "SOFTWARE\\Sfx W32 Co",
                            "SOFTWARE\\Policies\\Sfx W32 App"}) {
      RegDeleteTreeA(HKEY_CURRENT_USER, key);
      RegDeleteTreeA(HKEY_LOCAL_MACHINE, key);
    }
    RegDeleteTreeA(HKEY_USERS, "Sfx Win32 Hive");
    Put(HKEY_CURRENT_USER, kRun, {""});
    Put(HKEY_LOCAL_MACHINE, kPolicies, {""});
    if (HKEY run; RegOpenKeyExA(HKEY_CURRENT_USER, kRun, 0, KEY_SET_VALUE, &run) == ERROR_SUCCESS) {
      RegDeleteValueA(run, "Sfx Win32 Agent");
      RegCloseKey(run);
    }
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sfx W32 App");
    for (const char* key : kClassKeys) {
      // Never the classes root's own shell and DefaultIcon.
      bool ofTheRoot = lstrcmpA(key, "shell") == 0 || lstrcmpA(key, "DefaultIcon") == 0;
      bool ofTheShell = lstrcmpA(key, "comfile") == 0 || lstrcmpA(key, ".com") == 0;
      if (!ofTheRoot && (!ofTheShell || shellClassesFree_)) RegDeleteTreeA(HKEY_CLASSES_ROOT, key);
    }
  }
  // "$U", "$M" and "$F" stand for the user's and the machine's test keys
  // and the installation folder.
  std::string Fill(const std::string& text) {
    return Replaced(Replaced(Replaced(text, "$U", "HKEY_CURRENT_USER\\Sfx Win32 Registry"), "$M",
                             "HKLM\\SOFTWARE\\Sfx Win32 Registry"),
                    "$F", folder_);
  }
  void WriteIni(const std::string& text) {
    ASSERT_TRUE(settings_.Write("[Root]\r\nNamed=" + folder_ + "\r\n" + Fill(text) + "\r\n"));
  }
  // Items "A\B" (a key) or "A\B|name=data" (a string value) made below
  // `root`\`below`; "" is that key itself. "!A\B" is a key that anyone may
  // read and delete but nobody may open for changes, as another user's or
  // a service's keys may be.
  static void Put(HKEY root, const std::string& below, const std::vector<std::string>& items) {
    for (std::string item : items) {
      bool locked = !item.empty() && item[0] == '!';
      if (locked) item.erase(0, 1);
      size_t bar = item.find('|'), equals = item.find('=');
      std::string key = below + (below.empty() || bar == 0 || item.empty() ? "" : "\\") + item.substr(0, bar);
      HKEY opened;
      ASSERT_EQ(RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened, nullptr),
                ERROR_SUCCESS);
      std::string data = bar == std::string::npos ? "" : item.substr(equals + 1);
      if (bar != std::string::npos)
        RegSetValueExA(opened, item.substr(bar + 1, equals - bar - 1).c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(data.c_str()), static_cast<DWORD>(data.size() + 1));
      if (locked) Lock(opened);
      RegCloseKey(opened);
    }
  }
  static void Lock(HKEY key) {
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone;
    ASSERT_TRUE(AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone));
    alignas(DWORD) BYTE room[128];
    PACL acl = reinterpret_cast<PACL>(room);
    SECURITY_DESCRIPTOR descriptor;
    bool made = InitializeAcl(acl, sizeof room, ACL_REVISION) &&
                AddAccessAllowedAce(acl, ACL_REVISION, KEY_READ | DELETE, everyone) &&
                InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
                SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE);
    EXPECT_TRUE(made && RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor) == ERROR_SUCCESS);
    FreeSid(everyone);
  }
  // The values of the class keys, and the keys that hold nothing at all.
  static std::string Classes() {
    std::string text;
    for (const char* key : kClassKeys) {
      std::vector<std::string> items = driver::RegistryItems(HKEY_CLASSES_ROOT, key);
      for (const std::string& item : items) {
        bool holdsSomething = false;
        for (const std::string& other : items)
          holdsSomething = holdsSomething || other.compare(0, item.size() + 1, item + "\\") == 0 ||
                           other.compare(0, item.size() + 1, item + "|") == 0;
        if (item != "<gone>" && (item.find('|') != std::string::npos || !holdsSomething))
          text += (text.empty() ? "" : " ") + std::string(key) + (item[0] == '|' ? "" : "\\") + item;
      }
    }
    return text;
  }
  static std::string Check() {
    char value[MAX_PATH];
    if (!FlushSettings()) return "<unwritten>";
    GetPrivateProfileStringA("Check", "Ext", "<none>", value, sizeof value, g_setup.ini);
    return value;
  }
  // Every key of [MadeKey], sorted: "0=.sfxa 1=SfxA.Kind Count=2".
  static std::string Records() {
    char section[4096];
    if (!FlushSettings()) return "<unwritten>";
    DWORD size = GetPrivateProfileSectionA("MadeKey", section, sizeof section, g_setup.ini);
    std::vector<std::string> lines;
    for (const char* p = section; p < section + size; p += lstrlenA(p) + 1) lines.push_back(p);
    std::sort(lines.begin(), lines.end());
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : " ") + line;
    return text;
  }
  static std::string Listed() {
    size_t total = ListRemainingItems(nullptr);
    std::string list(total + 1, '\0');
    EXPECT_EQ(ListRemainingItems(&list[0], list.size()), total);
    list.resize(lstrlenA(list.c_str()));
    EXPECT_EQ(list.size(), total) << "counted and listed alike";
    return list;
  }

  static bool shellClassesFree_;
  std::string folder_;
  SetupSettings settings_;
};
bool SetupUninstall::shellClassesFree_;

TEST_F(SetupUninstall, MakeAndEraseLines) {
  std::string longText(1100, 'x'), longName(300, 'n');
  const Apply kMake = Apply::kMake, kErase = Apply::kRemove;
  struct Case {
    const char* what;
    std::vector<std::string> before;  // below the user's test key
    std::string lines;
    Apply apply;
    std::string user, machine;
  } cases[] = {
      {"lower-case root name", {}, "Make0=hkey_current_user\\Sfx Win32 Registry\\Lower", kMake, "Lower", "<gone>"},
      {"HKLM is no root name: the machine's key", {}, "Make0=$M\\Fallback", kMake, "<gone>", "Fallback"},
      {"no backslash: skipped", {}, "Make0=HKEY_CURRENT_USER\r\nMake1=$U\\After", kMake, "After", "<gone>"},
      {"a gap ends the list", {}, "Make0=$U\\A\r\nMake1=$U\\B\r\nMake3=$U\\D", kMake, "A B", "<gone>"},
      {"keys only", {}, "Make0=$U\\K1\\K2\r\nMake1=$U\\K3\\", kMake, "K1 K1\\K2 K3", "<gone>"},
      {"default value", {}, "Make0=$U\\Key\\\\\\!text", kMake, "Key Key|=text", "<gone>"},
      {"backslashes in the data", {}, "Make0=$U\\Key\\\\P\\!C:\\a\\\\b\\", kMake, "Key Key|P=C:\\a\\\\b\\", "<gone>"},
      {"data resolved in program mode", {}, "Make0=$U\\\\Dir\\%root%data\r\nMake1=$U\\\\Word\\word", kMake,
       "|Dir=$F\\data |Word=$F\\word", "<gone>"},
      {"a trail byte 0x5C cuts no name", {}, "Make0=$U\\表\\K", kMake, "表 表\\K", "<gone>"},
      {"an over-long line is no cut line", {}, "Make0=$U\\Long\\\\v\\!" + longText, kMake, "<gone>", "<gone>"},
      {"data longer than a path is written whole", {}, "Make0=$U\\\\v\\!" + longName, kMake, "|v=" + longName,
       "<gone>"},
      {"erase a key: its tree, then the ancestors left empty", {"|keep=1", "A\\B\\C|v=1", "A\\B\\D"},
       "Erase0=$U\\A\\B", kErase, "|keep=1", "<gone>"},
      {"erase a value, then its key left empty", {"|keep=1", "A\\B|v=1"}, "Erase0=$U\\A\\B\\v", kErase, "|keep=1",
       "<gone>"},
      {"a key that keeps a value stays", {"A\\B|v=1", "A\\B|w=2"}, "Erase0=$U\\A\\B\\v", kErase, "A A\\B A\\B|w=2",
       "<gone>"},
      {"a value name longer than a path still holds its key", {"A|" + longName + "=1"}, "Erase0=$U\\A\\None", kErase,
       "A A|" + longName + "=1", "<gone>"},
      {"neither key nor value: empty ancestors still go", {"|keep=1", "A\\B"}, "Erase0=$U\\A\\B\\None", kErase,
       "|keep=1", "<gone>"},
      {"upward to the key below the root key", {"A\\B"}, "Erase0=$U\\A\\B", kErase, "<gone>", "<gone>"},
      {"a single segment: the key whole, named values too", {"|keep=1", "A"}, "Erase0=$U", kErase, "<gone>", "<gone>"},
      {"an empty segment is refused", {"|keep=1", "A"}, "Erase0=$U\\\r\nErase1=$U\\\\A\r\nErase2=$U\\A\\", kErase,
       "A |keep=1", "<gone>"},
      {"an over-long line is refused, not cut", {"A"}, "Erase0=$U\\A\\" + longText, kErase, "A", "<gone>"},
      {"a key that does not open is not taken for empty", {"|keep=1", "!A\\Locked"}, "Erase0=$U\\A\\Locked\\None",
       kErase, "A A\\Locked |keep=1", "<gone>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Clean();
    Put(HKEY_CURRENT_USER, "Sfx Win32 Registry", c.before);
    WriteIni("[Reg]\r\n" + c.lines);
    ApplyRegistryList(Settings(), c.apply);
    EXPECT_EQ(driver::RegistryDump(HKEY_CURRENT_USER, "Sfx Win32 Registry"), Fill(c.user));
    EXPECT_EQ(driver::RegistryDump(HKEY_LOCAL_MACHINE, "SOFTWARE\\Sfx Win32 Registry"), c.machine);
  }
}

// Keys the whole system shares stay, whatever an Erase line or [Registry]
// names: neither the key named nor an ancestor emptied goes.
TEST_F(SetupUninstall, KeysTheSystemSharesStay) {
  const std::string run = "[Reg]\r\nErase0=HKEY_CURRENT_USER\\" + std::string(kRun) + "\\Sfx Win32 Agent";
  const struct {
    const char* what;
    HKEY root;
    const char* key;
    std::vector<std::string> before;
    std::string ini, after;
  } cases[] = {
      {"a user's whole hive", HKEY_USERS, "Sfx Win32 Hive", {"App|v=1"}, "[Reg]\r\nErase0=HKEY_USERS\\Sfx Win32 Hive",
       "App App|v=1"},
      {"emptied keys go up to the first shared one", HKEY_USERS, "Sfx Win32 Hive", {"Sfx\\App|v=1"},
       "[Reg]\r\nErase0=HKEY_USERS\\Sfx Win32 Hive\\Sfx\\App", ""},
      {"a value of Run goes, the emptied Run stays", HKEY_CURRENT_USER, kRun, {"|Sfx Win32 Agent=x"}, run, ""},
      {"a shell class", HKEY_CLASSES_ROOT, "comfile", {"|=Other"}, "[Reg]\r\nErase0=HKEY_CLASSES_ROOT\\comfile",
       "|=Other"},
      {"a shared company key, whole", HKEY_LOCAL_MACHINE, kPolicies, {"Sfx W32 App|v=1"},
       "[Root]\r\nName=Sfx W32 App\r\n[Registry]\r\nCompany=Policies", "Sfx W32 App Sfx W32 App|v=1"},
      {"a shared company key emptied by its Name", HKEY_LOCAL_MACHINE, kPolicies, {"Sfx W32 App\\Window|x=1"},
       "[Root]\r\nName=Sfx W32 App\r\n[Registry]\r\nCompany=Policies\r\nName=Sfx W32 App", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Clean();
    Put(c.root, c.key, c.before);
    ASSERT_TRUE(settings_.Write(c.ini));
    ApplyRegistryList(Settings(), Apply::kRemove);
    RemoveRegistration();
    EXPECT_EQ(driver::RegistryDump(c.root, c.key), c.after);
  }
}

DWORD WINAPI DeleteTreeOfTheTestKey(void*) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Sfx Win32 Registry", 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return 1;
  DeleteKeyTree(key, "Tree");
  RegCloseKey(key);
  return 0;
}

// A name this code page cannot spell is enumerated as "?", which neither
// opens nor deletes: the walk at index 0 would meet it forever.
TEST_F(SetupUninstall, ASubkeyThatCannotBeDeletedEndsTheTreeWalk) {
  Put(HKEY_CURRENT_USER, "Sfx Win32 Registry", {"Tree\\A\\x", "Tree\\B"});
  HKEY snowman;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Sfx Win32 Registry\\Tree\\\x2603\\inner", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &snowman, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(snowman);
  HANDLE thread = CreateThread(nullptr, 0, DeleteTreeOfTheTestKey, nullptr, 0, nullptr);
  bool ended = WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0;
  if (!ended) TerminateThread(thread, 1);
  CloseHandle(thread);
  ASSERT_TRUE(ended) << "the walk did not end";
  // Wine lists subkeys by name: A and B went before the one that stays
  // (whose subkey the dump cannot open either).
  EXPECT_EQ(driver::RegistryDump(HKEY_CURRENT_USER, "Sfx Win32 Registry"), "Tree Tree\\?");
}

// Each case is made twice, as an installed copy run again makes it, then
// removed; the records of what was made go with what they name.
TEST_F(SetupUninstall, AssociationsMadeAndTakenAway) {
  const std::vector<std::string> other = {".sfxa|=SfxA.Other", "SfxA.Other|=Other",
                                          "SfxA.Other\\shell\\open\\command|=other.exe"};
  const std::string owner = "SfxA.Other\\shell\\open\\command|=other.exe SfxA.Other|=Other";
  const std::string forced = ".sfxa|=SfxA.Kind .sfxa|Old Name=SfxA.Other SfxA.Kind\\shell\\open\\command|=$F\\app.exe  "
                             "SfxA.Kind|=SfxA.Kind " + owner;
  const std::string found = "SfxA.Other\\DefaultIcon|=other.exe,1 SfxA.Other\\shell\\open\\command|=other.exe "
                            "SfxA.Other|=Other";
  const std::string shell = ".sfxb|=comfile comfile\\shell\\open\\command|=other.exe comfile|=Other";
  struct Case {
    const char* what;
    std::vector<std::string> before, between;  // made before the install, before the removal
    std::string sections, made, removed, checkMade, checkRemoved;
    std::string records = "", left = "";  // [MadeKey] after making, after removing
  } cases[] = {
      {"a new extension", {}, {},
       "[Check]\r\nExt=2\r\n[Ext0]\r\nExt=.sfxa\r\nKind=SfxA.Kind\r\nIcon=app.exe\r\nIconNo=2\r\nVerb=open\r\n"
       "Command=\"app.exe\" %1",
       ".sfxa|=SfxA.Kind SfxA.Kind\\DefaultIcon|=$F\\app.exe,2 SfxA.Kind\\shell\\open\\command|=\"$F\\app.exe\" %1 "
       "SfxA.Kind|=SfxA.Kind",
       "", "2", "1", "0=.sfxa 1=SfxA.Kind Count=2"},
      {"another class's extension gains only the verb Verb2", other, {},
       "[Check]\r\nExt=2\r\n[Ext0]\r\nExt=.sfxa\r\nKind=SfxA.Kind\r\nIcon=app.exe\r\nVerb=open\r\nVerb2=Sfx View\r\n"
       "Command=app.exe /v %1",
       ".sfxa|=SfxA.Other SfxA.Other\\shell\\Sfx View\\command|=$F\\app.exe /v %1 " + owner, ".sfxa|=SfxA.Other " + owner,
       "2", "1", "0=SfxA.Other\\shell\\Sfx View Count=1"},
      {"forced: the old class kept as Old Name and given back; the box recorded as made", other, {},
       "[Check]\r\nExt=1\r\n[Ext0]\r\nExt=.sfxa\r\nKind=SfxA.Kind\r\nVerb=open\r\nVerb2=Sfx View\r\nCommand=app.exe\r\n"
       "Force=1",
       forced, ".sfxa|=SfxA.Other " + owner, "2", "1", "0=SfxA.Kind Count=1"},
      {"forced, then taken by a third class: it keeps its new owner", other, {".sfxa|=SfxA.Third"},
       "[Ext0]\r\nExt=.sfxa\r\nKind=SfxA.Kind\r\nVerb=open\r\nCommand=app.exe\r\nForce=1", forced,
       ".sfxa|=SfxA.Third " + owner, "<none>", "<none>", "0=SfxA.Kind Count=1"},
      {"commands rebuilt: quoted verbatim, a tab made a blank, a blank without arguments", {}, {},
       "[Ext0]\r\nExt=.sfxa\r\nKind=SfxA.Kind\r\nIcon=app.exe\r\nVerb=open\r\nCommand=\"app.exe\"  /x\r\n"
       "[Ext1]\r\nExt=.sfxb\r\nKind=SfxB.Kind\r\nVerb=open\r\nCommand=app.exe\t/p \"%1\"\r\n"
       "[Ext2]\r\nExt=.sfxc\r\nKind=SfxC.Kind\r\nVerb=edit\r\nCommand=app.exe",
       ".sfxa|=SfxA.Kind .sfxb|=SfxB.Kind .sfxc|=SfxC.Kind SfxA.Kind\\DefaultIcon|=$F\\app.exe "
       "SfxA.Kind\\shell\\open\\command|=\"$F\\app.exe\"  /x SfxA.Kind|=SfxA.Kind "
       "SfxB.Kind\\shell\\open\\command|=$F\\app.exe /p \"%1\" SfxB.Kind|=SfxB.Kind "
       "SfxC.Kind\\shell\\edit\\command|=$F\\app.exe  SfxC.Kind|=SfxC.Kind",
       "", "<none>", "<none>", "0=.sfxa 1=SfxA.Kind 2=.sfxb 3=SfxB.Kind 4=.sfxc 5=SfxC.Kind Count=6"},
      // Reading a profile value drops one pair of quotes that encloses all
      // of it: a command that ends with a quoted argument needs an outer
      // pair, or its program loses its opening quote.
      {"a command quoted from end to end loses that pair of quotes", {}, {},
       "[Ext0]\r\nExt=.sfxa\r\nKind=SfxA.Kind\r\nVerb=open\r\nCommand=\"\"app.exe\" \"%1\"\"\r\n"
       "[Ext1]\r\nExt=.sfxb\r\nKind=SfxB.Kind\r\nVerb=open\r\nCommand=\"app.exe\" \"%1\"",
       ".sfxa|=SfxA.Kind .sfxb|=SfxB.Kind SfxA.Kind\\shell\\open\\command|=\"$F\\app.exe\" \"%1\" SfxA.Kind|=SfxA.Kind "
       "SfxB.Kind\\shell\\open\\command|=$F\\app.exe\" \"%1 SfxB.Kind|=SfxB.Kind",
       "", "<none>", "<none>", "0=.sfxa 1=SfxA.Kind 2=.sfxb 3=SfxB.Kind Count=4"},
      {"a gap ends the sections; a class made without icon or verb goes too", {}, {},
       "[Ext0]\r\nExt=.sfxa\r\nKind=SfxA.Kind\r\n[Ext2]\r\nExt=.sfxc\r\nKind=SfxC.Kind",
       ".sfxa|=SfxA.Kind SfxA.Kind|=SfxA.Kind", "", "<none>", "<none>", "0=.sfxa 1=SfxA.Kind Count=2"},
      {"no class: the section is refused", {"SfxA.Other|=Other"}, {},
       "[Ext0]\r\nExt=.sfxa\r\nIcon=app.exe\r\nVerb=open\r\nCommand=app.exe", "SfxA.Other|=Other", "SfxA.Other|=Other",
       "<none>", "<none>"},
      {"a class found in place keeps its name, icon and verbs, and gains only a verb it lacks",
       {"SfxA.Other|=Other", "SfxA.Other\\DefaultIcon|=other.exe,1", "SfxA.Other\\shell\\open\\command|=other.exe"}, {},
       "[Ext0]\r\nExt=.sfxa\r\nKind=SfxA.Other\r\nIcon=app.exe\r\nVerb=view\r\nCommand=app.exe\r\n"
       "[Ext1]\r\nExt=.sfxb\r\nKind=SfxA.Other\r\nVerb=open\r\nCommand=app.exe",
       ".sfxa|=SfxA.Other .sfxb|=SfxA.Other SfxA.Other\\DefaultIcon|=other.exe,1 "
       "SfxA.Other\\shell\\open\\command|=other.exe SfxA.Other\\shell\\view\\command|=$F\\app.exe  SfxA.Other|=Other",
       found, "<none>", "<none>", "0=.sfxa 1=SfxA.Other\\shell\\view 2=.sfxb Count=3"},
      {"the shell's classes are left alone both ways", {"comfile|=Other", "comfile\\shell\\open\\command|=other.exe",
       ".sfxb|=comfile"}, {},
       "[Check]\r\nExt=3\r\n[Ext0]\r\nExt=.sfxa\r\nKind=comfile\r\nIcon=app.exe\r\nVerb=open\r\nCommand=app.exe\r\n"
       "[Ext1]\r\nExt=.com\r\nKind=SfxC.Kind\r\nVerb=open\r\nCommand=app.exe\r\n"
       "[Ext2]\r\nExt=.sfxb\r\nKind=SfxB.Kind\r\nVerb=open\r\nVerb2=Sfx View\r\nCommand=app.exe",
       shell, shell, "3", "1"},
      {"a class inside another: only the key made goes", {"SfxA.Other|=Other"}, {},
       "[Ext0]\r\nExt=.sfxa\r\nKind=SfxA.Other\\Sub\r\nIcon=app.exe\r\nVerb=open\r\nCommand=app.exe",
       ".sfxa|=SfxA.Other\\Sub SfxA.Other\\Sub\\DefaultIcon|=$F\\app.exe SfxA.Other\\Sub\\shell\\open\\command|=$F\\app.exe "
       " SfxA.Other\\Sub|=SfxA.Other\\Sub SfxA.Other|=Other",
       "SfxA.Other|=Other", "<none>", "<none>", "0=.sfxa 1=SfxA.Other\\Sub Count=2"},
      // .sfxa is another program's; .sfxb is made here, and another
      // program adds to it before the removal.
      {"an extension keeps what others put in it", {".sfxa|Content Type=text/a"}, {".sfxb|Content Type=text/b"},
       "[Ext0]\r\nExt=.sfxa\r\nKind=SfxA.Kind\r\n[Ext1]\r\nExt=.sfxb\r\nKind=SfxB.Kind",
       ".sfxa|=SfxA.Kind .sfxa|Content Type=text/a .sfxb|=SfxB.Kind SfxA.Kind|=SfxA.Kind SfxB.Kind|=SfxB.Kind",
       ".sfxa|Content Type=text/a .sfxb|Content Type=text/b", "<none>", "<none>",
       "0=SfxA.Kind 1=.sfxb 2=SfxB.Kind Count=3", "0=.sfxb Count=1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Clean();
    Put(HKEY_CLASSES_ROOT, "", c.before);
    WriteIni(c.sections);
    for (const char* run : {"made", "made again"}) {
      SCOPED_TRACE(run);
      ApplyAssociations(Apply::kMake);
      EXPECT_EQ(Classes(), Fill(c.made));
      EXPECT_EQ(Check(), c.checkMade);
      EXPECT_EQ(Records(), c.records);
    }
    Put(HKEY_CLASSES_ROOT, "", c.between);
    ApplyAssociations(Apply::kRemove);  // as the uninstall, or an install with the box cleared
    EXPECT_EQ(Classes(), Fill(c.removed));
    EXPECT_EQ(Check(), c.checkRemoved);
    EXPECT_EQ(Records(), c.left);
  }
}

TEST_F(SetupUninstall, TheEntryNamesTheInstalledSetupUnquoted) {
  const struct {
    const char *ini, *entry;
  } cases[] = {
      {"[Setup]\r\nName=Viewer\r\n[Root]\r\nName=Sfx W32 App\r\nNamed=C:\\Sfx Apps\\Viewer\r\n[Del]\r\nAuto=1",
       "|DisplayName=Viewer |UninstallString=C:\\Sfx Apps\\Viewer\\Setup.exe uninstall"},
      {"[Setup]\r\nName=Viewer\r\n[Root]\r\nName=Sfx W32 App\r\nNamed=C:\\Sfx Apps\\Viewer",
       "|DisplayName=Viewer |UninstallString=C:\\Sfx Apps\\Viewer\\Setup.exe"},
      {"[Root]\r\nName=Sfx W32 App\r\nNamed=D:\\", "|UninstallString=D:\\Setup.exe"},  // a drive's root
      {"[Setup]\r\nName=Viewer\r\n[Root]\r\nNamed=C:\\Sfx Apps\\Viewer", "<gone>"},  // no name, no entry
  };
  for (const auto& c : cases) {
    Clean();
    ASSERT_TRUE(settings_.Write(c.ini));
    RegisterUninstall();
    EXPECT_EQ(driver::RegistryDump(HKEY_LOCAL_MACHINE, kEntry), c.entry) << c.ini;
  }
}

TEST_F(SetupUninstall, TheEntryGoesWithTheSettingsKeys) {
  const struct {
    const char *what, *ini, *entry, *user, *machine;
  } cases[] = {
      {"the application's key; the company's only when left empty", "[Root]\r\nName=Sfx W32 App\r\n[Registry]\r\n"
       "Company=Sfx W32 Co\r\nName=App", "<gone>", "Other", "<gone>"},
      {"without Name, the company whole", "[Root]\r\nName=Sfx W32 App\r\n[Registry]\r\nCompany=Sfx W32 Co", "<gone>",
       "<gone>", "<gone>"},
      {"without Company, no settings key", "[Root]\r\nName=Sfx W32 App\r\n[Registry]\r\nName=App", "<gone>",
       "App App\\Window App\\Window|x=1 Other", "App"},
      {"without [Root] Name, nothing at all", "[Registry]\r\nCompany=Sfx W32 Co\r\nName=App",
       "|UninstallString=$F\\Setup.exe", "App App\\Window App\\Window|x=1 Other", "App"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Clean();
    Put(HKEY_LOCAL_MACHINE, kEntry, {"|UninstallString=" + folder_ + "\\Setup.exe"});
    Put(HKEY_CURRENT_USER, "SOFTWARE\\Sfx W32 Co", {"App\\Window|x=1", "Other"});
    Put(HKEY_LOCAL_MACHINE, "SOFTWARE\\Sfx W32 Co", {"App"});
    ASSERT_TRUE(settings_.Write(c.ini));
    RemoveRegistration();
    RemoveUninstallEntry();
    EXPECT_EQ(driver::RegistryDump(HKEY_LOCAL_MACHINE, kEntry), Fill(c.entry));
    EXPECT_EQ(driver::RegistryDump(HKEY_CURRENT_USER, "SOFTWARE\\Sfx W32 Co"), c.user);
    EXPECT_EQ(driver::RegistryDump(HKEY_LOCAL_MACHINE, "SOFTWARE\\Sfx W32 Co"), c.machine);
  }
}

// One installation: [Del] patterns, recorded files and folders, extra
// folders, and files of the user's in between.
TEST_F(SetupUninstall, RemovalTakesWhatWasRecordedAndListsWhatStays) {
  const std::string app = folder_ + "\\App", a = app + "\\";
  for (const char* file : {"app.exe", "data\\deep\\d.dat", "data\\deep\\mine.txt", "read only.txt", "run.log",
                           "dir.log\\inside.txt", "user\\mine.txt", "logs\\", "empty\\", "Setup.exe", "Setup.ini"}) {
    std::string path = a + file;
    ASSERT_TRUE(driver::MakeFolders(path.substr(0, path.rfind('\\'))));
    ASSERT_TRUE(path.back() == '\\' || driver::WriteFileBytes(path, "x"));
  }
  SetFileAttributesA((a + "read only.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(settings_.Write(
      "[Root]\r\nNamed=" + app + "\r\n[Del]\r\nForce=1\r\n0=*.log\r\n1=%root%\\gone\\*.*\r\n3=*.exe\r\n" +
                       "[CopiedFile]\r\nCount=3\r\n0=" + a + "app.exe\r\n1=" + a + "data\\deep\\d.dat\r\n2=" + a +
                       "read only.txt\r\n[DirRemove]\r\n0=never\r\n1=logs\r\n2=user\r\n[MakedDirectory]\r\nCount=4\r\n"
                       "0=" + app + "\r\n1=" + a + "data\r\n2=" + a + "data\\deep\r\n3=" + a + "empty\r\n"));
  // Before the removal everything is there, in the order of the removal:
  // matches, files from the last recorded, extra folders, folders from the
  // last recorded, then the installation folder.
  EXPECT_EQ(Listed(), a + "run.log\n" + a + "read only.txt\n" + a + "data\\deep\\d.dat\n" + a + "app.exe\n" + a +
                          "logs\n" + a + "user\n" + a + "empty\n" + a + "data\\deep\n" + a + "data\n" + app + "\n");
  RemoveInstalledFiles();
  for (const char* gone : {"run.log", "app.exe", "data\\deep\\d.dat", "read only.txt", "logs", "empty"})
    EXPECT_FALSE(driver::Exists(a + gone)) << gone;
  for (const char* kept : {"dir.log\\inside.txt", "user\\mine.txt", "data\\deep\\mine.txt", "Setup.exe", "Setup.ini"})
    EXPECT_TRUE(driver::Exists(a + kept)) << kept;
  EXPECT_EQ(Listed(), a + "user\n" + a + "data\\deep\n" + a + "data\n" + app + "\n");
  // The listing stops where its room ends: a file may come between the
  // count and the listing.
  char bounded[16] = "";
  bounded[sizeof bounded - 1] = '#';
  EXPECT_EQ(ListRemainingItems(bounded, sizeof bounded - 1), Listed().size());
  EXPECT_STREQ(bounded, "");
  EXPECT_EQ(bounded[sizeof bounded - 1], '#');
}

}  // namespace
