// One entry header of an LZH archive, levels 0 to 3.
//
// Names are kept as the archive's bytes: a code page 932 name stays the
// same bytes. The folder separators an archive may use ('/', '\' and 0xFF)
// all become '/', except a '\' that is the second byte of a double-byte
// code page 932 character.
#ifndef SFX_CORE_LZH_HEADER_H
#define SFX_CORE_LZH_HEADER_H

#include "lzh/format.h"
#include "lzh/lzh.h"

namespace lzh {

constexpr size_t kMaxPath = 1024;
// Whole headers larger than this are refused; real ones are a few hundred
// bytes, and the cap keeps lying size fields from costing time or memory.
constexpr size_t kMaxHeader = 65536 + 512;

struct EntryHeader {
  char method[kMethodLength + 1];  // e.g. "-lh5-", NUL-terminated
  int level;
  uint64_t packedSize;       // the packed data alone, extended headers excluded
  uint64_t originalSize;
  uint16_t crc;              // of the original bytes
  uint8_t os;                // creating system's letter, 0 when unknown
  uint8_t attributes;        // MS-DOS attribute bits
  uint16_t unixMode;         // valid when hasUnixMode
  bool hasUnixMode;
  uint32_t dosTime;          // MS-DOS date << 16 | time, 0 when absent
  int64_t unixTime;          // seconds since 1970, valid when hasUnixTime
  bool hasUnixTime;
  bool nameTooLong;          // the path was cut at kMaxPath bytes
  bool isLink;               // a Unix symbolic link stored as "name|target"
  size_t linkAt;             // position of its '|' in path
  size_t pathLength;
  char path[kMaxPath + 1];   // folder and name joined by '/', NUL-terminated
  uint64_t headerSize;       // bytes the header took in the archive

  bool IsDirectory() const;
};

// Reads the next header from `source`. `scratch` must hold kMaxHeader
// bytes. Returns kOk, kEndOfArchive at the end marker or a clean end of
// input, or the failure.
Result ReadHeader(const Source& source, uint8_t* scratch, EntryHeader* header);

}  // namespace lzh

#endif  // SFX_CORE_LZH_HEADER_H
