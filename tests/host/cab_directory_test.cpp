// Reading a cabinet's file table for listing: what the writer makes reads
// back, a source that ends early is told from damage, and damage is
// refused without a read past the bytes handed over.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "cab/cab_directory.h"
#include "cab/cab_writer.h"
#include "io/memory.h"

namespace {

cab::FileEntry Entry(const std::string& name, const std::string& data) {
  cab::FileEntry entry;
  entry.name = name;
  entry.size = static_cast<uint32_t>(data.size());
  entry.data = data;
  return entry;
}

std::string Cabinet(const std::vector<cab::FileEntry>& files, uint32_t maxFolderBytes = cab::kMaxFolderBytes) {
  cab::Options options;
  options.maxFolderBytes = maxFolderBytes;
  io::MemorySink sink;
  EXPECT_EQ(cab::Write(files, nullptr, options, sink.sink()), core::Result::kOk);
  return sink.bytes;
}

core::Result Read(const std::string& bytes, size_t size, uint64_t total, cab::Directory* directory,
                  std::string* error) {
  // A copy of exactly `size` bytes, so ASan sees any read past them.
  std::vector<uint8_t> copy(bytes.begin(), bytes.begin() + static_cast<long>(size));
  io::MemoryData memory{copy.data(), copy.size()};
  return cab::ReadDirectory(memory.source(), total, directory, error);
}

void Put32(std::string* bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) (*bytes)[at + static_cast<size_t>(i)] = static_cast<char>(value >> (8 * i));
}

TEST(CabDirectoryTest, WhatTheWriterMakesReadsBackAndShortSourcesAreTruncated) {
  std::string japanese = "\x90\xE0\x96\xBE.txt";  // "説明.txt" in code page 932
  std::string cabinet = Cabinet({Entry("[Desktop]\\" + japanese, "read me"), Entry("empty", ""),
                                 Entry("a\\b\\c.bin", std::string(45000, 'x')), Entry(std::string(255, 'n'), "y")},
                                45000);
  cab::Directory directory;
  std::string error;
  ASSERT_EQ(Read(cabinet, cabinet.size(), cabinet.size(), &directory, &error), core::Result::kOk) << error;
  ASSERT_EQ(directory.files.size(), 4u);
  EXPECT_EQ(directory.files[0].name, "[Desktop]\\" + japanese);
  EXPECT_EQ(directory.files[0].size, 7u);
  EXPECT_EQ(directory.files[1].size, 0u);
  EXPECT_EQ(directory.files[2].name, "a\\b\\c.bin");
  EXPECT_EQ(directory.files[2].size, 45000u);
  EXPECT_EQ(directory.files[3].name, std::string(255, 'n'));
  EXPECT_GE(directory.folderCount, 2);
  EXPECT_EQ(directory.compression & 0xF, 1);  // MSZIP

  // Every cut of the table is short input, not damage, until the table is
  // whole; from then on it reads with the same entries.
  size_t tableEnd = static_cast<uint8_t>(cabinet[16]) | static_cast<uint8_t>(cabinet[17]) << 8;
  for (const cab::DirectoryEntry& entry : directory.files) tableEnd += 16 + entry.name.size() + 1;
  for (size_t size = 0; size < cabinet.size(); ++size) {
    cab::Directory part;
    core::Result result = Read(cabinet, size, cabinet.size(), &part, &error);
    if (result == core::Result::kOk) {
      EXPECT_EQ(part.files.size(), 4u) << size;
      EXPECT_EQ(size, tableEnd);
      break;
    }
    ASSERT_EQ(result, core::Result::kTruncated) << size << ": " << error;
    ASSERT_NE(error.find("ends early"), std::string::npos) << error;
  }
}

TEST(CabDirectoryTest, DamageIsRefusedWithAReason) {
  const std::string good = Cabinet({Entry("one.txt", "1"), Entry("two.txt", "22")});
  cab::Directory directory;
  std::string error;
  struct Case {
    const char* what;
    std::string bytes;
    uint64_t total;
    const char* reason;
  };
  std::vector<Case> cases;
  std::string noSignature = good;
  noSignature[0] = 'X';
  cases.push_back({"signature", noSignature, good.size(), "signature"});
  cases.push_back({"cut", good.substr(0, good.size() - 1), good.size() - 1, "bytes long"});
  std::string grown = good + "extra";
  cases.push_back({"grown", grown, grown.size(), "bytes long"});
  std::string beyond = good;
  Put32(&beyond, 16, static_cast<uint32_t>(good.size()) - 4);  // the file table starts near the end
  cases.push_back({"table past end", beyond, good.size(), "cut short"});
  std::string overlap = good;
  Put32(&overlap, 16, 10);
  cases.push_back({"table in header", overlap, good.size(), "overlaps"});
  std::string folder = good;
  size_t firstFile = static_cast<uint8_t>(good[16]) | static_cast<uint8_t>(good[17]) << 8;
  folder[firstFile + 8] = 7;
  cases.push_back({"folder index", folder, good.size(), "folder 7"});
  std::string endless = good;
  memset(&endless[firstFile + 16], 'n', endless.size() - firstFile - 16);  // names never end
  cases.push_back({"name without end", endless, good.size(), "cut short"});
  std::string version = good;
  version[25] = 2;
  cases.push_back({"version", version, good.size(), "version"});
  for (const Case& c : cases) {
    EXPECT_EQ(Read(c.bytes, c.bytes.size(), c.total, &directory, &error), core::Result::kBadHeader) << c.what;
    EXPECT_NE(error.find(c.reason), std::string::npos) << c.what << ": " << error;
  }
}

}  // namespace
