// Where the parts of a `bitmap` file lie, as the painter reads them.
//
//   offset 0    +-----------------------------------------------+
//               | file header, 14 bytes                         |
//               |   2  bfSize      10  bfOffBits                |
//   14          +-----------------------------------------------+
//               | info header, 40 bytes                         |
//               |   0 biSize  4 biWidth  8 biHeight             |
//               |   14 biBitCount  16 biCompression             |
//   54          +-----------------------------------------------+
//               | colour table, 4 * 2^bits bytes (none at 24)   |
//   54 + table  +-----------------------------------------------+
//               | pixels, bfSize - bfOffBits bytes              |
//               +-----------------------------------------------+
//
// The pixels are read straight behind the colour table, wherever
// bfOffBits points, and the table always has 2^bits entries (biClrUsed
// is not consulted). The platform builds a BITMAPINFO of the info header
// and the table, and hands it and the pixels to CreateDIBitmap, so a
// layout is accepted only when GDI will find every byte it reads there.
#ifndef SFX_CORE_DRAW_BMP_H
#define SFX_CORE_DRAW_BMP_H

#include <stddef.h>
#include <stdint.h>

#include "result.h"

namespace bmp {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
constexpr size_t kHeadersSize = kFileHeaderSize + kInfoHeaderSize;
constexpr size_t kFileSizeOffset = 2;
constexpr size_t kPixelOffsetOffset = 10;
constexpr size_t kInfoSizeOffset = kFileHeaderSize + 0;
constexpr size_t kWidthOffset = kFileHeaderSize + 4;
constexpr size_t kHeightOffset = kFileHeaderSize + 8;
constexpr size_t kBitCountOffset = kFileHeaderSize + 14;
constexpr size_t kCompressionOffset = kFileHeaderSize + 16;

static_assert(kHeadersSize == 54, "the colour table starts at 54");
static_assert(kCompressionOffset + 4 <= kHeadersSize, "every field read lies in the headers");

struct Layout {
  int32_t width, height;                        // both 1 or more: bottom-up rows
  uint16_t bitCount;                            // 1, 4, 8 or 24
  uint32_t infoOffset, infoSize;                // kFileHeaderSize, kInfoHeaderSize
  uint32_t colourTableOffset, colourTableSize;  // 4 << bitCount bytes, 0 at 24 bits
  uint32_t pixelOffset, pixelSize;              // behind the table; bfSize - bfOffBits
};

// Reads the layout from the first `headSize` bytes of a file of
// `fileSize` bytes (kHeadersSize are enough). Refuses, leaving `layout`
// alone:
//   kTruncated          fewer than 54 bytes, or a colour table or pixel
//                       block that the file does not hold
//   kBadHeader          biSize other than 40; width or height of 0 or
//                       less (top-down); bfOffBits beyond bfSize; a pixel
//                       block shorter than height rows of
//                       ((width * bits + 31) / 32) * 4 bytes
//   kTooLarge           rows whose size does not fit in 32 bits
//   kUnsupportedMethod  compressed, or bits other than 1, 4, 8 and 24
core::Result ReadLayout(const uint8_t* head, size_t headSize, uint64_t fileSize, Layout* layout);

}  // namespace bmp

#endif  // SFX_CORE_DRAW_BMP_H
