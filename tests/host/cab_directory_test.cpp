// Reading a cabinet's file table for listing: what the writer makes reads
// back, a short buffer asks for more, and damage is refused without a
// read past the bytes handed over.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "cab/cab_directory.h"
#include "cab/cab_writer.h"

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
  cab::MemorySink sink;
  EXPECT_EQ(cab::Write(files, options, &sink), "");
  return sink.bytes;
}

cab::DirectoryResult Read(const std::string& bytes, size_t size, uint64_t total, cab::Directory* directory,
                          size_t* needed, std::string* error) {
  // A copy of exactly `size` bytes, so ASan sees any read past them.
  std::vector<uint8_t> copy(bytes.begin(), bytes.begin() + static_cast<long>(size));
  return cab::ReadDirectory(copy.data(), copy.size(), total, directory, needed, error);
}

void Put32(std::string* bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) (*bytes)[at + static_cast<size_t>(i)] = static_cast<char>(value >> (8 * i));
}

TEST(CabDirectoryTest, WhatTheWriterMakesReadsBackAndShortBuffersAskForMore) {
  std::string japanese = "\x90\xE0\x96\xBE.txt";  // "説明.txt" in code page 932
  std::string cabinet = Cabinet({Entry("[Desktop]\\" + japanese, "read me"), Entry("empty", ""),
                                 Entry("a\\b\\c.bin", std::string(45000, 'x')), Entry(std::string(255, 'n'), "y")},
                                45000);
  cab::Directory directory;
  size_t needed = 0;
  std::string error;
  ASSERT_EQ(Read(cabinet, cabinet.size(), cabinet.size(), &directory, &needed, &error), cab::DirectoryResult::kOk)
      << error;
  ASSERT_EQ(directory.files.size(), 4u);
  EXPECT_EQ(directory.files[0].name, "[Desktop]\\" + japanese);
  EXPECT_EQ(directory.files[0].size, 7u);
  EXPECT_EQ(directory.files[1].size, 0u);
  EXPECT_EQ(directory.files[2].name, "a\\b\\c.bin");
  EXPECT_EQ(directory.files[2].size, 45000u);
  EXPECT_EQ(directory.files[3].name, std::string(255, 'n'));
  EXPECT_GE(directory.folderCount, 2);
  EXPECT_EQ(directory.compression & 0xF, 1);  // MSZIP

  // Every cut of the table either asks for more, reaching past the cut,
  // or (once the table is whole) succeeds with the same entries.
  for (size_t size = 0; size < cabinet.size(); ++size) {
    cab::Directory part;
    size_t more = 0;
    cab::DirectoryResult result = Read(cabinet, size, cabinet.size(), &part, &more, &error);
    if (result == cab::DirectoryResult::kOk) {
      EXPECT_EQ(part.files.size(), 4u) << size;
      break;
    }
    ASSERT_EQ(result, cab::DirectoryResult::kNeedMore) << size << ": " << error;
    ASSERT_GT(more, size);
    ASSERT_LE(more, cabinet.size());
  }
}

TEST(CabDirectoryTest, DamageIsRefusedWithAReason) {
  const std::string good = Cabinet({Entry("one.txt", "1"), Entry("two.txt", "22")});
  cab::Directory directory;
  size_t needed = 0;
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
    EXPECT_EQ(Read(c.bytes, c.bytes.size(), c.total, &directory, &needed, &error), cab::DirectoryResult::kBad)
        << c.what;
    EXPECT_NE(error.find(c.reason), std::string::npos) << c.what << ": " << error;
  }
}

}  // namespace
