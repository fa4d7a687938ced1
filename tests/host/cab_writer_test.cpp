// Cabinets written by core/cab, read back by two independent readers
// (cabextract, which also checks every block's checksum, and gcab).
#include <gtest/gtest.h>

#include <stdio.h>

#include <random>
#include <string>
#include <vector>

#include "cab_entry.h"
#include "io/memory.h"
#include "tool_run.h"

namespace {

std::string RandomBytes(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

std::string Compressible(size_t size) {
  std::string text;
  for (int line = 0; text.size() < size; ++line) text += "line " + std::to_string(line % 97) + " of a sample text\n";
  return text.substr(0, size);
}

cab::FileEntry Entry(const std::string& name, const std::string& data) {
  return CabFile(name, data, cab::DosDate(2024, 2, 29), cab::DosTime(13, 45, 58));
}

// Shift-JIS "日本語.txt", kept as raw bytes.
const std::string kShiftJisName = "\x93\xfa\x96\x7b\x8c\xea.txt";

std::vector<cab::FileEntry> SampleTree() {
  return {
      Entry("[System]\\empty.dll", ""),
      Entry("[System]\\one.dll", "1"),
      Entry("[System]\\below.bin", RandomBytes(32767, 1)),
      Entry("[System]\\block.bin", RandomBytes(32768, 2)),
      Entry("[System]\\above.bin", RandomBytes(32769, 3)),
      Entry("[Programs]\\App\\deep\\er\\random.bin", RandomBytes(1 << 20, 4)),
      Entry("[Programs]\\App\\text.txt", Compressible(1 << 20)),
      Entry("[Desktop]\\" + kShiftJisName, "shift-jis named"),
  };
}

class CabWriterTest : public ScratchDirTest {
 protected:
  std::string WriteCabinet(const std::vector<cab::FileEntry>& files, const cab::Options& options,
                           const cab::Opener* opener = nullptr) {
    io::MemorySink sink;
    std::string error;
    EXPECT_EQ(cab::Write(files, opener, options, sink.sink(), &error), core::Result::kOk) << error;
    return Write("test.cab", sink.bytes);
  }

  // Every file comes out of `folder` with its bytes; '\\' became '/'.
  void ExpectExtracted(const std::vector<cab::FileEntry>& files, const std::string& folder) {
    for (const cab::FileEntry& file : files) {
      std::string name = file.name;
      for (char& c : name)
        if (c == '\\') c = '/';
      std::string got = ReadText(folder + "/" + name);
      EXPECT_EQ(got.size(), file.data.size()) << file.name;
      EXPECT_TRUE(got == file.data) << file.name;
    }
  }

  void RoundTrip(const std::vector<cab::FileEntry>& files, const cab::Options& options) {
    REQUIRE_TOOL("cabextract");
    REQUIRE_TOOL("gcab");
    std::string cabinet = WriteCabinet(files, options);
    ToolRun cabextract = Sh("cabextract -q -d '" + dir_ + "/cabextract' '" + cabinet + "'");
    ASSERT_EQ(cabextract.code, 0) << cabextract.out;
    ExpectExtracted(files, dir_ + "/cabextract");
    ToolRun gcab = Sh("mkdir '" + dir_ + "/gcab' && cd '" + dir_ + "/gcab' && gcab -x '" + cabinet + "'");
    ASSERT_EQ(gcab.code, 0) << gcab.out;
    ExpectExtracted(files, dir_ + "/gcab");
  }

};

TEST_F(CabWriterTest, MszipTreeRoundTrips) { RoundTrip(SampleTree(), cab::Options()); }

TEST_F(CabWriterTest, StoredTreeRoundTrips) {
  cab::Options options;
  options.compression = cab::Compression::kNone;
  RoundTrip(SampleTree(), options);
}

TEST_F(CabWriterTest, SmallFolderLimitSplitsIntoSeveralFolders) {
  cab::Options options;
  options.maxFolderBytes = 70000;
  std::vector<cab::FileEntry> files = SampleTree();
  files.erase(files.begin() + 5, files.begin() + 7);  // nothing above the limit
  std::string cabinet = WriteCabinet(files, options);
  std::string bytes = ReadText(cabinet);
  ASSERT_GE(bytes.size(), 36u);
  // empty, one, below, block | above, Shift-JIS: two folders.
  EXPECT_EQ(static_cast<uint8_t>(bytes[26]) | static_cast<uint8_t>(bytes[27]) << 8, 2);
  RoundTrip(files, options);
}

TEST_F(CabWriterTest, DatesTimesAndSizesReachTheReader) {
  std::vector<cab::FileEntry> files = {Entry("a.txt", "abc")};
  files[0].attributes = cab::kArchive | cab::kReadOnly;
  std::string cabinet = WriteCabinet(files, cab::Options());
  std::string bytes = ReadText(cabinet);
  EXPECT_EQ(bytes.substr(0, 4), "MSCF");
  uint32_t declared = 0;
  for (int i = 3; i >= 0; --i) declared = declared << 8 | static_cast<uint8_t>(bytes[8 + i]);
  EXPECT_EQ(declared, bytes.size());
  REQUIRE_TOOL("cabextract");
  std::string text = Sh("cabextract -l '" + cabinet + "'").out;
  EXPECT_NE(text.find("3 | 29.02.2024 13:45:58 | a.txt"), std::string::npos) << text;
}

TEST_F(CabWriterTest, NoFilesMakeAValidEmptyCabinet) {
  io::MemorySink sink;
  ASSERT_EQ(cab::Write({}, nullptr, cab::Options(), sink.sink()), core::Result::kOk);
  EXPECT_EQ(sink.bytes.size(), 36u);
  EXPECT_EQ(sink.bytes.substr(0, 4), "MSCF");
}

TEST_F(CabWriterTest, UnwritableEntriesAreRefusedBeforeAnyByte) {
  struct Case {
    std::vector<cab::FileEntry> files;
    cab::Options options;
    core::Result result;
    const char* message;
  };
  cab::Options tiny;
  tiny.maxFolderBytes = 10;
  cab::Options noLimit;
  noLimit.maxFolderBytes = 0;
  std::vector<Case> cases = {
      {{Entry("", "x")}, cab::Options(), core::Result::kUnsafeName, "unusable name"},
      {{Entry(std::string(256, 'n'), "x")}, cab::Options(), core::Result::kUnsafeName, "unusable name"},
      {{Entry(std::string("a\0b", 3), "x")}, cab::Options(), core::Result::kUnsafeName, "unusable name"},
      {{Entry("big", std::string(11, 'b'))}, tiny, core::Result::kTooLarge, "too large"},
      {std::vector<cab::FileEntry>(65536, Entry("f", "")), cab::Options(), core::Result::kTooLarge,
       "more than 65535 files"},
      {{Entry("a", "x")}, noLimit, core::Result::kBadCommand, "folder size limit"},
  };
  cab::FileEntry mismatch = Entry("m", "abc");
  mismatch.size = 4;
  cases.push_back({{mismatch}, cab::Options(), core::Result::kSizeChanged, "size and data differ"});
  for (const Case& c : cases) {
    io::MemorySink sink;
    std::string error;
    EXPECT_EQ(cab::Write(c.files, nullptr, c.options, sink.sink(), &error), c.result) << c.message;
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
    EXPECT_EQ(sink.bytes.size(), 0u);
  }
  // The longest name fits.
  io::MemorySink sink;
  EXPECT_EQ(cab::Write({Entry(std::string(255, 'n'), "x")}, nullptr, cab::Options(), sink.sink()), core::Result::kOk);
}

TEST_F(CabWriterTest, SinkThatCannotRewriteIsRefusedBeforeAnyByte) {
  io::MemorySink memory;
  io::Sink appendOnly = memory.sink();
  appendOnly.rewrite = nullptr;
  std::string error;
  EXPECT_EQ(cab::Write({Entry("a", "x")}, nullptr, cab::Options(), appendOnly, &error), core::Result::kBadCommand);
  EXPECT_NE(error.find("rewrite"), std::string::npos) << error;
  EXPECT_EQ(memory.bytes.size(), 0u);
}

// Opens every file's content from one file on disk, as sfxbuild opens the
// files of a folder; counts what is open.
struct DiskOpener {
  std::string path;
  int open = 0;
  static size_t Read(void* context, uint8_t* buffer, size_t size) {
    FILE* file = static_cast<FILE*>(context);
    size_t got = fread(buffer, 1, size, file);
    return got == 0 && ferror(file) ? io::Source::kError : got;
  }
  static bool Open(void* context, size_t, io::Source* source) {
    DiskOpener* self = static_cast<DiskOpener*>(context);
    FILE* file = fopen(self->path.c_str(), "rb");
    if (!file) return false;
    ++self->open;
    *source = io::Source{file, Read};
    return true;
  }
  static void Close(void* context, io::Source* source) {
    --static_cast<DiskOpener*>(context)->open;
    fclose(static_cast<FILE*>(source->context));
  }
  cab::Opener opener() { return cab::Opener{this, Open, Close}; }
};

TEST_F(CabWriterTest, SourceFileThatChangedSizeIsAnError) {
  DiskOpener disk{Write("source", "12345")};
  cab::Opener opener = disk.opener();
  cab::FileEntry entry;
  entry.name = "s";
  for (uint32_t size : {4u, 6u}) {
    entry.size = size;
    io::MemorySink sink;
    std::string error;
    EXPECT_EQ(cab::Write({entry}, &opener, cab::Options(), sink.sink(), &error), core::Result::kSizeChanged);
    EXPECT_NE(error.find(size == 4 ? "longer" : "shorter"), std::string::npos) << error;
    EXPECT_EQ(error.rfind("s ", 0), 0u) << "starts with the file's name: " << error;
    EXPECT_EQ(disk.open, 0);
  }
  entry.size = 5;
  std::string cabinet = WriteCabinet({entry}, cab::Options(), &opener);
  EXPECT_EQ(disk.open, 0);
  REQUIRE_TOOL("cabextract");
  ASSERT_EQ(Sh("cabextract -q -d '" + dir_ + "/out' '" + cabinet + "'").code, 0);
  EXPECT_EQ(ReadText(dir_ + "/out/s"), "12345");
}

TEST_F(CabWriterTest, SourceThatCannotBeOpenedIsAnError) {
  DiskOpener disk{dir_ + "/missing"};
  cab::Opener opener = disk.opener();
  cab::FileEntry entry;
  entry.name = "gone.txt";
  entry.size = 1;
  io::MemorySink sink;
  std::string error;
  EXPECT_EQ(cab::Write({entry}, &opener, cab::Options(), sink.sink(), &error), core::Result::kCannotOpen);
  EXPECT_EQ(error, "cannot read gone.txt");
}

}  // namespace
