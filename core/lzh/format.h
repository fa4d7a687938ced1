// The LZH archive format as the reader and the writer both see it: header
// fields, extended header types, method names and the static Huffman
// methods' constants. All numbers are little-endian.
//
//   entry header, every level          levels 0 and 1 go on
//     0   size  (see kSizeAt)          21  name length n
//     1   byte sum (levels 0, 1)       22  name, n bytes
//     2   method "-lh5-", 5 bytes      22+n  CRC-16 of the data
//     7   packed size, 32 bits         24+n  creating system (level 1;
//     11  original size, 32 bits             level 0 when it fits)
//     15  time stamp, 32 bits          25+n  level 1: first extended
//     19  MS-DOS attributes                  header's size, 16 bits
//     20  header level 0..3
//                                      levels 2 and 3 go on
//                                      21  CRC-16 of the data
//                                      23  creating system
//                                      24  level 2: first extended
//                                          header's size, 16 bits (26 in all)
//                                          level 3: whole header's size,
//                                          32 bits, 28 first extended
//                                          header's size, 32 bits (32 in all)
//
//   extended header: type, data, size of the next one (16 bits, 32 at
//   level 3; 0 ends the chain), its own size counting all three.
//
// The packed data follows the header; a zero byte where a header would
// start ends the archive.
#ifndef SFX_CORE_LZH_FORMAT_H
#define SFX_CORE_LZH_FORMAT_H

#include <stddef.h>
#include <stdint.h>

namespace lzh {

// ---- Entry header, every level ----
// Levels 0 and 1: the header's size less these two bytes, 8 bits; level 2:
// the whole header's size, 16 bits; level 3: the size of its size fields
// (kLevel3WordSize), 16 bits.
constexpr size_t kSizeAt = 0;
constexpr size_t kSumAt = 1;           // levels 0 and 1: Level01Sum
constexpr size_t kMethodAt = 2;
constexpr size_t kMethodLength = 5;    // "-lh5-": '-' at both ends
constexpr size_t kPackedSizeAt = 7;    // level 1: the extended headers count as packed
constexpr size_t kOriginalSizeAt = 11;
constexpr size_t kTimeAt = 15;         // MS-DOS date << 16 | time (levels 0, 1), Unix seconds (2, 3)
constexpr size_t kAttributesAt = 19;   // levels 2 and 3 keep 0x20 here and the attributes in kExtAttributes
constexpr size_t kLevelAt = 20;
constexpr size_t kCommonSize = 21;     // what every level starts with

// ---- Levels 0 and 1 ----
constexpr size_t kNameLengthAt = 21;
constexpr size_t kNameAt = 22;
constexpr size_t kLevel01MinSize = kNameAt;  // an empty name and nothing after it
// After the name: the data's CRC-16 (2 bytes), then the creating system
// (1) and, at level 1, the first extended header's size (2).
constexpr size_t kLevel0Tail = 2;
constexpr size_t kLevel1Tail = 5;

// The byte sum a level 0 or 1 header of `total` bytes keeps at kSumAt.
inline uint8_t Level01Sum(const uint8_t* header, size_t total) {
  uint8_t sum = 0;
  for (size_t i = kSumAt + 1; i < total; ++i) sum = static_cast<uint8_t>(sum + header[i]);
  return sum;
}

// ---- Levels 2 and 3 ----
constexpr size_t kDataCrcAt = 21;
constexpr size_t kOsAt = 23;
constexpr size_t kLevel2NextAt = 24;
constexpr size_t kLevel2FixedSize = 26;
constexpr size_t kLevel3HeaderSizeAt = 24;
constexpr size_t kLevel3NextAt = 28;
constexpr size_t kLevel3FixedSize = 32;
constexpr uint16_t kLevel3WordSize = 4;  // stands at kSizeAt

// Extended header types.
constexpr uint8_t kExtHeaderCrc = 0x00;   // CRC-16 of the whole header, taken with this field 0
constexpr uint8_t kExtName = 0x01;
constexpr uint8_t kExtFolder = 0x02;      // each part ended by kFolderSeparator
constexpr uint8_t kExtAttributes = 0x40;  // MS-DOS attributes, 16 bits
constexpr uint8_t kExtSizes64 = 0x42;     // packed and original size, 64 bits each
constexpr uint8_t kExtUnixMode = 0x50;
constexpr uint8_t kExtUnixTime = 0x54;    // seconds since 1970, 32 bits
constexpr uint8_t kFolderSeparator = 0xFF;

// MS-DOS attribute and Unix mode bits the format's users look at.
constexpr uint8_t kAttributeReadOnly = 0x01;
constexpr uint8_t kAttributeFolder = 0x10;
constexpr uint8_t kAttributeArchive = 0x20;
constexpr uint16_t kUnixTypeMask = 0xF000, kUnixTypeLink = 0xA000;

// ---- Methods ----
// A method's name, NUL-terminated; held by value, so that a table of
// methods keeps the names in its rows.
struct MethodId {
  char text[kMethodLength + 1];
  constexpr operator const char*() const { return text; }
};
constexpr MethodId kMethodStored = {"-lh0-"};
constexpr MethodId kMethodLh1 = {"-lh1-"};
constexpr MethodId kMethodLh4 = {"-lh4-"};
constexpr MethodId kMethodLh5 = {"-lh5-"};
constexpr MethodId kMethodLh6 = {"-lh6-"};
constexpr MethodId kMethodLh7 = {"-lh7-"};
constexpr MethodId kMethodFolder = {"-lhd-"};  // a folder entry: no data
constexpr MethodId kMethodLzs = {"-lzs-"};
constexpr MethodId kMethodLz4 = {"-lz4-"};     // LArc's stored data
constexpr MethodId kMethodLz5 = {"-lz5-"};

// ---- -lh4- to -lh7-: static Huffman blocks ----
// Each method's window is 2^bits bytes.
constexpr int kLh4DictBits = 12;
constexpr int kLh5DictBits = 13;
constexpr int kLh6DictBits = 15;
constexpr int kLh7DictBits = 16;

constexpr uint32_t kMinMatch = 3;
constexpr uint32_t kMaxMatch = 256;
// Symbols 0..255 are bytes; 256 on are matches of kMinMatch bytes and up.
constexpr int kFirstMatchSymbol = 256;
constexpr int kLiteralCodes = kFirstMatchSymbol + static_cast<int>(kMaxMatch - kMinMatch) + 1;
constexpr int kPreCodes = 19;        // the code that packs the literal code's lengths
constexpr int kMaxCodeLength = 16;   // of any of a block's codes

// -lh4- shares -lh5-'s position code, so it may point 8 KiB back.
constexpr int PositionCodes(int dictBits) { return dictBits + 1 < 14 ? 14 : dictBits + 1; }
constexpr int PositionCountBits(int dictBits) { return dictBits <= 13 ? 4 : 5; }
constexpr int kMaxPositionCodes = PositionCodes(kLh7DictBits);

// A block starts with its symbol count, then the pre-code's, the literal
// code's and the position code's lengths, each led by how many it sends.
constexpr int kBlockCountBits = 16;
constexpr int kPreCountBits = 5;
constexpr int kLiteralCountBits = 9;
// A small code's length: 0..6 in three bits; 7 and up as 111 and a unary
// tail. After the pre-code's third length two bits count zeros that follow.
constexpr int kSmallLengthBits = 3;
constexpr int kPreZerosAfter = 3;
constexpr int kPreZerosBits = 2;
// Pre-code symbols 0..2 are runs of unused literal symbols: one, 3..18
// (4 more bits) and 20 on (9 more bits); n + 2 is a length n.
constexpr int kShortRunMin = 3, kShortRunBits = 4;
constexpr int kLongRunMin = 20, kLongRunBits = 9;

static_assert(kLevel01MinSize == kCommonSize + 1, "levels 0 and 1 add the name length, then the name");
static_assert(kLevel2FixedSize == kLevel2NextAt + 2, "level 2's fixed part ends with the first size");
static_assert(kLevel3FixedSize == kLevel3NextAt + 4, "level 3's fixed part ends with the first size");
static_assert(kOsAt == kDataCrcAt + 2 && kLevel2NextAt == kOsAt + 1, "levels 2 and 3 pack their fields");
static_assert(kMethodAt + kMethodLength == kPackedSizeAt, "the sizes follow the method");
static_assert(kLiteralCodes == 510, "bytes and match lengths 3..256");
static_assert(kMaxPositionCodes == 17, "-lh7- has the most position codes");

}  // namespace lzh

#endif  // SFX_CORE_LZH_FORMAT_H
