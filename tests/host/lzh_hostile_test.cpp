// Hostile and damaged archives: refused names never reach the file
// system, damaged data is an error and never a crash or a hang.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "lzh/command.h"
#include "lzh/crc16.h"
#include "lzh_entry.h"
#include "lzh_test_util.h"

namespace {

using namespace lzhtest;
using lzh::Result;

Bytes StoredEntry(const std::string& name, const std::string& data) {
  std::string entry = lzhentry::Stored(name, data);
  return Bytes(entry.begin(), entry.end());
}

// Everything the command layer asks of the file system, in memory.
struct MemoryFs {
  Bytes archive;
  size_t at = 0;
  std::set<std::string> folders;
  std::map<std::string, std::string> files;
  std::vector<std::string> touched;  // every path handed over
  std::string writing;

  static size_t Read(void* c, uint8_t* buffer, size_t size) {
    auto* m = static_cast<MemoryFs*>(c);
    size_t n = std::min(size, m->archive.size() - m->at);
    memcpy(buffer, m->archive.data() + m->at, n);
    m->at += n;
    return n;
  }
  static bool Open(void* c, const char*, lzh::Source* s) {
    static_cast<MemoryFs*>(c)->at = 0;
    *s = lzh::Source{c, Read, nullptr};
    return true;
  }
  static void Close(void*, lzh::Source*) {}
  static bool MakeFolder(void* c, const char* path) {
    auto* m = static_cast<MemoryFs*>(c);
    m->touched.push_back(path);
    m->folders.insert(path);
    return true;
  }
  static bool Write(void* c, const uint8_t* data, size_t size) {
    auto* m = static_cast<MemoryFs*>(c);
    m->files[m->writing].append(reinterpret_cast<const char*>(data), size);
    return true;
  }
  static bool Create(void* c, const char* path, lzh::Sink* sink) {
    auto* m = static_cast<MemoryFs*>(c);
    m->touched.push_back(path);
    m->writing = path;
    m->files[path].clear();
    *sink = lzh::Sink{c, Write};
    return true;
  }
  static bool CloseFile(void* c, lzh::Sink*, bool keep, const lzh::EntryTime&) {
    auto* m = static_cast<MemoryFs*>(c);
    if (!keep) m->files.erase(m->writing);
    return true;
  }

  int Run(const std::string& command, std::string* report) {
    lzh::FileSystem fs{this, '/', Open, Close, MakeFolder, Create, CloseFile};
    lzh::Allocator allocator{nullptr, [](void*, size_t n) { return malloc(n); }, [](void*, void* p) { free(p); }};
    char text[8192];
    int code = lzh::RunCommand(command.c_str(), fs, allocator, text, sizeof text);
    *report = text;
    return code;
  }
};

TEST(LzhHostile, UnsafeNamesAreRefusedAndTheRestExtracted) {
  const char* const kHostile[] = {
      "..\\evil.txt",         // climbs out
      "/../evil.txt",         // climbs out after the root
      "C:\\..\\evil.txt",     // climbs out after a drive
      "a/../../evil.txt",     // climbs out after going in
      "a\\..",                // ends one level up: the folder itself
      "CON",                  // device
      "nul.txt",              // device with an extension
      "sub/Lpt1.log",         // device inside a folder
      "aux .txt",             // device with trailing space before the dot
      "\xE9\\..\\x",          // a lead byte cannot hide a separator before ".."
  };
  MemoryFs m;
  m.archive = StoredEntry("ok.txt", "fine");
  for (const char* name : kHostile) {
    Bytes e = StoredEntry(name, "bad");
    m.archive.insert(m.archive.end(), e.begin(), e.end());
  }
  // Absolute names land below the target as they would below the root.
  for (const char* name : {"/etc/passwd", "\\windows\\win.ini", "C:autoexec.bat"}) {
    Bytes e = StoredEntry(name, "rooted");
    m.archive.insert(m.archive.end(), e.begin(), e.end());
  }
  Bytes last = StoredEntry("dir\\after.txt", "also fine");
  m.archive.insert(m.archive.end(), last.begin(), last.end());
  m.archive.push_back(0);

  std::string report;
  EXPECT_EQ(m.Run("x \"in.lzh\" \"/target/\"", &report), static_cast<int>(Result::kUnsafeName));
  EXPECT_EQ(m.files, (std::map<std::string, std::string>{{"/target/ok.txt", "fine"},
                                                        {"/target/etc/passwd", "rooted"},
                                                        {"/target/windows/win.ini", "rooted"},
                                                        {"/target/autoexec.bat", "rooted"},
                                                        {"/target/dir/after.txt", "also fine"}}));
  for (const std::string& path : m.touched) {
    EXPECT_EQ(path.rfind("/target", 0), 0u) << path;
    EXPECT_EQ(path.find(".."), std::string::npos) << path;
  }
  for (const char* name : kHostile) {
    std::string shown = name;
    for (char& c : shown) if (c == '\\') c = '/';
    std::string tail = shown.substr(shown.size() > 4 ? shown.size() - 4 : 0);
    EXPECT_NE(report.find(tail + ": unsafe name refused"), std::string::npos) << name << "\n" << report;
  }
  EXPECT_NE(report.find("5 files, 0 folders, 10 failed"), std::string::npos) << report;
}

TEST(LzhHostile, UnsafeNamesAreRefusedAtEveryHeaderLevel) {
  const struct {
    const char* folder;
    const char* name;
  } kUnsafe[] = {
      {"..", "start.txt"},      // the folder above, at the start
      {"a/../..", "mid.txt"},   // in the middle
      {"a", ".."},              // at the end
      {"", "CON"},              // a device
      {"sub", "nul.txt"},       // a device with an extension
      {"/..", "rooted.txt"},    // the folder above, after the root
  };
  for (int level : {0, 1, 2}) {
    SCOPED_TRACE(level);
    std::string archive;
    for (const auto& u : kUnsafe) archive += lzhentry::AtLevel(level, u.folder, u.name, "bad");
    archive += lzhentry::AtLevel(level, "/in", "ok.txt", "fine") + '\0';
    MemoryFs m;
    m.archive.assign(archive.begin(), archive.end());
    std::string report;
    EXPECT_EQ(m.Run("x in.lzh /target/", &report), static_cast<int>(Result::kUnsafeName));
    EXPECT_EQ(m.files, (std::map<std::string, std::string>{{"/target/in/ok.txt", "fine"}})) << report;
    EXPECT_NE(report.find("1 files, 0 folders, 6 failed"), std::string::npos) << report;
  }
}

TEST(LzhHostile, CorpusAttacksLeaveNothingOutsideTheFolder) {
  for (const char* name : {"regression/dotdot.lzh", "regression/badterm.lzh", "regression/symlink1.lzh"}) {
    std::string archive = kCorpus + "/" + name;
    REQUIRE_CORPUS(archive);
    TempDir parent;
    ToolRun run = Lzhdec("x", archive, parent / "out");
    EXPECT_NE(run.code, 0) << name;
    EXPECT_EQ(std::distance(fs::directory_iterator(parent.path()), fs::directory_iterator()), 1) << name;
    EXPECT_EQ(run.out.find('\x1b'), std::string::npos) << "escape sequence reached the report";
  }
}

TEST(LzhHostile, CorpusAbsoluteNamesLandBelowTheFolder) {
  const struct {
    const char* archive;
    const char* lands;
  } cases[] = {{"regression/abspath.lzh", "tmp/absolute_path.txt"},
               {"maclha_224/l2_full_subdir.lzh", "Untitled/subdir/subdir2/hello.txt"}};
  for (const auto& c : cases) {
    std::string archive = kCorpus + "/" + c.archive;
    REQUIRE_CORPUS(archive);
    TempDir parent;
    ToolRun run = Lzhdec("x", archive, parent / "out");
    EXPECT_EQ(run.code, 0) << c.archive << run.out;
    EXPECT_TRUE(fs::is_regular_file(parent / (std::string("out/") + c.lands))) << c.archive;
    EXPECT_EQ(std::distance(fs::directory_iterator(parent.path()), fs::directory_iterator()), 1) << c.archive;
  }
}

const std::string kFirstSmall = kCorpus + "/lha_unix114i/h1_lh5.lzh";
const std::string kSecondSmall = kCorpus + "/lha_unix114i/h2_lh7.lzh";

// The two small archives as one, the first's end mark left out.
Bytes SmallArchive() {
  Bytes a = ReadAll(kFirstSmall);
  Bytes b = ReadAll(kSecondSmall);
  if (!a.empty()) a.pop_back();  // end mark
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(LzhHostile, TruncatedAtEveryOffsetFails) {
  REQUIRE_CORPUS(kFirstSmall);
  REQUIRE_CORPUS(kSecondSmall);
  Bytes whole = SmallArchive();
  ASSERT_GE(whole.size(), 100u);
  MemoryFs m;
  std::string report;
  m.archive = whole;
  ASSERT_EQ(m.Run("t in.lzh", &report), 0) << report;
  size_t firstEnd = ReadAll(kFirstSmall).size() - 1;
  for (size_t cut = 0; cut + 1 < whole.size(); ++cut) {
    m.archive.assign(whole.begin(), whole.begin() + static_cast<long>(cut));
    int code = m.Run("t in.lzh", &report);
    // Without its end mark an archive may stop after any whole entry.
    if (cut == firstEnd) EXPECT_EQ(code, 0) << report;
    else EXPECT_NE(code, 0) << "cut at " << cut;
  }
}

TEST(LzhHostile, FlippedBitsNeverCrashNorPassAsIntact) {
  for (const char* name : {"lha_unix114i/h2_lh5.lzh", "lha_unix114i/h2_lh6.lzh", "lha_unix114i/h1_lh7.lzh",
                           "lha_os2_208/lh1.lzh", "larc333/lz5.lzs", "lha_os2_208/h3_lh5.lzh"}) {
    REQUIRE_CORPUS(kCorpus + "/" + name);
    Bytes whole = ReadAll(kCorpus + "/" + name);
    ASSERT_FALSE(whole.empty()) << name;
    std::mt19937 random(1234);
    MemoryFs m;
    std::string report;
    m.archive = whole;
    ASSERT_EQ(m.Run("x in.lzh /t", &report), 0) << report;
    const auto intact = m.files;
    for (int round = 0; round < 300; ++round) {
      m.archive = whole;
      size_t at = random() % whole.size();
      m.archive[at] ^= static_cast<uint8_t>(1u << (random() % 8));
      int code = m.Run("x in.lzh /t", &report);
      // Success only with bytes whose CRC is the packed one: some bits are
      // redundant (a match into a run of equal bytes), and a CRC-16 lets
      // about one change in 65536 through; every other change is caught.
      if (code == 0) {
        ASSERT_EQ(m.files.size(), intact.size());
        for (auto& [path, bytes] : m.files) {
          const std::string& want = intact.at(path);
          EXPECT_EQ(lzh::Crc16(0, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()),
                    lzh::Crc16(0, reinterpret_cast<const uint8_t*>(want.data()), want.size()))
              << name << " at " << at;
        }
      }
      m.files.clear();
    }
  }
}

TEST(LzhHostile, BadCommandsAreRefused) {
  MemoryFs m;
  m.archive = StoredEntry("a", "b");
  std::string report;
  for (const char* command : {"", "q a.lzh", "x", "l a b", "x \"unterminated", "xx a.lzh"})
    EXPECT_EQ(m.Run(command, &report), static_cast<int>(Result::kBadCommand)) << command;
  EXPECT_NE(report.find("usage"), std::string::npos);
  m.archive.clear();
  EXPECT_EQ(m.Run("t empty.lzh", &report), static_cast<int>(Result::kTruncated)) << report;
}

// The target folder as given: trailing separators go, but not the second
// byte of a code page 932 character, and the root stays a single separator.
TEST(LzhHostile, TargetFolderKeepsItsLastDoubleByteCharacter) {
  MemoryFs m;
  m.archive = StoredEntry("d/f.txt", "abc");
  std::string report;
  // \x95\x5C is one character whose second byte is a backslash.
  const std::pair<std::string, std::string> cases[] = {
      {"x a \"C:\\w\x95\\\\\"", "C:\\w\x95\\/d/f.txt"},
      {"x a \"C:\\w\x95\\\"", "C:\\w\x95\\/d/f.txt"},
      {"x a \"out//\"", "out/d/f.txt"},
      {"x a \"\\\\\"", "/d/f.txt"},
      {"x a /", "/d/f.txt"},
  };
  for (const auto& [command, file] : cases) {
    m.files.clear();
    ASSERT_EQ(m.Run(command, &report), 0) << command << "\n" << report;
    ASSERT_EQ(m.files.size(), 1u);
    EXPECT_EQ(m.files.begin()->first, file) << command;
  }
}

TEST(LzhHostile, ReportIsCutToItsBuffer) {
  MemoryFs m;
  for (int i = 0; i < 50; ++i) {
    Bytes e = StoredEntry("file" + std::to_string(i) + ".txt", "x");
    m.archive.insert(m.archive.end(), e.begin(), e.end());
  }
  lzh::FileSystem fs{&m, '/', MemoryFs::Open, MemoryFs::Close, MemoryFs::MakeFolder, MemoryFs::Create,
                     MemoryFs::CloseFile};
  lzh::Allocator allocator{nullptr, [](void*, size_t n) { return malloc(n); }, [](void*, void* p) { free(p); }};
  char text[40];
  memset(text, '#', sizeof text);
  EXPECT_EQ(lzh::RunCommand("l a", fs, allocator, text, 32), 0);
  EXPECT_EQ(strlen(text), 31u);
  EXPECT_EQ(text[32], '#');
}

TEST(LzhCrc, KnownValue) {
  const char* text = "123456789";
  EXPECT_EQ(lzh::Crc16(0, reinterpret_cast<const uint8_t*>(text), 9), 0xBB3D);
}

}  // namespace
