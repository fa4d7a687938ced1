// Archives shaped as other archivers shape them, built in code: folders
// stored with a leading separator, comments behind a NUL in the name,
// OS-9/68k level 2 headers and Amiga folder entries. Each is unpacked by
// lzhdec and, where lhasa reads the form, by lhasa to the same tree.
#include <gtest/gtest.h>

#include "lzh_entry.h"
#include "lzh_test_util.h"

namespace {

using namespace lzhtest;
using lzhentry::Entry;

Entry Make(int level, std::string name, std::string data) {
  Entry e;
  e.level = level;
  e.name = std::move(name);
  e.data = std::move(data);
  return e;
}

Entry WithFolder(Entry e, std::string folder) {
  e.folder = std::move(folder);
  return e;
}

Entry FromSystem(Entry e, char os) {
  e.os = os;
  return e;
}

struct Case {
  const char* what;
  std::vector<Entry> entries;
  Tree tree;         // what lands below the target
  bool lhasaReadsIt;
};

std::vector<Case> Cases() {
  // OS-9 permissions ride in the Unix mode header: owner and public read
  // and write.
  Entry os9 = FromSystem(WithFolder(Make(2, "prog.c", "main() {}\n"), "src\xFFos9\xFF"), 'K');
  os9.sizeFieldShortBy = 2;
  os9.more = {{0x50, std::string("\x1B\x00", 2)}};
  Entry os9Plain = FromSystem(Make(2, "notes", "os-9\n"), 'K');
  os9Plain.sizeFieldShortBy = 2;

  Entry amigaFolder = FromSystem(WithFolder(Make(2, "", ""), "Empty Drawer\xFF"), 'A');
  Entry amigaLevel1 = FromSystem(WithFolder(Make(1, "", ""), "Also Empty\xFF"), 'A');
  Entry amigaFile = FromSystem(WithFolder(Make(2, "empty.txt", ""), "Drawer\xFF"), 'A');

  return {
      {"level 0, DOS separators, the folder rooted",
       {Make(0, "\\app\\readme.txt", "read me\n"), Make(0, "\\app\\bin\\tool.exe", "MZ")},
       {{"app", "<dir>"}, {"app/readme.txt", "read me\n"}, {"app/bin", "<dir>"}, {"app/bin/tool.exe", "MZ"}},
       true},
      {"level 0, a volume's name in front",
       {Make(0, "/Mounted Volume/sub/a.txt", "a")},
       {{"mounted volume", "<dir>"}, {"mounted volume/sub", "<dir>"}, {"mounted volume/sub/a.txt", "a"}},
       true},
      {"level 1, the folder header starts with a separator",
       {FromSystem(WithFolder(Make(1, "readme.txt", "one"), "\xFF" "app\xFF"), 'W')},
       {{"app", "<dir>"}, {"app/readme.txt", "one"}},
       true},
      {"level 2, the folder header starts with a separator",
       {FromSystem(WithFolder(Make(2, "b.txt", "two"), "\xFF" "app\xFFsub\xFF"), 'W')},
       {{"app", "<dir>"}, {"app/sub", "<dir>"}, {"app/sub/b.txt", "two"}},
       true},
      {"a comment behind a NUL, levels 0 and 1",
       {Make(0, std::string("metadata.txt\0This is a comment on the file.", 43), "meta"),
        FromSystem(Make(1, std::string("notes.txt\0Read me/first", 23), "notes"), 'A')},
       {{"metadata.txt", "meta"}, {"notes.txt", "notes"}},
       true},
      {"OS-9/68k level 2, the header size two bytes short",
       {os9, os9Plain},
       {{"src", "<dir>"}, {"src/os9", "<dir>"}, {"src/os9/prog.c", "main() {}\n"}, {"notes", "os-9\n"}},
       true},
      // lhasa learned this form after the release Debian ships.
      {"Amiga folders stored as empty nameless files",
       {amigaFolder, amigaLevel1, amigaFile},
       {{"empty drawer", "<dir>"}, {"also empty", "<dir>"}, {"drawer", "<dir>"}, {"drawer/empty.txt", ""}},
       false},
  };
}

std::string Archive(const std::vector<Entry>& entries) {
  std::string bytes;
  for (const Entry& e : entries) bytes += lzhentry::Build(e);
  return bytes + '\0';
}

TEST(LzhForeign, OtherArchiversFormsUnpackAsLhasaUnpacksThem) {
  bool haveLhasa = HaveTool("lhasa");
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.what);
    TempDir temp;
    std::string archive = temp / "in.lzh";
    std::string bytes = Archive(c.entries);
    WriteAll(archive, Bytes(bytes.begin(), bytes.end()));
    ToolRun run = Lzhdec("x", archive, temp / "ours");
    EXPECT_EQ(run.code, 0) << run.out;
    EXPECT_EQ(ReadTree(temp / "ours", true), c.tree) << run.out;
    EXPECT_EQ(Lzhdec("t", archive).code, 0);
    if (!c.lhasaReadsIt || !haveLhasa) continue;
    fs::create_directory(temp / "lhasa");
    ToolRun lhasa = Sh("cd " + Quote(temp / "lhasa") + " && lhasa -xq " + Quote(archive));
    EXPECT_EQ(lhasa.code, 0) << lhasa.out;
    EXPECT_EQ(ReadTree(temp / "lhasa", true), c.tree);
  }
}

// The listing shows names as the archive holds them, mended or not.
TEST(LzhForeign, ListingShowsTheStoredName) {
  TempDir temp;
  std::string archive = temp / "in.lzh";
  // The last entry claims 5,000,000,000 bytes in its 64-bit size header.
  Entry huge = Make(2, "huge.bin", "z");
  huge.more = {{0x42, std::string("\x01\0\0\0\0\0\0\0\x00\xF2\x05\x2A\x01\0\0\0", 16)}};
  std::string bytes = Archive({Make(0, "\\app\\readme.txt", "x"),
                               FromSystem(WithFolder(Make(2, "b.txt", "y"), "\xFF" "app\xFF"), 'W'), huge});
  WriteAll(archive, Bytes(bytes.begin(), bytes.end()));
  ToolRun run = Lzhdec("l", archive);
  EXPECT_EQ(run.code, 0);
  EXPECT_NE(run.out.find(" /app/readme.txt\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(" /app/b.txt\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(" 5000000000 huge.bin\n"), std::string::npos) << run.out;
}

// A header from any other system whose size falls two bytes short is
// still damaged: the allowance is the OS-9/68k archiver's alone.
TEST(LzhForeign, ShortHeaderSizeIsDamageElsewhere) {
  Entry e = FromSystem(Make(2, "a.txt", "a"), 'U');
  e.sizeFieldShortBy = 2;
  TempDir temp;
  std::string archive = temp / "in.lzh";
  std::string bytes = Archive({e});
  WriteAll(archive, Bytes(bytes.begin(), bytes.end()));
  ToolRun run = Lzhdec("t", archive);
  EXPECT_NE(run.code, 0);
  EXPECT_NE(run.out.find("damaged header"), std::string::npos) << run.out;
}

}  // namespace
