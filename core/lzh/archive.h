// Walks an LZH archive entry by entry.
#ifndef SFX_CORE_LZH_ARCHIVE_H
#define SFX_CORE_LZH_ARCHIVE_H

#include "lzh/decode.h"
#include "lzh/header.h"

namespace lzh {

class ArchiveReader {
 public:
  ArchiveReader();
  ~ArchiveReader() { Close(); }
  ArchiveReader(const ArchiveReader&) = delete;
  ArchiveReader& operator=(const ArchiveReader&) = delete;

  // kNoMemory when the allocator fails. An archive behind a program (a
  // self-extracting file made by another archiver) is found when its
  // first header starts within the first kScanSize bytes.
  static constexpr size_t kScanSize = 65536;
  Result Open(const Source& source, const Allocator& allocator);
  void Close();

  // The next entry's header, first passing over whatever the previous
  // entry left unread. kEndOfArchive after the last. Once the input has
  // failed (truncated, unreadable, a broken header), every later call
  // returns that failure: the position of the next header is unknown.
  Result Next(EntryHeader* header);

  // Decodes the current entry into `sink` and checks its CRC. A folder
  // entry writes nothing. Only once per entry.
  Result Extract(const Sink& sink);

 private:
  Result SkipRest();
  void FindFirstHeader();
  static size_t ReadThrough(void* context, uint8_t* buffer, size_t size);
  static bool SkipThrough(void* context, uint64_t size);

  Source outer_;          // what Open was given
  Source source_;         // outer_ behind the bytes read ahead while scanning
  uint8_t* ahead_;        // kScanSize bytes
  size_t aheadAt_;
  size_t aheadEnd_;
  bool aheadFailed_;
  Allocator allocator_;
  uint8_t* scratch_;      // kMaxHeader bytes for headers
  void* workspace_;       // MaxWorkspaceSize() bytes, on first need
  Result broken_;
  bool hasEntry_;
  bool seenEntry_;
  char method_[6];
  uint64_t packedSize_;
  uint64_t originalSize_;
  uint16_t crc_;
  uint64_t dataLeft_;     // packed bytes of the current entry still unread
};

}  // namespace lzh

#endif  // SFX_CORE_LZH_ARCHIVE_H
