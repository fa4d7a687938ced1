// What sfxbuild packs, unpacked by other people's tools: lhasa, jlha and
// 7-Zip for LZH, cabextract for cabinets. Byte-for-byte equal trees, with
// names in code page 932 as the stubs read them; and `sfxbuild list` on
// the same files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>
#include <string>

#include "tool_run.h"

namespace {

namespace fs = std::filesystem;

constexpr size_t kStubSize = 512;
const char kJapaneseUtf8[] = "\xE8\xAA\xAC\xE6\x98\x8E.txt";  // "説明.txt"
const char kJapaneseCp932[] = "\x90\xE0\x96\xBE.txt";

using Tree = std::map<std::string, std::string>;  // relative path with '/' -> content

// Every file below `root`, names as the bytes on disk.
Tree Snapshot(const std::string& root) {
  Tree tree;
  if (!fs::is_directory(root)) return tree;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file()) tree[fs::relative(entry.path(), root).string()] = ReadText(entry.path().string());
  return tree;
}

// Names only, for a readable failure; contents compared separately.
std::string Names(const Tree& tree) {
  std::string names;
  for (const auto& file : tree) names += file.first + " (" + std::to_string(file.second.size()) + ")\n";
  return names;
}

class SfxbuildRoundTripTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir;
    ASSERT_FALSE(dir_->path().empty());
    WriteText(Path("stub.exe"), std::string(kStubSize, 'S'));
    expected_ = new Tree;
    utf8_ = new Tree;
    std::mt19937 random(20261207);
    auto bytes = [&](size_t size) {
      std::string content(size, '\0');
      // Runs and noise, so every method has matches to find and literals
      // to code.
      for (size_t i = 0; i < size;) {
        size_t run = random() % 64 + 1;
        char c = static_cast<char>(random());
        bool repeat = random() % 2 == 0;
        for (; run != 0 && i < size; --run) content[i++] = repeat ? c : static_cast<char>(random());
      }
      return content;
    };
    auto put = [&](const std::string& onDisk, const std::string& stored, const std::string& content) {
      WriteText(Path("app/" + onDisk), content);
      (*expected_)[stored] = content;
      (*utf8_)[onDisk] = content;
    };
    auto plain = [&](const std::string& name, const std::string& content) { put(name, name, content); };
    plain("[Desktop]/empty.txt", "");
    plain("[Programs]/Demo/empty too", "");
    plain("[Desktop]/one.bin", bytes(1));
    plain("[Environment]/APPDIR/edges/below.bin", bytes(65535));
    plain("[Environment]/APPDIR/edges/exact.bin", bytes(65536));
    plain("[Environment]/APPDIR/edges/above.bin", bytes(65537));
    plain("[Environment]/APPDIR/big.dat", bytes(50u << 20));  // 50 MB
    put(std::string("[Desktop]/") + kJapaneseUtf8, std::string("[Desktop]/") + kJapaneseCp932, "read me");
    for (int i = 0; i < 12; ++i) {
      std::string folder = "[Application]";
      for (unsigned depth = random() % 5; depth != 0; --depth) folder += "/d" + std::to_string(random() % 3);
      plain(folder + "/f" + std::to_string(i) + ".bin", bytes(random() % 3000));
    }
  }
  static void TearDownTestSuite() {
    delete dir_;
    delete expected_;
    delete utf8_;
  }

  static std::string Path(const std::string& name) { return *dir_ / name; }

  // Packs app/ and cuts the archive out from behind stub and block.
  static void Pack(const std::string& arguments, const std::string& archive) {
    ToolRun pack = RunSfxbuild("pack --stub '" + Path("stub.exe") + "' --from '" + Path("app") + "' " + arguments +
                               " -o '" + Path("out.exe") + "'");
    ASSERT_EQ(pack.code, 0) << pack.out;
    std::string built = ReadText(Path("out.exe"));
    ASSERT_GT(built.size(), kStubSize + 256);
    WriteText(Path(archive), built.substr(kStubSize + 256));
  }

  // Runs `command` in a fresh folder and compares what it left there.
  static void Unpack(const std::string& what, const std::string& command, const Tree& expected) {
    std::string out = Path("out-" + what);
    fs::remove_all(out);
    fs::create_directory(out);
    ToolRun run = Sh("cd '" + out + "' && " + command + " </dev/null");
    EXPECT_EQ(run.code, 0) << what << ": " << run.out;
    Tree got = Snapshot(out);
    ASSERT_EQ(Names(got), Names(expected)) << what;
    for (const auto& file : expected) EXPECT_TRUE(got[file.first] == file.second) << what << ": " << file.first;
    fs::remove_all(out);
  }

  static void ExpectListed(const std::string& method, const std::string& summary) {
    ToolRun list = RunSfxbuild("list '" + Path("out.exe") + "'");
    ASSERT_EQ(list.code, 0) << list.out;
    for (const auto& file : *expected_) {
      std::string name = file.first;
      for (char& c : name)
        if (c == '/') c = '\\';
      // The size right-aligned before the name, the method before that.
      std::string line = std::to_string(file.second.size()) + "  " + name + "\n";
      size_t at = list.out.find(line);
      EXPECT_NE(at, std::string::npos) << line << list.out;
      if (at != std::string::npos && !method.empty()) {
        size_t start = list.out.rfind('\n', at);
        start = start == std::string::npos ? 0 : start + 1;
        std::string used = list.out.substr(start, method.size());
        // Files that do not shrink are stored; the big one always shrinks.
        if (file.second.size() > 1000000) EXPECT_EQ(used, method) << line;
        else EXPECT_TRUE(used == method || used == "-lh0-") << line << used;
      }
    }
    EXPECT_NE(list.out.find(std::to_string(expected_->size()) + " files, "), std::string::npos) << list.out;
    EXPECT_NE(list.out.find(" bytes in " + summary + "\n"), std::string::npos) << list.out;
    EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'),
              static_cast<long>(expected_->size() + 1 + (method.empty() ? 0 : FolderCount())))
        << list.out;
  }

  // Folder entries an LZH archive holds for the tree: one per folder.
  static long FolderCount() {
    std::map<std::string, bool> folders;
    for (const auto& file : *expected_)
      for (size_t slash = file.first.find('/'); slash != std::string::npos; slash = file.first.find('/', slash + 1))
        folders[file.first.substr(0, slash)] = true;
    return static_cast<long>(folders.size());
  }

  static TempDir* dir_;
  static Tree* expected_;  // names in code page 932
  static Tree* utf8_;      // the same files, names as written on disk
};

TempDir* SfxbuildRoundTripTest::dir_;
Tree* SfxbuildRoundTripTest::expected_;
Tree* SfxbuildRoundTripTest::utf8_;

TEST_F(SfxbuildRoundTripTest, LzhUnpacksAlikeInLhasaJlhaAnd7Zip) {
  REQUIRE_TOOL("lhasa");
  REQUIRE_TOOL("jlha");
  REQUIRE_TOOL("7zz");
  for (const char* method : {"lh5", "lh6", "lh7"}) {
    SCOPED_TRACE(method);
    Pack(std::string("--format lzh --method ") + method, "a.lzh");
    ExpectListed(std::string("-") + method + "-", "an LZH archive");
    std::string archive = "'" + Path("a.lzh") + "'";
    // lhasa and 7-Zip write names as the archive's bytes.
    Unpack(std::string("lhasa-") + method, "lhasa -xq " + archive, *expected_);
    Unpack(std::string("7zz-") + method, "7zz x -y " + archive + " >/dev/null", *expected_);
    // jlha has no switch that keeps names as bytes: plain `x` widens each
    // byte on its own (Latin-1) and writes UTF-8; `y` decodes code page 932,
    // which gives back the name as it was written on disk. Its lh5 decoder
    // is left out: it drops the last 50 bytes of one 1,412-byte file here,
    // and does the same to an lh5 archive jlha made itself of that file
    // (which lhasa unpacks whole).
    if (std::string(method) != "lh5") Unpack(std::string("jlha-") + method, "jlha xy " + archive + " >/dev/null", *utf8_);
  }
}

TEST_F(SfxbuildRoundTripTest, CabinetUnpacksAlikeInCabextract) {
  Pack("--format cab", "a.cab");
  ExpectListed("", "a cabinet");
  REQUIRE_TOOL("cabextract");
  Unpack("cabextract", "cabextract -q '" + Path("a.cab") + "'", *expected_);
  ToolRun test = Sh("cabextract -t '" + Path("a.cab") + "'");
  EXPECT_EQ(test.code, 0) << test.out;
}

TEST_F(SfxbuildRoundTripTest, ListFindsTheCabinetInsideTheInnerProgram) {
  WriteText(Path("innersfx.exe"), std::string(1536, 'I'));
  Pack("--format exe --inner '" + Path("innersfx.exe") + "'", "inner.exe");
  ExpectListed("", "a cabinet inside the inner program");
  // The cabinet inside is one cabextract reads too.
  std::string inner = ReadText(Path("inner.exe"));
  WriteText(Path("inner.cab"), inner.substr(1536, inner.size() - 1536 - 16));
  REQUIRE_TOOL("cabextract");
  Unpack("inner-cabextract", "cabextract -q '" + Path("inner.cab") + "'", *expected_);
}

TEST_F(SfxbuildRoundTripTest, ListRefusesDamagedFilesWithoutListing) {
  WriteText(Path("small/[Desktop]/a.txt"), "hello");
  for (const char* format : {"lzh", "cab"}) {
    SCOPED_TRACE(format);
    ToolRun pack = RunSfxbuild(std::string("pack --format ") + format + " --stub '" + Path("stub.exe") + "' --from '" +
                               Path("small") + "' -o '" + Path("small.exe") + "'");
    ASSERT_EQ(pack.code, 0) << pack.out;
    std::string built = ReadText(Path("small.exe"));
    ASSERT_EQ(RunSfxbuild("list '" + Path("small.exe") + "'").code, 0);

    // One byte changed in the archive, the block, the last byte the sums
    // cover (a tail shorter than a row is outside them); and a cut.
    size_t archiveSize = built.size() - kStubSize - 256;
    size_t lastCovered = kStubSize + 256 + archiveSize / 16 * 16 - 1;
    for (size_t at : {kStubSize + 256 + 30, kStubSize + 10, lastCovered}) {
      std::string damaged = built;
      damaged[at] = static_cast<char>(damaged[at] ^ 0x20);
      WriteText(Path("damaged.exe"), damaged);
      ToolRun list = RunSfxbuild("list '" + Path("damaged.exe") + "'");
      EXPECT_NE(list.code, 0) << at;
      EXPECT_NE(list.out.find("sfxbuild: error: "), std::string::npos) << at << list.out;
      EXPECT_EQ(list.out.find("a.txt"), std::string::npos) << at << list.out;
    }
    WriteText(Path("damaged.exe"), built.substr(0, built.size() - 3));
    ToolRun cut = RunSfxbuild("list '" + Path("damaged.exe") + "'");
    EXPECT_NE(cut.code, 0);
    EXPECT_NE(cut.out.find("sfxbuild: error: "), std::string::npos) << cut.out;
    EXPECT_EQ(cut.out.find("a.txt"), std::string::npos) << cut.out;
  }
  WriteText(Path("plain.exe"), std::string(4096, 'P'));
  ToolRun plain = RunSfxbuild("list '" + Path("plain.exe") + "'");
  EXPECT_EQ(plain.code, 1);
  EXPECT_NE(plain.out.find("no payload block"), std::string::npos) << plain.out;
  EXPECT_EQ(RunSfxbuild("list").code, 2);
}

}  // namespace
