#include "draw/bmp.h"

#include "bytes.h"

namespace bmp {
using bytes::GetLe16;
using bytes::GetLe32;

core::Result ReadLayout(const uint8_t* head, size_t headSize, uint64_t fileSize, Layout* layout) {
  using core::Result;
  if (headSize < kHeadersSize || fileSize < kHeadersSize) return Result::kTruncated;
  // A longer header (V4, V5) would make GDI read it past the 40 bytes
  // the BITMAPINFO holds; a shorter one has other fields.
  if (GetLe32(head + kInfoSizeOffset) != kInfoHeaderSize) return Result::kBadHeader;
  uint16_t bits = GetLe16(head + kBitCountOffset);
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return Result::kUnsupportedMethod;
  if (GetLe32(head + kCompressionOffset) != 0) return Result::kUnsupportedMethod;
  int32_t width = static_cast<int32_t>(GetLe32(head + kWidthOffset));
  int32_t height = static_cast<int32_t>(GetLe32(head + kHeightOffset));
  if (width <= 0 || height <= 0) return Result::kBadHeader;
  uint32_t declaredSize = GetLe32(head + kFileSizeOffset), pixelStart = GetLe32(head + kPixelOffsetOffset);
  if (pixelStart > declaredSize) return Result::kBadHeader;
  uint64_t table = bits == 24 ? 0 : 4u << bits;
  uint64_t pixels = declaredSize - pixelStart;
  if (kHeadersSize + table > fileSize || kHeadersSize + table + pixels > fileSize) return Result::kTruncated;
  uint64_t stride = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;  // below 2^34
  if (stride > UINT32_MAX / static_cast<uint64_t>(height)) return Result::kTooLarge;
  if (stride * static_cast<uint64_t>(height) > pixels) return Result::kBadHeader;
  layout->width = width;
  layout->height = height;
  layout->bitCount = bits;
  layout->infoOffset = kFileHeaderSize;
  layout->infoSize = kInfoHeaderSize;
  layout->colourTableOffset = kHeadersSize;
  layout->colourTableSize = static_cast<uint32_t>(table);
  layout->pixelOffset = static_cast<uint32_t>(kHeadersSize + table);
  layout->pixelSize = static_cast<uint32_t>(pixels);
  return Result::kOk;
}

}  // namespace bmp
