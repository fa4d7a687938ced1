// sfxbuild list FILE: what a built file unpacks, read from its archive: an
// LZH archive, a cabinet, or the cabinet inside an inner program.
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <memory>
#include <string>

#include "cab/cab_directory.h"
#include "cab/format.h"
#include "commands.h"
#include "host_file.h"
#include "inner_archive.h"
#include "lzh/archive.h"
#include "lzh/format.h"

namespace {

bool CountOnly(void*, const uint8_t*, size_t) { return true; }

void* Allocate(void*, size_t size) { return malloc(size); }
void Release(void*, void* block) { free(block); }

// Names as the stubs see them: Windows separators.
std::string WindowsName(const char* name) {
  std::string windows(name);
  for (char& c : windows)
    if (c == '/') c = '\\';
  return windows;
}

void PrintSummary(unsigned long long files, unsigned long long bytes, const char* where) {
  printf("%llu file%s, %s bytes in %s\n", files, files == 1 ? "" : "s", Grouped(bytes).c_str(), where);
}

// The LZH archive of `size` bytes where `file` stands.
int ListLzh(FILE* file, uint64_t size) {
  FileSpan span{file, size};
  lzh::ArchiveReader reader;
  lzh::Allocator allocator{nullptr, Allocate, Release};
  if (reader.Open(span.source(), allocator) != lzh::Result::kOk) return Fail("out of memory");
  std::unique_ptr<lzh::EntryHeader> header(new lzh::EntryHeader);
  unsigned long long files = 0, bytes = 0;
  lzh::Result result;
  while ((result = reader.Next(header.get())) == lzh::Result::kOk) {
    bool folder = header->IsDirectory();
    std::string name = WindowsName(header->path);
    if (folder && (name.empty() || name.back() != '\\')) name += '\\';
    printf("%-5s %12llu  %s\n", header->method, static_cast<unsigned long long>(header->originalSize),
           name.c_str());
    if (!folder) ++files, bytes += header->originalSize;
  }
  if (result != lzh::Result::kEndOfArchive) {
    char code[16];
    snprintf(code, sizeof code, "%d", static_cast<int>(result));
    return Fail("the LZH archive is damaged after the entries listed (failure %s)", code);
  }
  PrintSummary(files, bytes, "an LZH archive");
  return 0;
}

// The cabinet at `offset` of `file`, `size` bytes long.
int ListCabinet(FILE* file, uint64_t offset, uint64_t size, const char* where) {
  if (!SeekTo(file, offset)) return Fail("cannot read the cabinet");
  FileSpan span{file, size};
  cab::Directory directory;
  std::string error;
  core::Result result = cab::ReadDirectory(span.source(), size, &directory, &error);
  if (result == core::Result::kReadFailed || result == core::Result::kTruncated) return Fail("cannot read the cabinet");
  if (result != core::Result::kOk) return Fail("%s", error.c_str());
  unsigned long long bytes = 0;
  for (const cab::DirectoryEntry& entry : directory.files) {
    printf("%12lu  %s\n", static_cast<unsigned long>(entry.size), entry.name.c_str());
    bytes += entry.size;
  }
  PrintSummary(directory.files.size(), bytes, where);
  return 0;
}

bool LooksLikeLzh(const uint8_t* head, size_t size) {
  // Every header level keeps the method and the level in the same place.
  const uint8_t* method = head + lzh::kMethodAt;
  return size >= lzh::kCommonSize && method[0] == '-' && method[1] == 'l' && (method[2] == 'h' || method[2] == 'z') &&
         method[lzh::kMethodLength - 1] == '-' && head[lzh::kLevelAt] <= 3;
}

// The archive of `size` bytes at `offset` of the built file `in`.
int ListArchive(const char* path, FILE* in, uint64_t offset, uint64_t size) {
  uint8_t head[32] = {};
  size_t headSize = size < sizeof head ? static_cast<size_t>(size) : sizeof head;
  if (!SeekTo(in, offset) || fread(head, 1, headSize, in) != headSize)
    return Fail("cannot read %s: %s", path, strerror(errno));
  if (headSize >= cab::kSignatureLength && memcmp(head, cab::kSignature, cab::kSignatureLength) == 0) return ListCabinet(in, offset, size, "a cabinet");
  if (LooksLikeLzh(head, headSize)) {
    if (!SeekTo(in, offset)) return Fail("cannot read %s: %s", path, strerror(errno));
    return ListLzh(in, size);
  }
  uint8_t trailer[inner::kTrailerSize];
  inner::Span inside;
  if (size >= sizeof trailer && SeekTo(in, offset + size - sizeof trailer) &&
      fread(trailer, 1, sizeof trailer, in) == sizeof trailer &&
      memcmp(trailer, inner::kTrailerMarker, inner::kMarkerLength) == 0) {
    if (inner::ReadTrailer(trailer, size, &inside) != core::Result::kOk)
      return Fail("%s: the inner program's trailer does not fit it", path);
    return ListCabinet(in, offset + inside.offset, inside.length, "a cabinet inside the inner program");
  }
  return Fail("%s: the archive is neither LZH, a cabinet nor an inner program", path);
}

}  // namespace

int List(const char* path) {
  payload::Splitter splitter(io::Sink{nullptr, CountOnly});
  payload::Splitter::Verdict verdict;
  File in(path, "rb");
  if (int failed = ReadBuiltFile(in, &splitter, &verdict)) return failed;
  if (verdict == payload::Splitter::Verdict::kNoBlock) return Fail("%s has no payload block: not a built file", path);
  if (verdict != payload::Splitter::Verdict::kIntact)
    return Fail("%s is damaged: its sums differ from the payload block (the stub refuses it)", path);
  // ListArchive seeks to the archive first, so the file read to its end serves.
  return ListArchive(path, in.get(), splitter.blockOffset() + payload::kBlockSize, splitter.archiveSize());
}
