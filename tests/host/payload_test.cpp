#include "payload.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using payload::Splitter;

// The checksum as plainly as it can be written, to check the fast one.
void ReferenceSums(const Bytes& data, uint8_t* sums) {
  for (size_t i = 0; i + 16 <= data.size(); i += 16)
    for (size_t j = 0; j < 16; ++j) sums[j] = static_cast<uint8_t>(sums[j] + data[i + j]);
}

Bytes RandomBytes(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  Bytes bytes(size);
  for (auto& b : bytes) b = static_cast<uint8_t>(random());
  return bytes;
}

struct BuiltFile {
  Bytes stub, archive, file;
  size_t blockOffset() const { return stub.size(); }
};

// stub + block + archive, with the sums a builder computes.
BuiltFile Build(size_t stubSize, size_t archiveSize, bool flag = false, const char* command = "") {
  BuiltFile built;
  built.stub = RandomBytes(stubSize, 1);
  built.archive = RandomBytes(archiveSize, 2);
  uint8_t sums[16] = {};
  ReferenceSums(built.stub, sums);
  ReferenceSums(built.archive, sums);
  uint8_t block[payload::kBlockSize];
  EXPECT_TRUE(payload::WriteBlock(block, flag, command, sums));
  built.file = built.stub;
  built.file.insert(built.file.end(), block, block + sizeof block);
  built.file.insert(built.file.end(), built.archive.begin(), built.archive.end());
  return built;
}

struct SplitResult {
  Splitter::Verdict verdict;
  Bytes archive;
  payload::BlockFields fields;
  bool found;
  uint64_t blockOffset;
};

bool Collect(void* context, const uint8_t* data, size_t size) {
  auto* out = static_cast<Bytes*>(context);
  out->insert(out->end(), data, data + size);
  return true;
}

SplitResult Split(const Bytes& file, size_t chunk = 256) {
  SplitResult result{};
  Splitter splitter(io::Sink{&result.archive, Collect});
  for (size_t at = 0; at < file.size(); at += chunk)
    EXPECT_TRUE(splitter.Feed(file.data() + at, std::min(chunk, file.size() - at)));
  result.verdict = splitter.Finish();
  result.found = splitter.blockFound();
  if (result.found) {
    result.fields = splitter.fields();
    result.blockOffset = splitter.blockOffset();
    EXPECT_EQ(splitter.archiveSize(), result.archive.size());
  }
  return result;
}

TEST(ColumnSums, FastSumsMatchThePlainDefinition) {
  for (size_t size : {0u, 15u, 16u, 17u, 255u, 4096u, 100003u}) {
    Bytes data = RandomBytes(size, static_cast<unsigned>(size));
    uint8_t expected[16] = {};
    ReferenceSums(data, expected);
    payload::ColumnSums sums;
    sums.Clear();
    sums.AddRows(data.data(), data.size());
    EXPECT_TRUE(sums.Equals(expected)) << "size " << size;
  }
}

TEST(ColumnSums, EveryColumnWrapsOnItsOwn) {
  Bytes rows(16 * 3, 0xFF);  // three rows of 0xFF: each column 0x2FD mod 256
  payload::ColumnSums sums;
  sums.Clear();
  sums.AddRows(rows.data(), rows.size());
  for (uint8_t s : sums.column) EXPECT_EQ(s, 0xFD);
}

TEST(Splitter, IntactFileGivesItsArchiveAndSettingsWhateverTheChunking) {
  BuiltFile built = Build(256 * 5, 1000, true, "[Programs]\\Demo\\readme.txt");
  for (size_t chunk : {1u, 7u, 16u, 256u, 300u, 65536u}) {
    SplitResult result = Split(built.file, chunk);
    EXPECT_EQ(result.verdict, Splitter::Verdict::kIntact) << "chunk " << chunk;
    EXPECT_EQ(result.archive, built.archive) << "chunk " << chunk;
    EXPECT_EQ(result.blockOffset, built.blockOffset());
    EXPECT_EQ(result.fields.selfRemoval, 1);
    EXPECT_STREQ(result.fields.finalCommand, "[Programs]\\Demo\\readme.txt");
  }
}

TEST(Splitter, OnlyWholeRowsOfTheArchiveAreCovered) {
  BuiltFile built = Build(512, 100);  // 6 whole rows and a tail of 4 bytes
  size_t archiveStart = built.blockOffset() + payload::kBlockSize;
  for (size_t i = 96; i < 100; ++i) {
    Bytes changed = built.file;
    changed[archiveStart + i] ^= 0x01;
    SplitResult result = Split(changed);
    EXPECT_EQ(result.verdict, Splitter::Verdict::kIntact) << "tail byte " << i;
    EXPECT_EQ(result.archive.size(), 100u) << "the tail is still written";
  }
  for (size_t i : {0u, 17u, 95u}) {
    Bytes changed = built.file;
    changed[archiveStart + i] ^= 0x01;
    EXPECT_EQ(Split(changed).verdict, Splitter::Verdict::kMismatch) << "archive byte " << i;
  }
  for (size_t i : {0u, 255u, 511u}) {
    Bytes changed = built.file;
    changed[i] ^= 0x80;
    EXPECT_EQ(Split(changed).verdict, Splitter::Verdict::kMismatch) << "stub byte " << i;
  }
}

TEST(Splitter, BytesOfTheBlockOutsideTheSumsAreNotCovered) {
  BuiltFile built = Build(256, 64, false, "C:\\x.exe");
  for (size_t offset : {30u, 31u, 32u, 33u, 63u, 64u, 100u, 238u, 255u}) {
    Bytes changed = built.file;
    changed[built.blockOffset() + offset] ^= 0x5A;
    EXPECT_EQ(Split(changed).verdict, Splitter::Verdict::kIntact) << "block offset " << offset;
  }
  Bytes changed = built.file;
  changed[built.blockOffset() + payload::kSumsOffset + 3] ^= 1;
  EXPECT_EQ(Split(changed).verdict, Splitter::Verdict::kMismatch);
}

TEST(Splitter, BlockOffTheBlockGridIsNotFound) {
  BuiltFile built = Build(256, 64);
  Bytes shifted(16, 0);  // the block now starts at 16 + 256
  shifted.insert(shifted.end(), built.file.begin(), built.file.end());
  SplitResult result = Split(shifted);
  EXPECT_FALSE(result.found);
  EXPECT_EQ(result.verdict, Splitter::Verdict::kNoBlock);
  EXPECT_TRUE(result.archive.empty());
}

TEST(Splitter, FileWithoutBlockOrWithACutBlockIsRefused) {
  EXPECT_EQ(Split(RandomBytes(256 * 4 + 20, 9)).verdict, Splitter::Verdict::kNoBlock);
  EXPECT_EQ(Split(Bytes()).verdict, Splitter::Verdict::kNoBlock);
  BuiltFile built = Build(256, 0);
  Bytes cut(built.file.begin(), built.file.begin() + 256 + 100);  // ends inside the block
  EXPECT_EQ(Split(cut).verdict, Splitter::Verdict::kNoBlock);
}

TEST(Splitter, EmptyArchiveIsCheckedAgainstTheStubAlone) {
  BuiltFile built = Build(256 * 3, 0);
  SplitResult result = Split(built.file);
  EXPECT_EQ(result.verdict, Splitter::Verdict::kIntact);
  EXPECT_TRUE(result.archive.empty());
}

TEST(Splitter, FirstMarkerWinsAndLaterOnesAreArchiveData) {
  BuiltFile inner = Build(256, 40);
  Bytes archive = inner.file;  // an archive that itself looks like a built file
  uint8_t sums[16] = {};
  Bytes stub = RandomBytes(256, 3);
  ReferenceSums(stub, sums);
  ReferenceSums(archive, sums);
  uint8_t block[payload::kBlockSize];
  ASSERT_TRUE(payload::WriteBlock(block, false, "", sums));
  Bytes file = stub;
  file.insert(file.end(), block, block + sizeof block);
  file.insert(file.end(), archive.begin(), archive.end());
  SplitResult result = Split(file);
  EXPECT_EQ(result.verdict, Splitter::Verdict::kIntact);
  EXPECT_EQ(result.blockOffset, 256u);
  EXPECT_EQ(result.archive, archive);
}

TEST(Splitter, StopsWhenTheSinkFails) {
  BuiltFile built = Build(256, 64);
  Splitter splitter(io::Sink{nullptr, [](void*, const uint8_t*, size_t) { return false; }});
  EXPECT_FALSE(splitter.Feed(built.file.data(), built.file.size()));
}

TEST(BlockFields, FlagIsASignedByte) {
  uint8_t block[payload::kBlockSize];
  uint8_t sums[16] = {};
  ASSERT_TRUE(payload::WriteBlock(block, false, "", sums));
  payload::BlockFields fields;
  block[payload::kFlagOffset] = 0x80;
  payload::ReadBlock(block, &fields);
  EXPECT_EQ(fields.selfRemoval, -128);
  block[payload::kFlagOffset] = 0x00;
  payload::ReadBlock(block, &fields);
  EXPECT_EQ(fields.selfRemoval, 0);
}

TEST(BlockFields, FinalCommandStaysInsideItsField) {
  uint8_t block[payload::kBlockSize];
  uint8_t sums[16] = {};
  ASSERT_TRUE(payload::WriteBlock(block, false, "", sums));
  payload::BlockFields fields;
  block[payload::kCommandOffset + 1] = 'x';  // first byte 0: empty command
  payload::ReadBlock(block, &fields);
  EXPECT_STREQ(fields.finalCommand, "");
  memset(block + payload::kCommandOffset, 'a', payload::kCommandFieldLength);
  memset(block + payload::kSumsOffset, 'b', 16);  // no NUL anywhere after the command
  payload::ReadBlock(block, &fields);
  EXPECT_EQ(std::string(fields.finalCommand), std::string(174, 'a'));
}

TEST(BlockFields, WriterKeepsTheLayoutAndRefusesLongCommands) {
  uint8_t sums[16];
  for (int i = 0; i < 16; ++i) sums[i] = static_cast<uint8_t>(0xA0 + i);
  uint8_t block[payload::kBlockSize];
  std::string longest(174, 'c');
  ASSERT_TRUE(payload::WriteBlock(block, true, longest.c_str(), sums));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(block), 30),
            std::string("\\Joinpak\\Payloadstart\\Yorbel\\", 30));
  EXPECT_EQ(block[32], 1);
  EXPECT_EQ(block[64 + 174], 0);
  EXPECT_EQ(0, memcmp(block + 239, sums, 16));
  EXPECT_EQ(block[255], 0);
  for (size_t i : {30u, 31u, 33u, 63u}) EXPECT_EQ(block[i], 0) << i;
  std::string tooLong(175, 'c');
  uint8_t untouched[payload::kBlockSize] = {};
  EXPECT_FALSE(payload::WriteBlock(untouched, false, tooLong.c_str(), sums));
  EXPECT_EQ(untouched[0], 0);
}

}  // namespace
