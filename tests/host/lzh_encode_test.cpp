// Archives made by LzhWriter extract to what was packed: through our own
// reader for every method and several levels, and through lhasa, jlha and
// 7-Zip for one archive holding every method.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <random>

#include "lzh/archive.h"
#include "lzh/crc16.h"
#include "lzh/encode.h"
#include "lzh/encode_pack.h"
#include "lzh_test_util.h"

namespace {

using namespace lzhtest;
using lzh::PackMethod;
using lzh::Result;

const std::string kSjisName = "\x83\x65\x83\x58\x83\x67.txt";  // テスト.txt
const std::string kSjisFolder = "\x83\x5C";                       // ソ: its second byte is '\'

Bytes RandomBytes(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  Bytes data(size);
  for (auto& b : data) b = static_cast<uint8_t>(random());
  return data;
}

// Words and lines with repeats near and far, like the text files an
// installer carries; the noise keeps a few literals in every block.
Bytes TextLike(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  static const char* const kWords[] = {"setup", "install", "the ", "folder", "Program Files", "\r\n",
                                       "version", "DLL", "= ", "[Options]", "README", "0x1F"};
  Bytes data;
  while (data.size() < size) {
    if (random() % 8 == 0 && data.size() > 70000) {
      size_t from = data.size() - 1 - random() % 65000;
      size_t length = 3 + random() % 300;
      for (size_t i = 0; i < length; ++i) data.push_back(data[from + i]);
    } else if (random() % 16 == 0) {
      data.push_back(static_cast<uint8_t>(random()));
    } else {
      std::string w = kWords[random() % 12];
      data.insert(data.end(), w.begin(), w.end());
    }
  }
  data.resize(size);
  return data;
}

// Trees with contents cut to size and hash, so a failure prints readably.
Tree Brief(const Tree& tree) {
  Tree brief;
  for (const auto& [path, contents] : tree) {
    if (contents == "<dir>") {
      brief[path] = contents;
      continue;
    }
    uint64_t hash = 1469598103934665603ull;
    for (unsigned char c : contents) hash = (hash ^ c) * 1099511628211ull;
    brief[path] = std::to_string(contents.size()) + " bytes, hash " + std::to_string(hash);
  }
  return brief;
}

// Stretches of text and of a small binary alphabet in turn: statistics
// that change every few kilobytes, where blocks pay to be split.
Bytes Patchwork(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  Bytes data;
  Bytes text = TextLike(size, seed + 1);
  while (data.size() < size) {
    size_t n = 2000 + random() % 6000;
    if ((data.size() / 4000) % 2 == 0) {
      data.insert(data.end(), text.begin() + static_cast<long>(data.size()),
                  text.begin() + static_cast<long>(std::min(size, data.size() + n)));
    } else {
      for (size_t i = 0; i < n; ++i) data.push_back(static_cast<uint8_t>(0x80 + random() % 16));
    }
  }
  data.resize(size);
  return data;
}

struct Item {
  std::string name;  // '/'-separated as given to the writer
  Bytes data;
  bool directory;
};

std::vector<Item> Items() {
  std::vector<Item> items = {
      {"empty.txt", {}, false},
      {"one.bin", {0x42}, false},
      {"under64k.bin", TextLike(65535, 1), false},
      {"exact64k.bin", TextLike(65536, 2), false},
      {"over64k.bin", TextLike(65537, 3), false},
      {"random.bin", RandomBytes(1 << 20, 4), false},
      {"text.txt", TextLike(1 << 20, 5), false},
      {"run.bin", Bytes(300000, 'A'), false},
      {"patchwork.bin", Patchwork(200000, 9), false},
      {"a/b\\c/deep.txt", TextLike(5000, 6), false},
      {"docs/" + kSjisName, TextLike(777, 7), false},
      {kSjisFolder + "\\inside.txt", TextLike(100, 8), false},
      {"empty/folder", {}, true},
  };
  return items;
}

bool AppendSink(void* context, const uint8_t* data, size_t size) {
  static_cast<Bytes*>(context)->insert(static_cast<Bytes*>(context)->end(), data, data + size);
  return true;
}

lzh::EntryInfo Info(const std::string& name, int64_t time = 1700000000, uint8_t attributes = 0x20) {
  return lzh::EntryInfo{name.data(), name.size(), time, attributes};
}

// Packs the items; `methods` picks each file's method in turn. Records what
// each file was stored as.
Bytes Pack(const std::vector<Item>& items, std::vector<PackMethod> methods, int level,
           std::map<std::string, std::string>* stored = nullptr) {
  Bytes archive;
  lzh::LzhWriter writer(lzh::Sink{&archive, AppendSink});
  size_t turn = 0;
  for (const Item& item : items) {
    if (item.directory) {
      EXPECT_EQ(writer.AddDirectory(Info(item.name)), Result::kOk) << item.name;
      continue;
    }
    io::MemoryData memory{item.data.data(), item.data.size()};
    PackMethod method = methods[turn++ % methods.size()];
    EXPECT_EQ(writer.AddFile(Info(item.name), memory.source(), item.data.size(), method, level), Result::kOk)
        << item.name;
    if (stored) (*stored)[item.name] = writer.lastMethod();
  }
  EXPECT_EQ(writer.Finish(), Result::kOk);
  EXPECT_EQ(writer.bytesWritten(), archive.size());
  return archive;
}

// What an extracting tool should leave: folders included, separators '/'.
Tree Expected(const std::vector<Item>& items) {
  Tree tree;
  for (const Item& item : items) {
    std::string path;
    for (size_t i = 0; i < item.name.size(); ++i) {
      char c = item.name[i];
      unsigned char u = static_cast<unsigned char>(c);
      if ((u >= 0x81 && u <= 0x9F) || (u >= 0xE0 && u <= 0xFC)) {
        path += c;
        path += item.name[++i];
        continue;
      }
      if (c == '\\' || c == '/') tree[path] = "<dir>";
      path += c == '\\' ? '/' : c;
    }
    tree[path] = item.directory ? "<dir>" : std::string(item.data.begin(), item.data.end());
  }
  return tree;
}

// Our reader over an archive in memory: path -> contents, and the headers.
struct Read {
  Tree tree;
  std::vector<lzh::EntryHeader> headers;
  Result result = Result::kOk;
};

struct MemorySource {
  const Bytes* bytes;
  size_t at = 0;
  static size_t ReadFn(void* c, uint8_t* buffer, size_t size) {
    MemorySource* m = static_cast<MemorySource*>(c);
    size_t n = std::min(size, m->bytes->size() - m->at);
    memcpy(buffer, m->bytes->data() + m->at, n);
    m->at += n;
    return n;
  }
};

Read ReadBack(const Bytes& archive) {
  Read read;
  MemorySource memory{&archive};
  lzh::Allocator allocator{nullptr, [](void*, size_t n) { return malloc(n); }, [](void*, void* p) { free(p); }};
  lzh::ArchiveReader reader;
  read.result = reader.Open(lzh::Source{&memory, MemorySource::ReadFn, nullptr}, allocator);
  lzh::EntryHeader header;
  while (read.result == Result::kOk) {
    Result r = reader.Next(&header);
    if (r == Result::kEndOfArchive) break;
    if (r != Result::kOk) {
      read.result = r;
      break;
    }
    read.headers.push_back(header);
    Bytes data;
    read.result = reader.Extract(lzh::Sink{&data, AppendSink});
    std::string path(header.path, header.pathLength);
    if (!path.empty() && path.back() == '/') path.pop_back();
    for (size_t at = path.find('/'); at != std::string::npos; at = path.find('/', at + 1))
      read.tree[path.substr(0, at)] = "<dir>";
    read.tree[path] = header.IsDirectory() ? "<dir>" : std::string(data.begin(), data.end());
  }
  return read;
}

class OwnReader : public ::testing::TestWithParam<std::tuple<PackMethod, int>> {};

TEST_P(OwnReader, ExtractsWhatWasPacked) {
  auto [method, level] = GetParam();
  std::vector<Item> items = Items();
  std::map<std::string, std::string> stored;
  Bytes archive = Pack(items, {method}, level, &stored);
  Read read = ReadBack(archive);
  ASSERT_EQ(read.result, Result::kOk);
  EXPECT_EQ(Brief(read.tree), Brief(Expected(items)));

  const char* name = method == PackMethod::kLh5 ? "-lh5-" : method == PackMethod::kLh6 ? "-lh6-" : "-lh7-";
  EXPECT_EQ(stored["empty.txt"], "-lh0-");
  EXPECT_EQ(stored["one.bin"], "-lh0-");  // a block header alone outweighs one byte
  EXPECT_EQ(stored["random.bin"], "-lh0-");
  EXPECT_EQ(stored["text.txt"], name);
  EXPECT_EQ(stored["run.bin"], name);
  for (const auto& h : read.headers) {
    std::string path(h.path, h.pathLength);
    if (path == "text.txt") {
      EXPECT_LT(h.packedSize, h.originalSize / 3);
    }
    if (path == "run.bin") {
      EXPECT_LT(h.packedSize, 200u);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(MethodsAndLevels, OwnReader,
                         ::testing::Combine(::testing::Values(PackMethod::kLh5, PackMethod::kLh6, PackMethod::kLh7),
                                            ::testing::Values(1, 5, 9)));

TEST(OwnReaderLevels, HigherLevelsPackTighterAndZeroStores) {
  Bytes text = TextLike(1 << 20, 11);
  std::vector<Item> items = {{"t.txt", text, false}};
  size_t one = Pack(items, {PackMethod::kLh7}, 1).size();
  size_t five = Pack(items, {PackMethod::kLh7}, 5).size();
  size_t nine = Pack(items, {PackMethod::kLh7}, 9).size();
  EXPECT_LE(nine, five);
  EXPECT_LT(five, one);
  std::map<std::string, std::string> stored;
  Bytes zero = Pack(items, {PackMethod::kLh7}, 0, &stored);
  EXPECT_EQ(stored["t.txt"], "-lh0-");
  EXPECT_EQ(Brief(ReadBack(zero).tree), Brief(Expected(items)));
}

TEST(OwnReaderHeaders, CarryTimeAttributesAndFolderBit) {
  Bytes archive;
  lzh::LzhWriter writer(lzh::Sink{&archive, AppendSink});
  Bytes data = TextLike(1000, 12);
  io::MemoryData memory{data.data(), data.size()};
  // 2024-02-29 13:45:58 as an MS-DOS stamp.
  uint32_t dos = (44u << 25) | (2u << 21) | (29u << 16) | (13u << 11) | (45u << 5) | 29u;
  EXPECT_EQ(lzh::UnixTimeFromDos(dos), 1709214358);
  EXPECT_EQ(lzh::UnixTimeFromDos(0x00210000), 315532800);  // 1980-01-01, the first MS-DOS day
  ASSERT_EQ(writer.AddFile(Info("ro.txt", lzh::UnixTimeFromDos(dos), 0x21 | 0x10), memory.source(), data.size()),
            Result::kOk);
  ASSERT_EQ(writer.AddDirectory(Info("dir/", -5, 0x02)), Result::kOk);  // before 1970: clamped
  ASSERT_EQ(writer.Finish(), Result::kOk);
  Read read = ReadBack(archive);
  ASSERT_EQ(read.result, Result::kOk);
  ASSERT_EQ(read.headers.size(), 2u);
  EXPECT_EQ(read.headers[0].level, 2);
  EXPECT_EQ(read.headers[0].unixTime, 1709214358);
  EXPECT_EQ(read.headers[0].attributes, 0x21);  // the folder bit is not a file's
  EXPECT_TRUE(read.headers[1].IsDirectory());
  EXPECT_EQ(read.headers[1].attributes, 0x12);
  EXPECT_EQ(read.headers[1].unixTime, 0);
}

// A level-2 header starts with its size; one whose low byte is 0 would be
// read as the end of the archive, so such headers get a byte more.
TEST(OwnReaderHeaders, NoHeaderLooksLikeTheEndMarker) {
  std::vector<Item> items;
  for (size_t length = 150; length < 300; ++length) items.push_back({std::string(length, 'n'), {}, false});
  Bytes archive = Pack(items, {PackMethod::kLh7}, 5);
  Read read = ReadBack(archive);
  ASSERT_EQ(read.result, Result::kOk);
  EXPECT_EQ(read.headers.size(), items.size());
}

// Deep codes must be cut to 16 bits and still form a complete code: some
// decoders refuse a code with unused patterns.
TEST(CodeLengths, AreLimitedAndComplete) {
  std::vector<std::vector<uint32_t>> cases;
  std::vector<uint32_t> fibonacci(30);
  fibonacci[0] = fibonacci[1] = 1;
  for (size_t i = 2; i < fibonacci.size(); ++i) fibonacci[i] = fibonacci[i - 1] + fibonacci[i - 2];
  cases.push_back(fibonacci);
  std::vector<uint32_t> wide(510, 1);
  wide[0] = 1000000;
  cases.push_back(wide);
  cases.push_back({5, 5});
  cases.push_back({0, 7, 0, 0, 1});
  for (const auto& freq : cases) {
    std::vector<uint8_t> lengths(freq.size());
    int only = -1;
    int used = lzh::MakeCodeLengths(freq.data(), static_cast<int>(freq.size()), lengths.data(), &only);
    ASSERT_GE(used, 2);
    uint64_t kraft = 0;
    for (size_t s = 0; s < freq.size(); ++s) {
      EXPECT_LE(lengths[s], 16);
      EXPECT_EQ(lengths[s] == 0, freq[s] == 0);
      if (lengths[s]) kraft += uint64_t(1) << (16 - lengths[s]);
    }
    EXPECT_EQ(kraft, uint64_t(1) << 16);
  }
  uint32_t single[] = {0, 0, 9, 0};
  uint8_t lengths[4];
  int only = -1;
  EXPECT_EQ(lzh::MakeCodeLengths(single, 4, lengths, &only), 1);
  EXPECT_EQ(only, 2);
}

// Small blocks put many block headers, and single-symbol codes, through
// the decoder; each result is decoded straight from the packed bytes.
TEST(Packer, BlocksOfAnySizeDecode) {
  const lzh::Method* method = lzh::FindMethod("-lh7-");
  ASSERT_NE(method, nullptr);
  std::vector<uint8_t> workspace(method->workspaceSize);
  const Bytes patchwork = Patchwork(200000, 15);
  const std::vector<Bytes> inputs = {TextLike(200000, 13), Bytes(100000, 0), RandomBytes(3000, 14), patchwork};
  for (size_t limit : {0, 7, 1000, 65535, 100000}) {
    for (const Bytes& data : inputs) {
      lzh::Packer packer;
      packer.set_block_limit(limit);
      Bytes packed;
      io::MemoryData memory{data.data(), data.size()};
      lzh::PackResult result;
      ASSERT_EQ(packer.Pack(16, 5, memory.source(), data.size(), ~uint64_t(0), lzh::Sink{&packed, AppendSink},
                            &result),
                Result::kOk);
      ASSERT_EQ(result.packedSize, packed.size());
      if (limit == 65535 && &data == &inputs.back()) {
        // Blocks split where the statistics change.
        EXPECT_GT(packer.blocks(), 4u);
      }
      EXPECT_EQ(result.crc, lzh::Crc16(0, data.data(), data.size()));

      MemorySource source{&packed};
      Bytes out;
      lzh::DecodeJob job{};
      job.source = lzh::Source{&source, MemorySource::ReadFn, nullptr};
      job.packedSize = packed.size();
      job.sink = lzh::Sink{&out, AppendSink};
      job.originalSize = data.size();
      ASSERT_EQ(method->decode(workspace.data(), &job), Result::kOk) << "block limit " << limit;
      EXPECT_EQ(job.packedLeft, 0u);
      EXPECT_TRUE(out == data) << "block limit " << limit;
    }
  }
}

// One archive with every method in turn, read by the other tools.
class OtherTools : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    work_ = new TempDir;
    items_ = new std::vector<Item>(Items());
    Bytes archive = Pack(*items_, {PackMethod::kLh5, PackMethod::kLh6, PackMethod::kLh7}, lzh::kDefaultLevel);
    WriteAll(*work_ / "all.lzh", archive);
  }
  static void TearDownTestSuite() {
    delete work_;
    delete items_;
  }
  // Extracts with `command` run inside a fresh folder; the archive is "A".
  static Tree Extract(const std::string& tool, const std::string& command) {
    std::string out = *work_ / ("out-" + tool);
    fs::create_directories(out);
    ToolRun run = Sh("cd " + Quote(out) + " && A=" + Quote(*work_ / "all.lzh") + " && " + command);
    EXPECT_EQ(run.code, 0) << run.out;
    return ReadTree(out, false);
  }

  static TempDir* work_;
  static std::vector<Item>* items_;
};
TempDir* OtherTools::work_ = nullptr;
std::vector<Item>* OtherTools::items_ = nullptr;

// Moves every path under `from` to `to`.
Tree Renamed(const Tree& tree, const std::string& from, const std::string& to) {
  Tree out;
  for (const auto& [path, contents] : tree) {
    bool under = path == from || path.rfind(from + "/", 0) == 0;
    out[under ? to + path.substr(from.size()) : path] = contents;
  }
  return out;
}

TEST_F(OtherTools, LzhdecExtractsTheSame) {
  ToolRun run = Lzhdec("x", *work_ / "all.lzh", *work_ / "out-lzhdec");
  ASSERT_EQ(run.code, 0) << run.out;
  EXPECT_EQ(Brief(ReadTree(*work_ / "out-lzhdec", false)), Brief(Expected(*items_)));
  ToolRun list = Lzhdec("l", *work_ / "all.lzh");
  for (const char* method : {"-lh5-", "-lh6-", "-lh7-", "-lh0-"})
    EXPECT_NE(list.out.find(method), std::string::npos) << list.out;
}

TEST_F(OtherTools, LhasaExtractsTheSame) {
  REQUIRE_TOOL("lhasa");
  EXPECT_EQ(Brief(Extract("lhasa", "lhasa -xq \"$A\"")), Brief(Expected(*items_)));
}

TEST_F(OtherTools, JlhaExtractsTheSame) {
  REQUIRE_TOOL("jlha");
  // Its y switch turns the code page 932 names into UTF-8.
  Tree expected = Renamed(Expected(*items_), "docs/" + kSjisName, "docs/\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88.txt");
  expected = Renamed(expected, kSjisFolder, "\xE3\x82\xBD");
  EXPECT_EQ(Brief(Extract("jlha", "LANG=C.UTF-8 jlha xqy \"$A\"")), Brief(expected));
}

TEST_F(OtherTools, SevenZipExtractsTheSame) {
  REQUIRE_TOOL("7zz");
  // 7-Zip takes the '\' inside a double-byte character for a separator.
  Tree expected = Renamed(Expected(*items_), kSjisFolder, kSjisFolder.substr(0, 1));
  EXPECT_EQ(Brief(Extract("7zz", "7zz x -y \"$A\" >/dev/null")), Brief(expected));
  ToolRun test = Sh("7zz t " + Quote(*work_ / "all.lzh"));
  EXPECT_NE(test.out.find("Everything is Ok"), std::string::npos) << test.out;
}

// A source over memory that can lie: give more or fewer bytes than
// declared, change a byte after a rewind, or refuse to be read at all.
struct FickleData {
  Bytes bytes;
  size_t at = 0;
  int rewinds = 0;
  bool changeAfterRewind = false;
  bool mustNotRead = false;
  static size_t ReadFn(void* c, uint8_t* buffer, size_t size) {
    FickleData* f = static_cast<FickleData*>(c);
    if (f->mustNotRead) {
      ADD_FAILURE() << "read a file that should have been refused";
      return io::Source::kError;
    }
    size_t n = std::min(size, f->bytes.size() - f->at);
    memcpy(buffer, f->bytes.data() + f->at, n);
    if (f->changeAfterRewind && f->rewinds > 0 && f->at == 0 && n > 0) buffer[0] ^= 1;
    f->at += n;
    return n;
  }
  static bool RewindFn(void* c) {
    FickleData* f = static_cast<FickleData*>(c);
    f->at = 0;
    ++f->rewinds;
    return true;
  }
  io::Source Source(bool rewindable = true) {
    return io::Source{this, ReadFn, nullptr, rewindable ? RewindFn : nullptr};
  }
};

TEST(Refusals, BadNamesLeaveTheWriterUsable) {
  Bytes archive;
  lzh::LzhWriter writer(lzh::Sink{&archive, AppendSink});
  Bytes data = TextLike(100, 20);
  const std::vector<std::string> bad = {"",       "/abs",     "\\abs",    "a/../b", "./x",     "a:b",
                                        "a|b",    "aux.txt",  "x\x01y",   "dir/",   "a/\xFF",  "..",
                                        std::string(1100, 'n'), std::string("nul\0x", 5)};
  for (const std::string& name : bad) {
    io::MemoryData memory{data.data(), data.size()};
    EXPECT_EQ(writer.AddFile(Info(name), memory.source(), data.size()), Result::kUnsafeName) << name;
  }
  EXPECT_EQ(writer.AddDirectory(Info("a/../b/")), Result::kUnsafeName);
  io::MemoryData unknown{data.data(), data.size()};
  EXPECT_EQ(writer.AddFile(Info("m"), unknown.source(), data.size(), static_cast<PackMethod>(9)), Result::kBadCommand);
  EXPECT_EQ(writer.bytesWritten(), 0u);

  FickleData huge;
  huge.mustNotRead = true;
  EXPECT_EQ(writer.AddFile(Info("huge.bin"), huge.Source(), uint64_t(1) << 32), Result::kTooLarge);

  // Shorter and longer than declared: nothing written, nothing broken.
  FickleData shorter{data};
  EXPECT_EQ(writer.AddFile(Info("short"), shorter.Source(), data.size() + 1), Result::kSizeChanged);
  FickleData longer{data};
  EXPECT_EQ(writer.AddFile(Info("long"), longer.Source(), data.size() - 1), Result::kSizeChanged);
  EXPECT_EQ(writer.bytesWritten(), 0u);

  io::MemoryData memory{data.data(), data.size()};
  ASSERT_EQ(writer.AddFile(Info("dir//ok.txt"), memory.source(), data.size()), Result::kOk);
  ASSERT_EQ(writer.Finish(), Result::kOk);
  EXPECT_EQ(writer.AddDirectory(Info("late")), Result::kBadCommand);
  EXPECT_EQ(writer.Finish(), Result::kBadCommand);
  Read read = ReadBack(archive);
  ASSERT_EQ(read.result, Result::kOk);
  EXPECT_EQ(Brief(read.tree), Brief(Expected({{"dir/ok.txt", data, false}})));
}

// Files above the memory limit are read twice; the archive must come out
// byte for byte as if they had been held in memory.
TEST(LargeFiles, TwoReadingsMakeTheSameArchive) {
  std::vector<Item> items = {{"text.txt", TextLike(300000, 21), false},
                             {"random.bin", RandomBytes(100000, 22), false},
                             {"run.bin", Bytes(200000, 7), false}};
  Bytes inMemory = Pack(items, {PackMethod::kLh6}, 5);
  for (PackMethod method : {PackMethod::kLh6, PackMethod::kStored}) {
    Bytes archive;
    lzh::WriterOptions options;
    options.memoryLimit = 4096;
    lzh::LzhWriter writer(lzh::Sink{&archive, AppendSink}, options);
    for (const Item& item : items) {
      FickleData data{item.data};
      ASSERT_EQ(writer.AddFile(Info(item.name), data.Source(), item.data.size(), method), Result::kOk);
      EXPECT_EQ(data.rewinds, 1);
    }
    ASSERT_EQ(writer.Finish(), Result::kOk);
    if (method == PackMethod::kLh6) {
      EXPECT_TRUE(archive == inMemory);
    }
    EXPECT_EQ(Brief(ReadBack(archive).tree), Brief(Expected(items)));
  }
}

TEST(LargeFiles, NeedARewindAndTheSameBytesTwice) {
  lzh::WriterOptions options;
  options.memoryLimit = 4096;
  Bytes text = TextLike(50000, 23);
  {
    Bytes archive;
    lzh::LzhWriter writer(lzh::Sink{&archive, AppendSink}, options);
    FickleData data{text};
    EXPECT_EQ(writer.AddFile(Info("a"), data.Source(false), text.size()), Result::kCannotRewind);
    EXPECT_EQ(writer.bytesWritten(), 0u);
  }
  for (PackMethod method : {PackMethod::kLh7, PackMethod::kStored}) {
    Bytes archive;
    lzh::LzhWriter writer(lzh::Sink{&archive, AppendSink}, options);
    FickleData data{text};
    data.changeAfterRewind = true;
    EXPECT_EQ(writer.AddFile(Info("a"), data.Source(), text.size(), method), Result::kSizeChanged);
    // The header went out already: the archive is lost, and stays so.
    io::MemoryData again{text.data(), text.size()};
    EXPECT_EQ(writer.AddFile(Info("b"), again.source(), text.size()), Result::kSizeChanged);
    EXPECT_EQ(writer.Finish(), Result::kSizeChanged);
  }
}

TEST(Refusals, SinkFailureIsReported) {
  int calls = 0;
  auto failing = [](void* c, const uint8_t*, size_t) { return ++*static_cast<int*>(c) < 2; };
  lzh::LzhWriter writer(lzh::Sink{&calls, failing});
  Bytes text = TextLike(20000, 24);
  io::MemoryData memory{text.data(), text.size()};
  EXPECT_EQ(writer.AddFile(Info("a"), memory.source(), text.size()), Result::kWriteFailed);
  EXPECT_EQ(writer.AddDirectory(Info("d")), Result::kWriteFailed);
  EXPECT_EQ(writer.Finish(), Result::kWriteFailed);
}

}  // namespace
