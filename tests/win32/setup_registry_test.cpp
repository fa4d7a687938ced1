// setup's registry work against Wine's registry: the Make and Erase lines,
// the key primitives below HKEY_CLASSES_ROOT, and file associations made
// and taken away again. Each case starts from keys of its own and is read
// back as a dump of the keys it touches.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "registry_dump.h"
#include "setup.h"
#include "window_driver.h"

namespace {

const char kUserKey[] = "HKEY_CURRENT_USER\\Sfx Win32 Registry";  // directly below the root
const char kMachineKey[] = "HKLM\\SOFTWARE\\Sfx Win32 Registry";
// Every class key the cases touch; "shell" and "DefaultIcon" would appear
// below the classes root itself if a class name went missing.
const char* const kClassKeys[] = {".sfxa",      ".sfxb",     ".sfxc",      "SfxA.Kind", "SfxB.Kind",  "SfxC.Kind",
                                  "SfxA.Other", "SfxA.Third", "SfxW32.Kind", ".sfxw32",  "shell",      "DefaultIcon"};

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) text.replace(at, from.size(), to);
  return text;
}

class SetupRegistry : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = "C:\\sfx win32\\setup registry";
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
  void Clean() {
    driver::DeleteRegistryTree(HKEY_CURRENT_USER, L"Sfx Win32 Registry");
    driver::DeleteRegistryTree(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Sfx Win32 Registry");
    for (const char* key : kClassKeys) {
      std::wstring wide(key, key + lstrlenA(key));
      if (wide != L"shell" && wide != L"DefaultIcon") driver::DeleteRegistryTree(HKEY_CLASSES_ROOT, wide);
    }
  }
  // "$U", "$M" and "$F" stand for the user's and the machine's test keys and
  // the installation folder.
  std::string Fill(const std::string& text) {
    return Replaced(Replaced(Replaced(text, "$U", kUserKey), "$M", kMachineKey), "$F", folder_);
  }
  void WriteIni(const std::string& text) {
    ASSERT_TRUE(driver::WriteFileBytes(g_setup.ini, "[Root]\r\nNamed=" + folder_ + "\r\n" + Fill(text)));
  }
  // Items "A\B" (a key) or "A\B|name=data" (a string value) made below `root`.
  static void Put(HKEY root, const std::string& below, const std::vector<std::string>& items) {
    for (const std::string& item : items) {
      size_t bar = item.find('|');
      std::string key = below + (below.empty() || bar == 0 ? "" : "\\") + item.substr(0, bar);
      HKEY opened;
      ASSERT_EQ(RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened, nullptr),
                ERROR_SUCCESS)
          << key;
      if (bar != std::string::npos) {
        std::string value = item.substr(bar + 1), name = value.substr(0, value.find('='));
        std::string data = value.substr(value.find('=') + 1);
        RegSetValueExA(opened, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>(data.size() + 1));
      }
      RegCloseKey(opened);
    }
  }
  // The class keys that exist, each item prefixed with its key.
  static std::string Classes() {
    std::string text;
    for (const char* key : kClassKeys)
      for (const std::string& item : driver::RegistryItems(HKEY_CLASSES_ROOT, key))
        if (item != "<gone>") text += (text.empty() ? "" : " ") + std::string(key) + (item[0] == '|' ? "" : "\\") + item;
    return text;
  }
  std::string Check() {
    char value[MAX_PATH];
    GetPrivateProfileStringA("Check", "Ext", "<none>", value, sizeof value, g_setup.ini);
    return value;
  }

  std::string folder_;
};

TEST_F(SetupRegistry, MakeAndEraseLines) {
  std::string longText(1100, 'x');
  struct Case {
    const char* what;
    std::vector<std::string> before;  // below the user's test key
    std::string lines;
    bool make;
    std::string user, machine;
  } cases[] = {
      {"lower-case root name", {}, "Make0=hkey_current_user\\Sfx Win32 Registry\\Lower", true, "Lower", "<gone>"},
      {"HKLM is no root name: the machine's key", {}, "Make0=$M\\Fallback", true, "<gone>", "Fallback"},
      {"no backslash: skipped", {}, "Make0=HKEY_CURRENT_USER\r\nMake1=$U\\After", true, "After", "<gone>"},
      {"a gap ends the list", {}, "Make0=$U\\A\r\nMake1=$U\\B\r\nMake3=$U\\D", true, "A B", "<gone>"},
      {"keys only", {}, "Make0=$U\\K1\\K2\r\nMake1=$U\\K3\\", true, "K1 K1\\K2 K3", "<gone>"},
      {"default value", {}, "Make0=$U\\Key\\\\\\!text", true, "Key Key|=text", "<gone>"},
      {"backslashes in the data", {}, "Make0=$U\\Key\\\\P\\!C:\\a\\\\b\\", true, "Key Key|P=C:\\a\\\\b\\", "<gone>"},
      {"data resolved as a path in program mode",
       {},
       "Make0=$U\\\\Dir\\%root%data\r\nMake1=$U\\\\Program\\app.exe\r\nMake2=$U\\\\Word\\word",
       true,
       "|Dir=$F\\data |Program=$F\\app.exe |Word=$F\\word",
       "<gone>"},
      {"a trail byte 0x5C cuts no name", {}, "Make0=$U\\表\\K", true, "表 表\\K", "<gone>"},
      {"an over-long line is no cut line", {}, "Make0=$U\\Long\\\\v\\!" + longText, true, "<gone>", "<gone>"},
      {"erase a key: its tree, then the ancestors left empty",
       {"|keep=1", "A\\B\\C|v=1", "A\\B\\D"}, "Erase0=$U\\A\\B", false, "|keep=1", "<gone>"},
      {"erase a value, then its key left empty", {"|keep=1", "A\\B|v=1"}, "Erase0=$U\\A\\B\\v", false, "|keep=1",
       "<gone>"},
      {"a key that keeps a value stays", {"A\\B|v=1", "A\\B|w=2"}, "Erase0=$U\\A\\B\\v", false, "A A\\B A\\B|w=2",
       "<gone>"},
      {"neither key nor value: empty ancestors still go", {"|keep=1", "A\\B"}, "Erase0=$U\\A\\B\\None", false,
       "|keep=1", "<gone>"},
      {"upward to the key below the root key", {"A\\B"}, "Erase0=$U\\A\\B", false, "<gone>", "<gone>"},
      {"a single segment: the key whole, named values too", {"|keep=1", "A"}, "Erase0=$U", false, "<gone>", "<gone>"},
      {"an empty segment is refused", {"|keep=1", "A"}, "Erase0=$U\\\r\nErase1=$U\\\\A\r\nErase2=$U\\A\\", false,
       "A |keep=1", "<gone>"},
      {"an over-long line is refused, not cut", {"A"}, "Erase0=$U\\A\\" + longText, false, "A", "<gone>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Clean();
    Put(HKEY_CURRENT_USER, "Sfx Win32 Registry", c.before);
    WriteIni("[Reg]\r\n" + c.lines + "\r\n");
    ApplyRegistryList(g_setup.ini, c.make);
    EXPECT_EQ(driver::RegistryDump(HKEY_CURRENT_USER, "Sfx Win32 Registry"), Fill(c.user));
    EXPECT_EQ(driver::RegistryDump(HKEY_LOCAL_MACHINE, "SOFTWARE\\Sfx Win32 Registry"), c.machine);
  }
  // A value of the root key itself comes and goes; the root stays.
  WriteIni("[Reg]\r\nMake0=HKEY_CURRENT_USER\\\\Sfx Win32 Root Value\\!x\r\nErase0=HKEY_CURRENT_USER\\Sfx Win32 "
           "Root Value\r\n");
  ApplyRegistryList(g_setup.ini, true);
  EXPECT_EQ(RegQueryValueExA(HKEY_CURRENT_USER, "Sfx Win32 Root Value", nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  ApplyRegistryList(g_setup.ini, false);
  EXPECT_NE(RegQueryValueExA(HKEY_CURRENT_USER, "Sfx Win32 Root Value", nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_NE(driver::RegistryDump(HKEY_CURRENT_USER, "Software"), "<gone>");
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
TEST_F(SetupRegistry, ASubkeyThatCannotBeDeletedEndsTheTreeWalk) {
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

TEST_F(SetupRegistry, KeyPrimitivesNeverWorkThroughAnEmptyName) {
  char path[MAX_PATH];
  auto call = [&](bool (*primitive)(char*), const char* text) {
    lstrcpyA(path, text);
    return std::string(primitive(path) ? "true " : "false ") + path;
  };
  auto set = [](const char* text, const char* data) { return SetClassesValue(text, data) ? "true" : "false"; };
  using Primitive = bool (*)(char*);
  struct Step {
    const char* text;
    Primitive primitive;  // null: SetClassesValue(text, data)
    const char* data;
    std::string expected, classes;  // the result (and the path left); the class keys, when not empty
  } steps[] = {
      {"SfxW32.Kind\\shell\\open\\command\\", nullptr, "run", "true",
       "SfxW32.Kind\\shell SfxW32.Kind\\shell\\open SfxW32.Kind\\shell\\open\\command "
       "SfxW32.Kind\\shell\\open\\command|=run"},
      {"SfxW32.Kind\\Name", nullptr, "v", "true",
       "SfxW32.Kind\\shell SfxW32.Kind\\shell\\open SfxW32.Kind\\shell\\open\\command "
       "SfxW32.Kind\\shell\\open\\command|=run SfxW32.Kind|Name=v"},
      {"\\SfxW32.Kind\\x", nullptr, "v", "false", ""},  // the classes root's own "SfxW32.Kind"
      {"SfxW32.Kind\\\\x", nullptr, "v", "false", ""},
      {"SfxW32.Kind\\Name", RemoveClassesValue, "", "true SfxW32.Kind", ""},  // the key path is left
      {"SfxW32.Kind\\Name", RemoveClassesValue, "", "false SfxW32.Kind", ""},
      {"SfxW32.None\\x", RemoveClassesValue, "", "false SfxW32.None", ""},
      {".sfxw32\\", nullptr, "SfxW32.Kind", "true", ""},
      {".sfxw32\\", DeleteClassesValue, "", "true .sfxw32", ""},
      {"SfxW32.Kind\\DefaultIcon\\", nullptr, "i.ico", "true", ""},
      {"SfxW32.Kind\\DefaultIcon\\", DeleteClassesValue, "", "false SfxW32.Kind",  // the class keeps its verb
       "SfxW32.Kind\\shell SfxW32.Kind\\shell\\open SfxW32.Kind\\shell\\open\\command "
       "SfxW32.Kind\\shell\\open\\command|=run"},
      {"\\DefaultIcon\\", DeleteClassesValue, "", "false \\DefaultIcon", ""},
  };
  for (const Step& step : steps) {
    EXPECT_EQ(step.primitive ? call(step.primitive, step.text) : set(step.text, step.data), step.expected)
        << step.text;
    if (!step.classes.empty()) {
      EXPECT_EQ(Classes(), step.classes) << step.text;
    }
  }
  set("SfxW32.Kind\\DefaultIcon\\", "i.ico");
  DeleteKeyTree(HKEY_CLASSES_ROOT, "SfxW32.Kind\\shell");
  EXPECT_EQ(call(DeleteClassesValue, "SfxW32.Kind\\DefaultIcon\\"), "true SfxW32.Kind");
  EXPECT_EQ(Classes(), "");

  Put(HKEY_CURRENT_USER, "Sfx Win32 Registry", {"Empty", "Valued|v=1", "Parent\\Child"});
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Sfx Win32 Registry", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  for (const char* name : {"Empty", "Valued", "Parent", "Missing", ""}) DeleteKeyIfEmpty(key, name);
  DeleteKeyTree(key, "");
  RegCloseKey(key);
  EXPECT_EQ(driver::RegistryDump(HKEY_CURRENT_USER, "Sfx Win32 Registry"), "Parent Parent\\Child Valued Valued|v=1");
}

TEST_F(SetupRegistry, AssociationsMadeAndTakenAway) {
  const std::vector<std::string> other = {".sfxa|=SfxA.Other", "SfxA.Other|=Other",
                                          "SfxA.Other\\shell\\open\\command|=other.exe"};
  const std::string otherDump =
      "SfxA.Other\\shell SfxA.Other\\shell\\open SfxA.Other\\shell\\open\\command "
      "SfxA.Other\\shell\\open\\command|=other.exe SfxA.Other|=Other";
  const std::string kind = "SfxA.Kind\\shell SfxA.Kind\\shell\\open SfxA.Kind\\shell\\open\\command ";
  struct Case {
    const char* what;
    std::vector<std::string> before, between;  // made below the classes root before the install, the removal
    std::string sections, made, removed, checkMade, checkRemoved;
  } cases[] = {
      {"a new extension",
       {},
       {},
       "[Check]\r\nExt=2\r\n[Ext0]\r\nExt=.sfxa\r\nKind=SfxA.Kind\r\nIcon=app.exe\r\nIconNo=2\r\nVerb=open\r\n"
       "Command=\"app.exe\" %1\r\n",
       ".sfxa|=SfxA.Kind SfxA.Kind\\DefaultIcon SfxA.Kind\\DefaultIcon|=$F\\app.exe,2 " + kind +
           "SfxA.Kind\\shell\\open\\command|=\"$F\\app.exe\" %1 SfxA.Kind|=SfxA.Kind",
       "",
       "2",
       "1"},
      {"another class's extension: only the verb Verb2 is added to it",
       other,
       {},
       "[Check]\r\nExt=2\r\n[Ext0]\r\nExt=.sfxa\r\nKind=SfxA.Kind\r\nIcon=app.exe\r\nVerb=open\r\nVerb2=Sfx View\r\n"
       "Command=app.exe /v %1\r\n",
       ".sfxa|=SfxA.Other SfxA.Other\\shell SfxA.Other\\shell\\Sfx View SfxA.Other\\shell\\Sfx View\\command "
       "SfxA.Other\\shell\\Sfx View\\command|=$F\\app.exe /v %1 SfxA.Other\\shell\\open "
       "SfxA.Other\\shell\\open\\command SfxA.Other\\shell\\open\\command|=other.exe SfxA.Other|=Other",
       ".sfxa|=SfxA.Other " + otherDump,
       "2",
       "2"},
      {"forced: the old class kept as Old Name and given back",
       other,
       {},
       "[Check]\r\nExt=1\r\n[Ext0]\r\nExt=.sfxa\r\nKind=SfxA.Kind\r\nVerb=open\r\nVerb2=Sfx View\r\n"
       "Command=app.exe\r\nForce=1\r\n",
       ".sfxa|=SfxA.Kind .sfxa|Old Name=SfxA.Other " + kind + "SfxA.Kind\\shell\\open\\command|=$F\\app.exe  " +
           "SfxA.Kind|=SfxA.Kind " + otherDump,
       ".sfxa|=SfxA.Other " + otherDump,
       "1",
       "1"},
      {"forced, then taken by a third class: it keeps its new owner",
       other,
       {".sfxa|=SfxA.Third"},
       "[Ext0]\r\nExt=.sfxa\r\nKind=SfxA.Kind\r\nVerb=open\r\nCommand=app.exe\r\nForce=1\r\n",
       ".sfxa|=SfxA.Kind .sfxa|Old Name=SfxA.Other " + kind + "SfxA.Kind\\shell\\open\\command|=$F\\app.exe  " +
           "SfxA.Kind|=SfxA.Kind " + otherDump,
       ".sfxa|=SfxA.Third " + otherDump,
       "<none>",
       "<none>"},
      {"commands rebuilt: quoted verbatim, a tab made a blank, a blank without arguments",
       {},
       {},
       "[Ext0]\r\nExt=.sfxa\r\nKind=SfxA.Kind\r\nIcon=app.exe\r\nVerb=open\r\nCommand=\"app.exe\"  /x\r\n"
       "[Ext1]\r\nExt=.sfxb\r\nKind=SfxB.Kind\r\nVerb=open\r\nCommand=app.exe\t/p \"%1\"\r\n"
       "[Ext2]\r\nExt=.sfxc\r\nKind=SfxC.Kind\r\nVerb=edit\r\nCommand=app.exe\r\n",
       ".sfxa|=SfxA.Kind .sfxb|=SfxB.Kind .sfxc|=SfxC.Kind SfxA.Kind\\DefaultIcon SfxA.Kind\\DefaultIcon|=$F\\app.exe " +
           kind + "SfxA.Kind\\shell\\open\\command|=\"$F\\app.exe\"  /x SfxA.Kind|=SfxA.Kind " +
           "SfxB.Kind\\shell SfxB.Kind\\shell\\open SfxB.Kind\\shell\\open\\command "
           "SfxB.Kind\\shell\\open\\command|=$F\\app.exe /p \"%1\" SfxB.Kind|=SfxB.Kind "
           "SfxC.Kind\\shell SfxC.Kind\\shell\\edit SfxC.Kind\\shell\\edit\\command "
           "SfxC.Kind\\shell\\edit\\command|=$F\\app.exe  SfxC.Kind|=SfxC.Kind",
       "",
       "<none>",
       "<none>"},
      {"a gap ends the sections; without icon or verb the class key stays",
       {},
       {},
       "[Ext0]\r\nExt=.sfxa\r\nKind=SfxA.Kind\r\n[Ext2]\r\nExt=.sfxc\r\nKind=SfxC.Kind\r\n",
       ".sfxa|=SfxA.Kind SfxA.Kind|=SfxA.Kind",
       "SfxA.Kind|=SfxA.Kind",
       "<none>",
       "<none>"},
      {"no class: nothing is written or deleted through an empty name",
       {"SfxA.Other|=Other"},
       {},
       "[Ext0]\r\nExt=.sfxa\r\nIcon=app.exe\r\nVerb=open\r\nCommand=app.exe\r\n",
       ".sfxa|= SfxA.Other|=Other",
       "SfxA.Other|=Other",
       "<none>",
       "<none>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Clean();
    Put(HKEY_CLASSES_ROOT, "", c.before);
    WriteIni(c.sections);
    ApplyAssociations(nullptr, true);
    EXPECT_EQ(Classes(), Fill(c.made));
    EXPECT_EQ(Check(), c.checkMade);
    Put(HKEY_CLASSES_ROOT, "", c.between);
    // The install with the box cleared, as the uninstall does.
    ApplyAssociations(nullptr, false);
    EXPECT_EQ(Classes(), Fill(c.removed));
    EXPECT_EQ(Check(), c.checkRemoved);
  }
}

}  // namespace
