// cab32.dll loaded and called as stub-cab calls it, on cabinets made by
// the kit's own writer, against Wine's cabinet.dll.
#include <gtest/gtest.h>

#include <set>

#include "cab32.h"
#include "cab_entry.h"
#include "io/memory.h"
#include "library_test.h"

namespace {

cab::FileEntry Entry(const std::string& name, const std::string& data) {
  return CabFile(name, data, cab::DosDate(2001, 4, 1), cab::DosTime(10, 20, 30));
}

std::vector<cab::FileEntry> Sample() {
  return {
      Entry("[shell]\\read me.txt", "hello"),
      Entry("[System]\\empty.dll", ""),
      Entry("[System]\\deep\\er\\random.bin", driver::RandomBytes(100000, 1)),
      Entry("[Desktop]\\text.txt", std::string(70000, 't')),
  };
}

class Cab32Test : public LibraryTest {
 protected:
  Cab32Test() : LibraryTest("cab32.dll", "Cab") {}
  void SetUp() override {
    LibraryTest::SetUp();
    ASSERT_TRUE(driver::MakeFolders(root_ + "\\out dir"));
  }

  std::string MakeCabinet(const std::vector<cab::FileEntry>& files, const cab::Options& options = cab::Options()) {
    io::MemorySink sink;
    EXPECT_EQ(cab::Write(files, nullptr, options, sink.sink()), core::Result::kOk);
    std::string path = root_ + "\\test.cab";
    EXPECT_TRUE(driver::WriteFileBytes(path, sink.bytes));
    return path;
  }

  int Extract(const std::string& cabinet, std::string* report = nullptr) {
    return Call("-x \"" + cabinet + "\" \"" + root_ + "\\out dir\\\"", report);
  }

  void ExpectExtracted(const std::vector<cab::FileEntry>& files) {
    for (const cab::FileEntry& file : files) {
      std::string got = driver::ReadFileBytes(root_ + "\\out dir\\" + file.name);
      EXPECT_EQ(got.size(), file.data.size()) << file.name;
      EXPECT_TRUE(got == file.data) << file.name;
    }
  }

  // Everything in root_ but the cabinet and the target folder.
  std::set<std::string> StrayEntries() {
    std::set<std::string> stray = driver::Entries(root_);
    stray.erase("test.cab");
    stray.erase("out dir");
    return stray;
  }
};

TEST_F(Cab32Test, ExtractsMszipStoredAndManyFolderCabinets) {
  cab::Options stored, split;
  stored.compression = cab::Compression::kNone;
  split.maxFolderBytes = 120000;  // two folders
  for (const cab::Options& options : {cab::Options(), stored, split}) {
    driver::RemoveTree(root_ + "\\out dir");
    std::string report;
    ASSERT_EQ(Extract(MakeCabinet(Sample(), options), &report), kCab32Ok) << report;
    ExpectExtracted(Sample());
    EXPECT_EQ(report, "4 files, 170005 bytes extracted");
  }
}

TEST_F(Cab32Test, OverwritesReadOnlyFilesAndKeepsStampsAndAttributes) {
  std::vector<cab::FileEntry> files = {Entry("a.txt", "new")};
  files[0].attributes = cab::kReadOnly | cab::kArchive;
  std::string cabinet = MakeCabinet(files);
  ASSERT_TRUE(driver::WriteFileBytes(root_ + "\\out dir\\a.txt", "old and longer"));
  SetFileAttributesA((root_ + "\\out dir\\a.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  ASSERT_EQ(Extract(cabinet), kCab32Ok);
  ASSERT_EQ(Extract(cabinet), kCab32Ok) << "a second run overwrites its own read-only file";
  EXPECT_EQ(driver::ReadFileBytes(root_ + "\\out dir\\a.txt"), "new");
  WIN32_FILE_ATTRIBUTE_DATA data;
  ASSERT_TRUE(GetFileAttributesExA((root_ + "\\out dir\\a.txt").c_str(), GetFileExInfoStandard, &data));
  EXPECT_TRUE(data.dwFileAttributes & FILE_ATTRIBUTE_READONLY);
  FILETIME local;
  SYSTEMTIME when;
  FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
  FileTimeToSystemTime(&local, &when);
  EXPECT_EQ(when.wYear, 2001);
  EXPECT_EQ(when.wMinute, 20);
  SetFileAttributesA((root_ + "\\out dir\\a.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Cab32Test, ListsWithoutWriting) {
  std::string report;
  ASSERT_EQ(Call("-l \"" + MakeCabinet(Sample()) + "\"", &report), kCab32Ok);
  EXPECT_EQ(report,
            "         5  [shell]\\read me.txt\r\n"
            "         0  [System]\\empty.dll\r\n"
            "    100000  [System]\\deep\\er\\random.bin\r\n"
            "     70000  [Desktop]\\text.txt\r\n"
            "4 files, 170005 bytes");
  EXPECT_FALSE(driver::Exists(root_ + "\\out dir\\[shell]"));
}

TEST_F(Cab32Test, CommandsAndReportsAreChecked) {
  std::string cabinet = MakeCabinet(Sample());
  std::string report;
  EXPECT_EQ(Call("", &report), kCab32BadCommand);
  EXPECT_EQ(Call("-x", &report), kCab32BadCommand);
  EXPECT_EQ(Call("-q \"" + cabinet + "\"", &report), kCab32BadCommand);
  EXPECT_EQ(Call("-x \"" + std::string(300, 'p') + "\"", &report), kCab32BadCommand);
  EXPECT_EQ(entry_(nullptr, nullptr, nullptr, 0), kCab32BadCommand);
  EXPECT_EQ(Call("-x \"" + root_ + "\\missing.cab\" \"" + root_ + "\\out dir\"", &report), kCab32CannotOpen);
  EXPECT_NE(report.find("cannot open"), std::string::npos) << report;

  // A short buffer gets the report's start, ended by a NUL.
  char small[8];
  memset(small, 'z', sizeof small);
  EXPECT_EQ(entry_(nullptr, ("-l \"" + cabinet + "\"").c_str(), small, sizeof small), kCab32Ok);
  EXPECT_EQ(std::string(small), "       ");
  char untouched = 'u';
  EXPECT_EQ(entry_(nullptr, ("-l \"" + cabinet + "\"").c_str(), &untouched, 0), kCab32Ok);
  EXPECT_EQ(untouched, 'u');
  // Unquoted arguments and a folder without its closing separator.
  const std::string plain = "C:\\cab32_plain";
  RemoveAtEnd(plain);
  ASSERT_TRUE(driver::MakeFolders(plain));
  ASSERT_TRUE(CopyFileA(cabinet.c_str(), (plain + "\\t.cab").c_str(), FALSE));
  EXPECT_EQ(Call("-X " + plain + "\\t.cab " + plain + "\\out", &report), kCab32Ok) << report;
  EXPECT_TRUE(driver::Exists(plain + "\\out\\[shell]\\read me.txt"));
}

TEST_F(Cab32Test, NamesThatLeaveTheFolderAreRefusedAndAbsoluteOnesLandInside) {
  const char* hostile[] = {
      "..\\up.txt", "a\\..\\..\\up2.txt", "a\\..", "C:\\..\\up4.txt", "x\\... \\up3.txt", "CON",     "sub\\nul.txt",
      "com1.log",   "Lpt9",               "aux .txt",         "CLOCK$",            "file.txt:stream",
  };
  std::vector<cab::FileEntry> files = {Entry("good\\kept.txt", "kept")};
  for (const char* name : hostile) files.push_back(Entry(name, "bad"));
  files.push_back(Entry("also kept.txt", "kept too"));
  // Empty parts are passed over: these land below the folder.
  files.push_back(Entry("x\\\\double.txt", "double"));
  files.push_back(Entry("tail\\", "tail"));
  // So do absolute names, as they would below the root.
  for (const char* name : {"\\rooted.txt", "/rooted2.txt", "C:\\drive.txt", "C:drive2.txt"})
    files.push_back(Entry(name, "rooted"));
  std::string report;
  EXPECT_EQ(Extract(MakeCabinet(files), &report), kCab32Refused);
  EXPECT_EQ(driver::ReadFileBytes(root_ + "\\out dir\\good\\kept.txt"), "kept");
  EXPECT_EQ(driver::ReadFileBytes(root_ + "\\out dir\\also kept.txt"), "kept too");
  EXPECT_EQ(driver::ReadFileBytes(root_ + "\\out dir\\x\\double.txt"), "double");
  EXPECT_EQ(driver::ReadFileBytes(root_ + "\\out dir\\tail"), "tail");
  for (const char* name : {"rooted.txt", "rooted2.txt", "drive.txt", "drive2.txt"})
    EXPECT_EQ(driver::ReadFileBytes(root_ + "\\out dir\\" + name), "rooted") << name;
  for (const char* name : hostile) EXPECT_NE(report.find(std::string("refused: ") + name + "\r\n"), std::string::npos) << name;
  EXPECT_EQ(StrayEntries(), std::set<std::string>());
  EXPECT_FALSE(driver::Exists("C:\\rooted.txt"));
  EXPECT_FALSE(driver::Exists("C:\\drive.txt"));
  EXPECT_FALSE(driver::Exists(driver::ParentOf(root_) + "\\up.txt"));
  EXPECT_FALSE(driver::Exists(driver::ParentOf(root_) + "\\up2.txt"));
}

TEST_F(Cab32Test, DamagedCabinetsEndWithAnErrorAndStayInside) {
  io::MemorySink sink;
  ASSERT_EQ(cab::Write(Sample(), nullptr, cab::Options(), sink.sink()), core::Result::kOk);
  const std::string good = sink.bytes;
  std::vector<std::string> damaged = {"", "MSCF", "not a cabinet at all, just text"};
  for (size_t cut : {20u, 36u, 60u, 150u, 400u, 5000u, 60000u})
    if (cut < good.size()) damaged.push_back(good.substr(0, cut));
  damaged.push_back(good.substr(0, good.size() - 1));
  // The signature, the version, and data blocks, whose checksums catch
  // the flip. (Sizes in the tables have no checksum of their own.)
  for (size_t at : {0u, 3u, 25u, 200u, 300u, 1000u, 40000u, good.size() - 2}) {
    std::string flipped = good;
    flipped[at] ^= 0x55;
    damaged.push_back(flipped);
  }
  std::string path = root_ + "\\test.cab";
  for (size_t i = 0; i < damaged.size(); ++i) {
    ASSERT_TRUE(driver::WriteFileBytes(path, damaged[i]));
    std::string report;
    int result = Extract(path, &report);
    EXPECT_NE(result, kCab32Ok) << "case " << i << ": " << report;
    EXPECT_EQ(StrayEntries(), std::set<std::string>()) << "case " << i;
    // What was taken is whole: no piece of a file that did not decode.
    for (const cab::FileEntry& entry : Sample()) {
      std::string path = root_ + "\\out dir\\" + entry.name;
      if (driver::Exists(path)) {
        EXPECT_TRUE(driver::ReadFileBytes(path) == entry.data) << "case " << i << ": " << path;
      }
    }
    driver::RemoveTree(root_ + "\\out dir");
    driver::MakeFolders(root_ + "\\out dir");
  }
}

}  // namespace
