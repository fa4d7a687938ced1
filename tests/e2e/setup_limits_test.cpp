// setup.exe at the edges of what it is given: values longer than its
// buffers in every string key that an install and an uninstall read, an
// installation folder nobody may write into, and an install killed in the
// middle of its copy and run again.
#include <algorithm>
#include <iterator>

#include "registry_dump.h"
#include "setup_run.h"
#include "snapshot.h"

namespace {

using namespace setuptest;

// A value of `length` characters that starts with `head`.
std::string Filled(const std::string& head, size_t length, char fill) {
  return head + std::string(length > head.size() ? length - head.size() : 0, fill);
}

std::string RegistryString(HKEY root, const std::string& key, const char* name) {
  char value[4096] = "";
  DWORD size = sizeof value;
  RegGetValueA(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size);
  return value;
}

// The value of a key at one length, and what of it fits the key's buffer.
struct Value {
  std::string text, cut;
};

// What the install made, for the checks of the keys.
struct Installed {
  std::string folder, menu, notice;
  std::string ini;  // the running Setup.ini, with the records
  Link MenuLink(const char* name) const { return ReadLink(menu + "\\" + name + ".lnk"); }
  Link DesktopLink() const { return ReadLink(UserFolder("Desktop") + "\\Sfx Long Desktop.lnk"); }
  // Whether a record of `section` holds `part`.
  bool Recorded(const char* section, const std::string& part) const {
    for (const std::string& record : driver::ProfileList(ini, section))
      if (record.find(part) != std::string::npos) return true;
    return false;
  }
};

bool AnyNameHolds(const std::string& folder, const std::string& part) {
  for (const std::string& name : driver::Entries(folder))
    if (name.find(part) != std::string::npos) return true;
  return false;
}

// One key of the sweep: the lines of Setup.ini that carry it ("@" stands
// for the value), how its value starts, the longest value its buffer holds
// whole, and what became of it at whatever length it was given (none for
// the uninstall's keys, whose neighbours are checked all at once).
struct LongKey {
  const char* key;
  const char* lines;
  const char* head;
  size_t fits;
  void (*check)(const Value& v, const Installed& r);
};

// Keys an install reads, each where it takes effect: a text cut to what
// fits shows cut; a path that no longer fits makes nothing, or leaves its
// field of a link empty; a full path ("!") is cut like a text.
const LongKey kInstallKeys[] = {
    {"[Setup] Name", "[Setup]\r\nName=@\r\nAuto=1\r\n", "Name", MAX_PATH - 1,
     [](const Value& v, const Installed&) {
       EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, driver::UninstallKey("Sfx Long"), "DisplayName"), v.cut);
     }},
    {"[CopyFile] 0", "[CopyFile]\r\n0=@\r\n1=a.txt\r\n", "sub\\copy", MAX_PATH - 1,
     [](const Value& v, const Installed& r) {
       EXPECT_NE(r.notice.find("\r\n" + v.cut + "\r\n"), std::string::npos) << "named as written: " << r.notice;
       EXPECT_FALSE(r.Recorded("CopiedFile", "copy"));
       EXPECT_TRUE(r.Recorded("CopiedFile", "a.txt")) << "the entry after it";
     }},
    {"[CopyFile] Self", "Self=@\r\n", "selfdir\\self", MAX_PATH - 1,
     [](const Value&, const Installed& r) { EXPECT_FALSE(r.Recorded("CopiedFile", "self")); }},
    {"[MakeDirectory] 1", "[MakeDirectory]\r\n1=@\r\n2=ok\r\n", "made", MAX_PATH - 1,
     [](const Value&, const Installed& r) {
       EXPECT_FALSE(r.Recorded("MakedDirectory", "made"));
       EXPECT_TRUE(driver::IsFolder(r.folder + "\\ok")) << "the entry after it";
     }},
    {"[Menu0] Name", "[Menu0]\r\nName=@\r\nPath=a.txt\r\n", "menu", MAX_PATH - 1,
     [](const Value&, const Installed& r) { EXPECT_FALSE(AnyNameHolds(r.menu, "menu")); }},
    {"[Menu1] Path", "[Menu1]\r\nName=Path\r\nPath=@\r\n", "path", MAX_PATH - 1,
     [](const Value&, const Installed& r) { EXPECT_EQ(r.MenuLink("Path").target, ""); }},
    {"[Menu2] Arg", "[Menu2]\r\nName=Arg\r\nPath=a.txt\r\nArg=@\r\n", "arg", MAX_PATH - 1,
     [](const Value& v, const Installed& r) { EXPECT_EQ(r.MenuLink("Arg").arguments, v.cut); }},
    {"[Menu3] Icon", "[Menu3]\r\nName=Icon\r\nPath=a.txt\r\nIcon=@\r\n", "icon", MAX_PATH - 1,
     [](const Value&, const Installed& r) { EXPECT_EQ(r.MenuLink("Icon").icon, ""); }},
    {"[Menu4] Work", "[Menu4]\r\nName=Work\r\nPath=a.txt\r\nWork=@\r\n", "work", MAX_PATH - 1,
     [](const Value&, const Installed& r) { EXPECT_EQ(r.MenuLink("Work").work, ""); }},
    {"[Menu5] Path, a full path", "[Menu5]\r\nName=Full Path\r\nPath=@\r\n", "!C:\\full", MAX_PATH - 1,
     [](const Value& v, const Installed& r) { EXPECT_EQ(r.MenuLink("Full Path").target, v.cut.substr(1)); }},
    {"[Menu6] Work, a full path", "[Menu6]\r\nName=Full Work\r\nPath=a.txt\r\nWork=@\r\n", "!C:\\work",
     MAX_PATH - 1,
     [](const Value& v, const Installed& r) { EXPECT_EQ(r.MenuLink("Full Work").work, v.cut.substr(1)); }},
    {"[Desktop] Short", "[Desktop]\r\nName=Sfx Long Desktop\r\nPath=a.txt\r\nShort=@\r\n", "P", MAX_PATH - 1,
     [](const Value&, const Installed& r) { EXPECT_EQ(r.DesktopLink().hotkey, 0x0650) << "its first character"; }},
    {"[Desktop] Icon", "Icon=@\r\n", "icon", MAX_PATH - 1,
     [](const Value&, const Installed& r) { EXPECT_EQ(r.DesktopLink().icon, ""); }},
    {"[Startup] Name", "[Startup]\r\nName=@\r\nPath=a.txt\r\n", "startup", MAX_PATH - 1,
     [](const Value&, const Installed&) { EXPECT_FALSE(AnyNameHolds(UserFolder("Startup"), "startup")); }},
    {"[Send0] Name", "[Send0]\r\nName=@\r\nPath=a.txt\r\n", "send", MAX_PATH - 1,
     [](const Value&, const Installed&) { EXPECT_FALSE(AnyNameHolds(UserFolder("SendTo"), "send")); }},
    {"[Ext0] Ext", "[Ext0]\r\nExt=@\r\nKind=SfxLong.Zero\r\nVerb=open\r\nCommand=a.txt\r\n", ".sfxlong",
     MAX_PATH - 1, [](const Value& v, const Installed&) { EXPECT_FALSE(driver::KeyExists(HKEY_CLASSES_ROOT, v.cut)); }},
    // The registry takes no key name that long: the extension names a
    // class that is not there, and its uninstall takes the name away.
    {"[Ext1] Kind", "[Ext1]\r\nExt=.sfxlong1\r\nKind=@\r\nVerb=open\r\nCommand=a.txt\r\n", "SfxLong.", MAX_PATH - 1,
     [](const Value& v, const Installed&) {
       EXPECT_EQ(RegistryString(HKEY_CLASSES_ROOT, ".sfxlong1", nullptr), v.cut);
     }},
    {"[Ext2] Verb", "[Ext2]\r\nExt=.sfxlong2\r\nKind=SfxLong.Two\r\nVerb=@\r\nCommand=a.txt\r\n", "verb",
     MAX_PATH - 1,
     [](const Value&, const Installed&) {
       EXPECT_EQ(driver::RegistryDump(HKEY_CLASSES_ROOT, "SfxLong.Two\\shell"), "");
     }},
    {"[Ext3] Command", "[Ext3]\r\nExt=.sfxlong3\r\nKind=SfxLong.Three\r\nVerb=open\r\nIcon=a.txt\r\nCommand=@\r\n",
     "\"a.txt\" ", MAX_PATH - 1,
     [](const Value& v, const Installed& r) {
       EXPECT_EQ(RegistryString(HKEY_CLASSES_ROOT, "SfxLong.Three\\shell\\open\\command", nullptr),
                 "\"" + r.folder + "\\a.txt\"" + v.cut.substr(7));
     }},
    {"[Ext3] IconNo", "IconNo=@\r\n", "1", MAX_PATH - 1,
     [](const Value& v, const Installed& r) {
       EXPECT_EQ(RegistryString(HKEY_CLASSES_ROOT, "SfxLong.Three\\DefaultIcon", nullptr),
                 r.folder + "\\a.txt," + v.cut);
     }},
    // A line holds 1039 characters and is refused whole beyond: cut, it
    // could name another value. The data of a line that fits is whole
    // (the second line is 1039 characters long with 1000 of data).
    {"[Reg] Make0", "[Reg]\r\nMake0=@\r\n", "HKEY_CURRENT_USER\\Software\\Sfx Long\\\\Line\\", 1039,
     [](const Value& v, const Installed&) {
       std::string data = v.text.size() == v.cut.size() ? v.text.substr(v.text.find("\\\\Line\\") + 7) : "";
       EXPECT_EQ(RegistryString(HKEY_CURRENT_USER, "Software\\Sfx Long", "Line"), data);
     }},
    {"[Reg] Make1 data", "Make1=HKEY_CURRENT_USER\\Software\\Sfx Long\\\\D\\@\r\n", "data", MAX_PATH - 1,
     [](const Value& v, const Installed&) {
       EXPECT_EQ(RegistryString(HKEY_CURRENT_USER, "Software\\Sfx Long", "D"), v.text) << "data too long for a path";
     }},
};

// Keys an uninstall reads, each beside something that a value cut the
// wrong way could name: its value starts with the name of what must stay
// ("<folder>" is the installation folder). What stays is checked for all
// of them at once.
const LongKey kUninstallKeys[] = {
    {"[Root] Name", "[Root]\r\nName=@\r\nNamed=<folder>\r\n", "Sfx Long Keep", MAX_PATH - 1, nullptr},
    {"[Registry] Name", "[Registry]\r\nCompany=Sfx Long Keep\r\nName=@\r\n", "Keep", MAX_PATH - 1, nullptr},
    {"[Reg] Erase0", "[Reg]\r\nErase0=@\r\n", "HKEY_CURRENT_USER\\Software\\Sfx Long Keep\\Keep", 1039, nullptr},
    {"[Del] 0", "[Del]\r\nAuto=1\r\nShowError=1\r\n0=@\r\n", "keep", MAX_PATH - 1, nullptr},
    {"[Del] 1, a full path", "1=@\r\n", "!<folder>\\keep", MAX_PATH - 1, nullptr},
    {"[DirRemove] 1", "[DirRemove]\r\n1=@\r\n", "kept", MAX_PATH - 1, nullptr},
    {"[CopiedFile] 0", "[CopiedFile]\r\nCount=1\r\n0=@\r\n", "<folder>\\keep", MAX_PATH - 1, nullptr},
    {"[MakedDirectory] 1", "[MakedDirectory]\r\nCount=2\r\n0=<folder>\r\n1=@\r\n", "<folder>\\kept", MAX_PATH - 1,
     nullptr},
    {"[Menu] Name", "[Menu]\r\nName=@\r\n", "Sfx Long Keep Menu", MAX_PATH - 1, nullptr},
    {"[Desktop] Name", "[Desktop]\r\nName=@\r\n", "Sfx Long Keep", MAX_PATH - 1, nullptr},
    {"[Send0] Name", "[Send0]\r\nName=@\r\n", "Sfx Long Keep", MAX_PATH - 1, nullptr},
    {"[Ext0] Ext", "[Ext0]\r\nExt=@\r\nKind=SfxLong.Keep\r\nVerb=open\r\n", ".sfxkeep", MAX_PATH - 1, nullptr},
};

const std::vector<std::string> kLongClasses = {".sfxlong1",    ".sfxlong2",     ".sfxlong3", "SfxLong.Zero",
                                               "SfxLong.Two",  "SfxLong.Three", ".sfxkeep",  "SfxLong.Keep"};

// The things the uninstall keys' values start with, which stay.
std::vector<std::string> KeptFiles(const std::string& folder) {
  return {folder + "\\keep", folder + "\\kept\\", UserFolder("Programs") + "\\Sfx Long Keep Menu\\mine.txt",
          UserFolder("Desktop") + "\\Sfx Long Keep.lnk", UserFolder("SendTo") + "\\Sfx Long Keep.lnk"};
}
const struct {
  HKEY root;
  const char* key;
} kKeptKeys[] = {
    {HKEY_CURRENT_USER, "Software\\Sfx Long Keep\\Keep"},
    {HKEY_LOCAL_MACHINE, "Software\\Sfx Long Keep\\Keep"},
    {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sfx Long Keep"},
    {HKEY_CLASSES_ROOT, ".sfxkeep"},
};

// The lines of Setup.ini for `keys`, each value `over` characters longer
// than its buffer holds.
std::string LongLines(const LongKey* keys, size_t count, size_t over, const std::string& folder,
                      std::vector<Value>* values) {
  auto place = [&](std::string text) {
    for (size_t at; (at = text.find("<folder>")) != std::string::npos;) text.replace(at, 8, folder);
    return text;
  };
  std::string ini;
  for (size_t i = 0; i < count; ++i) {
    Value v{Filled(place(keys[i].head), keys[i].fits + over, static_cast<char>('a' + i % 26)), ""};
    v.cut = v.text.substr(0, keys[i].fits);
    std::string lines = place(keys[i].lines);
    ini += lines.replace(lines.find('@'), 1, v.text);
    values->push_back(v);
  }
  return ini;
}

// The lengths of the sweep: the longest value that fits, one more, and
// far more (1000 characters where 259 fit).
const size_t kOverLengths[] = {0, 1, 741};

class SetupLimits : public SetupRun {
 protected:
  void TearDown() override {
    Clean();
    SetupRun::TearDown();
  }
  void Clean() {
    for (const std::string& key : kLongClasses) RegDeleteTreeA(HKEY_CLASSES_ROOT, key.c_str());
    for (const char* key : {"Software\\Sfx Long", "Software\\Sfx Long Keep"}) {
      RegDeleteTreeA(HKEY_CURRENT_USER, key);
      RegDeleteTreeA(HKEY_LOCAL_MACHINE, key);
    }
    for (const char* name : {"Sfx Long", "Sfx Long Keep"})
      RegDeleteTreeA(HKEY_LOCAL_MACHINE, driver::UninstallKey(name).c_str());
    driver::RemoveTree(UserFolder("Programs") + "\\Sfx Long Menu");
    driver::RemoveTree(UserFolder("Programs") + "\\Sfx Long Keep Menu");
    for (const std::string& link : {UserFolder("Desktop") + "\\Sfx Long Desktop.lnk",
                                    UserFolder("Desktop") + "\\Sfx Long Keep.lnk",
                                    UserFolder("SendTo") + "\\Sfx Long Keep.lnk"})
      DeleteFileA(link.c_str());
  }
};

// Every key at the longest length its buffer holds, one more, and far
// more; the checks of each key hold at each length.
TEST_F(SetupLimits, OverLongValuesAreCutOrRefusedInEveryKeyTheInstallReads) {
  ASSERT_TRUE(driver::WriteFileBytes(app_ + "\\a.txt", "a"));
  Installed r;
  r.folder = root_ + "\\Sfx Long";
  r.menu = UserFolder("Programs") + "\\Sfx Long Menu";
  r.ini = ini_;
  for (size_t over : kOverLengths) {
    std::vector<Value> values;
    WriteIni("[Root]\r\nName=" + r.folder.substr(3) +
             "\r\n[Check]\r\nMenu=2\r\nDesktop=2\r\nStartup=2\r\nExt=2\r\nSend=2\r\nCopy=2\r\n"
             "[Menu]\r\nName=Sfx Long Menu\r\n" +
             LongLines(kInstallKeys, std::size(kInstallKeys), over, r.folder, &values));
    driver::Process process = Start();
    HWND dialog = WaitForDialog(process, values[0].cut.c_str());
    ASSERT_NE(dialog, nullptr) << "the caption is the name cut to what fits";
    std::vector<std::string> boxes = AnswerUntilEnd(process, dialog);
    ASSERT_EQ(boxes.size(), 1u) << "the copy failure notice alone";
    r.notice = boxes[0];
    for (size_t i = 0; i < values.size(); ++i) {
      SCOPED_TRACE(std::string(kInstallKeys[i].key) + ", " + std::to_string(values[i].text.size()) + " characters");
      kInstallKeys[i].check(values[i], r);
    }
    Clean();
    driver::RemoveTree(r.folder);
  }
}

// An installed copy whose every key the uninstall reads is too long: the
// uninstall runs through, removes nothing that a value does not name, and
// reports what stays.
TEST_F(SetupLimits, OverLongValuesInEveryKeyTheUninstallReadsRemoveNothingElse) {
  const std::string folder = root_ + "\\Sfx Long Keep App";
  for (size_t over : kOverLengths) {
    ASSERT_TRUE(driver::MakeFolders(folder + "\\kept"));
    ASSERT_TRUE(CopyFileA((app_ + "\\setup.exe").c_str(), (folder + "\\Setup.exe").c_str(), FALSE));
    for (const std::string& path : KeptFiles(folder))
      ASSERT_TRUE(path.back() == '\\' || driver::PutFile(path, "keep")) << path;
    for (const auto& kept : kKeptKeys) ASSERT_TRUE(driver::SetKeyString(kept.root, kept.key, "Kept", "yes"));
    std::vector<Value> values;
    std::string lines = LongLines(kUninstallKeys, std::size(kUninstallKeys), over, folder, &values);
    ASSERT_TRUE(driver::WriteFileBytes(folder + "\\Setup.ini", "[Setup]\r\nName=Sfx Long Keep App\r\n" + lines));
    driver::Process process = driver::Start("\"" + folder + "\\Setup.exe\" uninstall", folder);
    HWND dialog = WaitForDialog(process, "Sfx Long Keep App");
    ASSERT_NE(dialog, nullptr);
    SCOPED_TRACE(std::to_string(values[0].text.size()) + " characters where 259 fit");
    EXPECT_EQ(AnswerUntilEnd(process, dialog),
              std::vector<std::string>{"次のものは削除されませんでした．\n\n" + folder + "\n"})
        << "a value too long names nothing that is left";
    EXPECT_FALSE(driver::Exists(folder + "\\Setup.ini")) << "the uninstall ran to its end";
    ASSERT_TRUE(process.WaitForItsPrograms()) << "the removal copy";
    for (const std::string& path : KeptFiles(folder)) EXPECT_TRUE(driver::Exists(path)) << path;
    for (const auto& kept : kKeptKeys) EXPECT_TRUE(driver::KeyExists(kept.root, kept.key)) << kept.key;
    Clean();
  }
}

// Wine runs everything as an administrator and keeps no read-only mark on
// folders, so a folder nobody may write into is one of the host's own
// sysfs, which is drive Z:. Every copy is refused; the notice names each
// and the install goes on, recording no file as copied.
TEST_F(SetupLimits, AFolderNobodyMayWriteIntoGetsTheNoticeAndNoRecordOfAFile) {
  const std::string folder = "Z:\\sys\\kernel";
  ASSERT_TRUE(driver::IsFolder(folder));
  keys_.push_back("Sfx ReadOnly");
  ASSERT_TRUE(driver::WriteFileBytes(app_ + "\\a.txt", "a"));
  ASSERT_TRUE(driver::PutFile(app_ + "\\sub\\b.txt", "b"));
  WriteIni("[Setup]\r\nName=Sfx ReadOnly\r\n[Root]\r\nName=Sfx ReadOnly\r\n[CopyFile]\r\n0=a.txt\r\n1=sub\\b.txt\r\n"
           "[MakeDirectory]\r\n1=sub\r\n");
  driver::Process process = Start();
  HWND dialog = WaitForDialog(process, "Sfx ReadOnly");
  ASSERT_NE(dialog, nullptr);
  SendDlgItemMessageA(dialog, IDC_FOLDER, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.c_str()));
  driver::PressButton(dialog, IDC_RUN);
  EXPECT_EQ(AnswerUntilEnd(process, dialog),
            std::vector<std::string>{"以下のファイルはコピーできませんでした\r\n\r\n" + folder + "\\a.txt\r\n" + folder +
                                     "\\sub\\b.txt\r\n\r\n処理は継続します"});
  EXPECT_EQ(Setting("Root", "Named"), folder);
  EXPECT_EQ(Setting("CopiedFile", "Count"), "1") << "installed, with nothing copied";
  EXPECT_EQ(Setting("CopiedFile", "0"), "<none>");
  for (const char* name : {"a.txt", "sub", "Setup.exe", "Setup.ini"}) EXPECT_FALSE(driver::Exists(folder + "\\" + name));
}

// setup killed while it copies, as a crash or the task manager ends it.
// The user starts the built file again, which unpacks the description as
// it was packed (the killed run's own may be empty: a profile write
// rewrites the whole file), installs into the same folder and later
// uninstalls: nothing of either run stays. A copy is made beside its
// destination and then put in its place, so the kill leaves no truncated
// destination, which would be newer than its source and kept by the date
// check; the next run replaces what the kill left.
TEST_F(SetupLimits, AnInstallKilledInItsCopyAndRunAgainIsUninstalledWhole) {
  const std::string folder = root_ + "\\Sfx Killed";
  keys_.push_back("Sfx Killed");
  // A large file first, which the kill finds half written, then many.
  ASSERT_TRUE(driver::WriteFileBytes(app_ + "\\big.dat", driver::RandomBytes(8 << 20, 4)));
  std::string entries = "0=big.dat\r\n";
  std::vector<std::string> destinations = {folder + "\\big.dat"};
  for (int i = 1; i <= 200; ++i) {
    std::string name = "small\\" + std::to_string(i) + ".txt";
    ASSERT_TRUE(driver::PutFile(app_ + "\\" + name, std::string(100, 's')));
    entries += std::to_string(i) + "=" + name + "\r\n";
    destinations.push_back(folder + "\\" + name);
  }
  const std::string description = "[Setup]\r\nName=Sfx Killed\r\n[Root]\r\nName=" + folder.substr(3) +
                                  "\r\n[CopyFile]\r\n" + entries +
                                  "[MakeDirectory]\r\n1=small\r\n[Del]\r\nAuto=1\r\nShowError=1\r\n";
  WriteIni(description);
  std::vector<std::string> registryBefore = driver::RegistrySnapshot({}, {}), filesBefore = FileSnapshot();

  driver::Process process = Start();
  HWND dialog = WaitForDialog(process, "Sfx Killed");
  ASSERT_NE(dialog, nullptr);
  driver::PressButton(dialog, IDC_RUN);
  // Ended the moment the large file's copy appears, before it is whole.
  for (DWORD start = GetTickCount(); !driver::Exists(folder + "\\big.dat.$$$"); Sleep(0))
    ASSERT_LT(GetTickCount() - start, 20000u) << "the copy did not start";
  process.Kill();
  ASSERT_FALSE(driver::Exists(folder + "\\Setup.exe")) << "killed only after the copy";
  EXPECT_FALSE(driver::Exists(folder + "\\big.dat")) << "no truncated destination";

  WriteIni(description);
  process = Start();
  dialog = WaitForDialog(process, "Sfx Killed");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(FieldText(dialog, IDC_FOLDER), folder);
  driver::PressButton(dialog, IDC_RUN);
  EXPECT_EQ(AnswerUntilEnd(process, dialog, IDYES), std::vector<std::string>{}) << "nothing is newer than its source";
  EXPECT_TRUE(driver::ReadFileBytes(folder + "\\big.dat") == driver::ReadFileBytes(app_ + "\\big.dat"));
  EXPECT_FALSE(driver::Exists(folder + "\\big.dat.$$$")) << "the killed run's copy replaced";
  std::vector<std::string> copied = driver::ProfileList(folder + "\\Setup.ini", "CopiedFile");
  std::sort(copied.begin(), copied.end());
  std::sort(destinations.begin(), destinations.end());
  EXPECT_EQ(copied, destinations) << "every file recorded once";

  process = StartFromUninstallList("Sfx Killed");
  ASSERT_NE(WaitForDialog(process, "Sfx Killed"), nullptr);
  EXPECT_EQ(AnswerUntilEnd(process, nullptr), std::vector<std::string>{}) << "nothing was left to report";
  ExpectRemovalCopyDone(folder, true);
  EXPECT_EQ(driver::Difference(registryBefore, driver::RegistrySnapshot({}, {})), "");
  EXPECT_EQ(driver::Difference(filesBefore, FileSnapshot()), "");
}

}  // namespace
