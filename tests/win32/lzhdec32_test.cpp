// lzhdec32.dll as a program uses it: loaded by name, called through
// GetProcAddress, writing through Wine's file system. The decoders have
// their own tests on the host; these are about the DLL's glue and the
// Win32 side: paths, code page 932 names, reports, and hostile input.
#include <gtest/gtest.h>

#include <set>

#include "library_test.h"
#include "lzh_entry.h"

namespace {

// 表 (0x95 0x5C) ends in a backslash byte; ソ (0x83 0x5C) too.
const char kHyou[] = "\x95\x5C";
const char kSoft[] = "\x83\x5C\x83\x74\x83\x67";  // ソフト

using lzhentry::Stored;
using driver::Tree;

// The tree of `drive` without what lies below `skip`.
std::set<std::string> TreeOutside(const std::string& drive, const std::string& skip) {
  std::string prefix = skip.substr(drive.size()) + "\\";
  std::set<std::string> names;
  for (const std::string& name : Tree(drive))
    if (name.rfind(prefix, 0) != 0) names.insert(name);
  return names;
}

// The files below `folder` have the bytes of the fixture's files.
void ExpectFilesOfTheFixture(const std::string& folder) {
  for (const std::string& name : Tree(folder)) {
    if (name.back() == '\\') continue;
    EXPECT_TRUE(driver::ReadFileBytes(folder + "\\" + name) == driver::ReadFileBytes(driver::FixturePath("app\\" + name)))
        << name;
  }
}

class LzhDec32 : public LibraryTest {
 protected:
  LzhDec32() : LibraryTest("lzhdec32.dll", "LzhDec") {}
  void SetUp() override {
    LibraryTest::SetUp();
    ASSERT_EQ(GetACP(), 932u) << "the names below are code page 932";
    ASSERT_TRUE(driver::MakeFolders(root_ + "\\here"));
    // Drive-relative names would land in the current folder: make it one
    // the tests watch.
    EnterFolder(root_ + "\\here");
  }

  std::string Archive(const std::string& name, const std::string& bytes) {
    std::string path = root_ + "\\" + name;
    EXPECT_TRUE(driver::WriteFileBytes(path, bytes));
    return path;
  }
};

TEST_F(LzhDec32, ExportedUnderItsPlainAndDecoratedNames) {
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(library_, "LzhDec@16")), reinterpret_cast<void*>(entry_));
}

// The jlha-made archive (stored and lh5 entries, nested folders) below a
// folder with blanks whose name ends in a character with a 0x5C byte.
TEST_F(LzhDec32, ExtractsEveryEntryBelowTheFolderAndOverwrites) {
  const std::string target = root_ + "\\out put " + kHyou;
  std::string report;
  ASSERT_EQ(Call("x \"" + driver::FixturePath("app.lzh") + "\" \"" + target + "\\\"", &report), 0) << report;
  const std::set<std::string> expected = {"top.txt",
                                          "[shell]\\",
                                          "[shell]\\config\\",
                                          "[shell]\\config\\setup.ini",
                                          "[Environment]\\",
                                          "[Environment]\\SFX_E2E_DEST\\",
                                          "[Environment]\\SFX_E2E_DEST\\sample.dll",
                                          "[Temporary]\\",
                                          "[Temporary]\\readme.txt",
                                          "[Temporary]\\docs\\",
                                          "[Temporary]\\docs\\guide.txt"};
  EXPECT_EQ(Tree(target), expected);
  ExpectFilesOfTheFixture(target);
  // Beside the target only the watched current folder.
  EXPECT_EQ(Tree(root_).size(), Tree(target).size() + 2);

  // Again over changed and read-only files of the first run.
  const std::string readme = target + "\\[Temporary]\\readme.txt";
  ASSERT_TRUE(driver::WriteFileBytes(readme, "changed"));
  SetFileAttributesA(readme.c_str(), FILE_ATTRIBUTE_READONLY);
  ASSERT_EQ(Call("x \"" + driver::FixturePath("app.lzh") + "\" \"" + target + "\"", &report), 0) << report;
  EXPECT_TRUE(driver::ReadFileBytes(readme) == driver::ReadFileBytes(driver::FixturePath("app\\[Temporary]\\readme.txt")));
}

TEST_F(LzhDec32, ShiftJisNamesReachTheFileSystemAsTheArchiveHasThem) {
  // 表\ソフト.txt: the separator after 表 is a real one, the 0x5C bytes
  // inside the characters are not.
  std::string name = std::string(kHyou) + "\\" + kSoft + ".txt";
  std::string archive = Archive("names.lzh", Stored(name, "japanese") + std::string(1, '\0'));
  std::string target = root_ + "\\" + kSoft;
  std::string report;
  ASSERT_EQ(Call("x \"" + archive + "\" \"" + target + "\\\"", &report), 0) << report;
  EXPECT_EQ(Tree(target), (std::set<std::string>{std::string(kHyou) + "\\", name}));
  EXPECT_EQ(driver::ReadFileBytes(target + "\\" + name), "japanese");
  ASSERT_EQ(Call("l \"" + archive + "\"", &report), 0);
  EXPECT_NE(report.find(std::string(kHyou) + "/" + kSoft + ".txt"), std::string::npos) << report;
}

TEST_F(LzhDec32, BareArgumentsListAndTest) {
  Archive("bare.lzh", Stored("one.txt", "1") + Stored("two.txt", "22") + '\0');
  // Relative to the current folder: the root's name has a blank.
  const std::string archive = "..\\bare.lzh";
  std::string report;
  ASSERT_EQ(Call("l " + archive, &report), 0) << report;
  EXPECT_EQ(report, "-lh0- 1 one.txt\n-lh0- 2 two.txt\n2 entries\n");
  ASSERT_EQ(Call("t " + archive, &report), 0) << report;
  EXPECT_EQ(report, "2 files tested, 0 folders\n");
  ASSERT_EQ(Call("X " + archive + " ..\\bare", &report), 0) << report;
  EXPECT_EQ(Tree(root_ + "\\bare"), (std::set<std::string>{"one.txt", "two.txt"}));
  EXPECT_TRUE(Tree(root_ + "\\here").empty()) << "testing and listing write nothing";
}

TEST_F(LzhDec32, ReportIsCutToTheBufferAndEndsInNul) {
  std::string archive = Archive("cut.lzh", Stored("one.txt", "1") + '\0');
  const std::string command = "l \"" + archive + "\"";
  char buffer[16];
  memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(entry_(nullptr, command.c_str(), buffer, 0), 0);
  EXPECT_EQ(buffer[0], '#') << "no room, nothing written";
  EXPECT_EQ(entry_(nullptr, command.c_str(), buffer, 1), 0);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(buffer[1], '#');
  EXPECT_EQ(entry_(nullptr, command.c_str(), buffer, 6), 0);
  EXPECT_STREQ(buffer, "-lh0-");
  EXPECT_EQ(buffer[6], '#');
  EXPECT_EQ(entry_(nullptr, command.c_str(), nullptr, 100), 0);
  EXPECT_NE(entry_(nullptr, "q nothing", nullptr, 0), 0);
  EXPECT_NE(entry_(nullptr, nullptr, buffer, sizeof buffer), 0);
}

TEST_F(LzhDec32, CommandsThatCannotRunFail) {
  std::string report;
  EXPECT_NE(Call("", &report), 0);
  EXPECT_NE(Call("x", &report), 0);
  EXPECT_NE(Call("l \"unterminated", &report), 0);
  EXPECT_NE(Call("t \"" + root_ + "\\missing.lzh\"", &report), 0);
  EXPECT_NE(report.find("cannot open"), std::string::npos) << report;
  // Devices and folders are no archives, and waiting on one would hang.
  EXPECT_NE(Call("t CON", &report), 0);
  EXPECT_NE(Call("t \"" + root_ + "\"", &report), 0);
  // A target below a file cannot be made.
  std::string archive = Archive("a.lzh", Stored("a.txt", "a") + '\0');
  EXPECT_NE(Call("x \"" + archive + "\" \"" + archive + "\\sub\\\"", &report), 0);
}

// Each hostile name beside a harmless one: the call fails, the harmless
// entry is there, and nothing lands outside the folder.
TEST_F(LzhDec32, HostileNamesFailAndStayInsideTheFolder) {
  const char* const names[] = {
      "..\\up.txt", "a\\..\\..\\up.txt", "../up.txt", "a/../../up.txt", "C:\\..\\up.txt", "\\..\\up.txt",
      "CON",        "aux.txt",          "sub\\NUL.txt", "COM1",         "lpt9.log",         "file.txt:stream",
      "...\\x.txt",  "con .txt"};
  const std::set<std::string> before = TreeOutside("C:\\", root_);
  for (const char* name : names) {
    SCOPED_TRACE(name);
    std::string archive = Archive("hostile.lzh", Stored(name, "evil") + Stored("ok.txt", "ok") + '\0');
    std::string target = root_ + "\\out";
    std::string report;
    EXPECT_NE(Call("x \"" + archive + "\" \"" + target + "\\\"", &report), 0) << report;
    EXPECT_EQ(Tree(target), (std::set<std::string>{"ok.txt"})) << report;
    EXPECT_EQ(Tree(root_), (std::set<std::string>{"here\\", "hostile.lzh", "out\\", "out\\ok.txt"}));
    driver::RemoveTree(target);
  }
  EXPECT_EQ(TreeOutside("C:\\", root_), before);
}

// The same refusals whichever header level holds the name, and the folder
// at levels 1 and 2 in its own header.
TEST_F(LzhDec32, HostileNamesAreRefusedAtEveryHeaderLevel) {
  const struct {
    const char* folder;
    const char* name;
  } kUnsafe[] = {{"..", "start.txt"}, {"a/../..", "mid.txt"}, {"a", ".."},
                 {"", "CON"},         {"sub", "nul.txt"},       {"/..", "rooted.txt"}};
  const std::set<std::string> before = TreeOutside("C:\\", root_);
  for (int level : {0, 1, 2}) {
    SCOPED_TRACE(level);
    std::string bytes;
    for (const auto& u : kUnsafe) bytes += lzhentry::AtLevel(level, u.folder, u.name, "evil");
    std::string archive = Archive("levels.lzh", bytes + lzhentry::AtLevel(level, "/in", "ok.txt", "ok") + '\0');
    std::string target = root_ + "\\out";
    std::string report;
    EXPECT_NE(Call("x \"" + archive + "\" \"" + target + "\\\"", &report), 0) << report;
    EXPECT_EQ(Tree(target), (std::set<std::string>{"in\\", "in\\ok.txt"})) << report;
    driver::RemoveTree(target);
  }
  EXPECT_EQ(TreeOutside("C:\\", root_), before);
}

// Files keep the header's time, which an installer's date check compares:
// a level 0 MS-DOS stamp in local time, a level 2 Unix time in UTC.
TEST_F(LzhDec32, FilesKeepTheTimeTheirHeaderGives) {
  std::string archive = Archive("times.lzh", lzhentry::AtLevel(0, "", "dos.txt", "d") +
                                                 lzhentry::AtLevel(2, "", "unix.txt", "u") + '\0');
  std::string target = root_ + "\\out";
  std::string report;
  ASSERT_EQ(Call("x \"" + archive + "\" \"" + target + "\\\"", &report), 0) << report;
  auto written = [&](const char* name) {
    FILETIME time = {};
    HANDLE file = CreateFileA((target + "\\" + name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE) << name;
    GetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
    return time;
  };
  FILETIME utc = written("dos.txt"), local;
  WORD date = 0, time = 0;
  ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &local) && FileTimeToDosDateTime(&local, &date, &time));
  EXPECT_EQ(date, 0x5A21);  // as lzh_entry.h stamps level 0
  EXPECT_EQ(time, 0);
  utc = written("unix.txt");
  uint64_t steps = (static_cast<uint64_t>(utc.dwHighDateTime) << 32) | utc.dwLowDateTime;
  EXPECT_EQ((steps - 116444736000000000ull) / 10000000, 0x5F000000u);  // as it stamps level 2
}

// An absolute name lands below the folder as it would below the root.
TEST_F(LzhDec32, AbsoluteNamesLandInsideTheFolder) {
  const std::set<std::string> before = TreeOutside("C:\\", root_);
  std::string archive = Archive("rooted.lzh", Stored("\\abs.txt", "a") + Stored("/unix/abs.txt", "b") +
                                                  Stored("C:\\drive\\c.txt", "c") + Stored("C:d.txt", "d") +
                                                  Stored("\\\\server\\share\\e.txt", "e") + '\0');
  std::string target = root_ + "\\out";
  std::string report;
  EXPECT_EQ(Call("x \"" + archive + "\" \"" + target + "\\\"", &report), 0) << report;
  EXPECT_EQ(Tree(target), (std::set<std::string>{"abs.txt", "unix\\", "unix\\abs.txt", "drive\\", "drive\\c.txt",
                                                 "d.txt", "server\\", "server\\share\\", "server\\share\\e.txt"}));
  EXPECT_EQ(driver::ReadFileBytes(target + "\\server\\share\\e.txt"), "e");
  EXPECT_EQ(TreeOutside("C:\\", root_), before);
}

// Truncated and bit-flipped copies of the jlha-made archive: a failure code
// or exactly the original files, never a crash, a hang or a stray file.
TEST_F(LzhDec32, DamagedArchivesFailOrExtractExactly) {
  const std::string good = driver::ReadFileBytes(driver::FixturePath("app.lzh"));
  ASSERT_GT(good.size(), 1000u);
  const std::string target = root_ + "\\out";
  const std::string damaged = root_ + "\\damaged.lzh";
  for (size_t size = 0; size + 2 < good.size(); size += 37) {
    ASSERT_TRUE(driver::WriteFileBytes(damaged, good.substr(0, size)));
    EXPECT_NE(Call("x \"" + damaged + "\" \"" + target + "\""), 0) << size;
    EXPECT_NE(Call("t \"" + damaged + "\""), 0) << size;
  }
  unsigned seed = 12345;
  for (int round = 0; round < 300; ++round) {
    std::string bytes = good;
    seed = seed * 1103515245 + 12345;
    size_t at = (seed >> 8) % bytes.size();
    bytes[at] = static_cast<char>(bytes[at] ^ (1 << ((seed >> 4) % 8)));
    ASSERT_TRUE(driver::WriteFileBytes(damaged, bytes));
    driver::RemoveTree(target);
    if (Call("x \"" + damaged + "\" \"" + target + "\"") == 0) {
      SCOPED_TRACE(at);
      ExpectFilesOfTheFixture(target);
    }
  }
  std::set<std::string> left = Tree(root_);
  for (const std::string& name : left)
    EXPECT_TRUE(name == "here\\" || name == "damaged.lzh" || name.rfind("out\\", 0) == 0) << name;
  EXPECT_TRUE(Tree(root_ + "\\here").empty());
}

}  // namespace
