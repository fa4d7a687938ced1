// The Microsoft cabinet format as the reader and the writer both see it.
// All numbers are little-endian.
//
//   header, 36 bytes                   folder entry, 8 bytes each
//     0   "MSCF"                         0  first data block's offset, 32 bits
//     8   cabinet size, 32 bits          4  data blocks, 16 bits
//     16  first file entry's offset      6  compression, 16 bits
//     24  format version: minor 3,
//         major 1                      file entry, 16 bytes + name + NUL
//     26  folders, 16 bits               0  uncompressed size, 32 bits
//     28  files, 16 bits                 4  offset in its folder's bytes
//     30  flags, 16 bits                 8  folder index, 16 bits
//     32  set id, 16 bits                10 MS-DOS date, 12 time
//     34  index in the set               14 attributes, 16 bits
//   then, as the flags say: the          16 name
//   reserve sizes and areas, the
//   previous and the next cabinet's    data block, 8 bytes + data
//   names (file and disk name each)      0  checksum, 32 bits
//                                        4  packed bytes, 16 bits
//                                        6  uncompressed bytes, 16 bits
#ifndef SFX_CORE_CAB_FORMAT_H
#define SFX_CORE_CAB_FORMAT_H

#include <stddef.h>
#include <stdint.h>

namespace cab {

// ---- Header ----
constexpr char kSignature[] = "MSCF";
constexpr size_t kSignatureLength = 4;
constexpr size_t kCabinetSizeAt = 8;
constexpr size_t kFirstFileAt = 16;  // where the first file entry starts
constexpr size_t kVersionMinorAt = 24;
constexpr size_t kVersionMajorAt = 25;
constexpr uint8_t kVersionMinor = 3, kVersionMajor = 1;
constexpr size_t kFolderCountAt = 26;
constexpr size_t kFileCountAt = 28;
constexpr size_t kFlagsAt = 30;
constexpr size_t kSetIdAt = 32;
constexpr size_t kSetIndexAt = 34;
constexpr size_t kHeaderSize = 36;

// Header flags.
constexpr uint16_t kFlagPrevious = 0x0001;  // names of the previous cabinet follow
constexpr uint16_t kFlagNext = 0x0002;      // names of the next cabinet follow
constexpr uint16_t kFlagReserve = 0x0004;   // reserve sizes follow the header
// With kFlagReserve: the header's reserve (16 bits), each folder entry's
// (8) and each data block's (8), then the header's reserved bytes.
constexpr size_t kReserveSizesSize = 4;
constexpr size_t kFolderReserveAt = 2;

// ---- Folder entry ----
constexpr size_t kFolderDataAt = 0;
constexpr size_t kFolderBlocksAt = 4;
constexpr size_t kFolderCompressionAt = 6;
constexpr size_t kFolderEntrySize = 8;
// The low bits of the compression field name the method.
constexpr uint16_t kCompressionMask = 0x000F;
constexpr uint16_t kMethodNone = 0, kMethodMszip = 1;

// ---- File entry ----
constexpr size_t kFileSizeAt = 0;
constexpr size_t kFileOffsetAt = 4;
constexpr size_t kFileFolderAt = 8;
constexpr size_t kFileDateAt = 10;
constexpr size_t kFileTimeAt = 12;
constexpr size_t kFileAttributesAt = 14;
constexpr size_t kFileNameAt = 16;
constexpr size_t kFileEntrySize = kFileNameAt;  // before the name
constexpr size_t kMaxNameLength = 255;          // without the NUL
// Folder indexes at and above this one mean "continued from or into
// another cabinet of the set", not a folder of this cabinet.
constexpr uint16_t kFirstContinuation = 0xFFFD;

// Attribute bits of a file entry.
constexpr uint16_t kReadOnly = 0x01, kHidden = 0x02, kSystem = 0x04, kArchive = 0x20;

// ---- Data block ----
constexpr size_t kDataChecksumAt = 0;
constexpr size_t kDataPackedAt = 4;
constexpr size_t kDataUnpackedAt = 6;
constexpr size_t kDataHeaderSize = 8;
constexpr uint32_t kBlockBytes = 32768;  // the most uncompressed bytes a block holds
// MSZIP: each block's data is "CK" and a deflate stream of its own, at most
// this many bytes in all.
constexpr char kMszipSignature[] = "CK";
constexpr size_t kMszipSignatureLength = 2;
constexpr size_t kMaxMszipBlock = kBlockBytes + 12;

static_assert(kSetIndexAt + 2 == kHeaderSize, "the set index ends the header");
static_assert(kFolderCompressionAt + 2 == kFolderEntrySize, "the compression ends a folder entry");
static_assert(kFileAttributesAt + 2 == kFileNameAt, "the name follows the attributes");
static_assert(kDataUnpackedAt + 2 == kDataHeaderSize, "the data follows its sizes");
static_assert(sizeof kSignature == kSignatureLength + 1, "four signature bytes");

}  // namespace cab

#endif  // SFX_CORE_CAB_FORMAT_H
